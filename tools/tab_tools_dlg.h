#pragma once
// The tools page (tab 2): password generator, Base64 and the wipe list.

#include <QString>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/desktop/dialog_window.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view.h"
#include "platform/system/file_outcome.h"

class CTabToolsDlg : public DialogWindow {
  public:
    CTabToolsDlg();
    ~CTabToolsDlg() override;

    /// Inserts a row into the wipe list at `index` with the path and status.
    void InsertWipeRow(int index, const QString& path, const QString& status);
    /// Replaces the status of a row, with `reason` as its tooltip (none when
    /// empty), and scrolls it into view.
    void SetWipeRowStatus(int row, const QString& text, const QString& reason = {});
    ListView* WipeList() const;

    /// True from a confirmed Erase until the wipe ends or is stopped.
    bool IsWiping() const { return m_wipeJob.Running(); }

    // Button handlers (the page's message map).
    void OnGenerate();
    void OnEncode();
    void OnDecode();
    void OnAddFiles();
    void OnRemoveFiles();
    void OnClearFiles();
    void OnErase();
    void OnStop();

  protected:
    void OnInitDialog() override;

  private:
    /// Where one queued file stands; the worker writes it, Stop reads it.
    enum class WipeOutcome : uint8_t { kPending, kRunning, kWiped, kFailed };

    /// One confirmed wipe: the files as they were listed, and how far it got.
    /// Rows are followed by identity, so rows dropped in above them during the
    /// wipe do not shift where statuses go.
    struct WipeRun {
        std::vector<std::filesystem::path> paths;
        std::vector<ListView::RowId> rows;  ///< the row of each path
        int passes = 1;
        std::unique_ptr<std::atomic<WipeOutcome>[]> outcomes;
        /// Why each failed file failed: written before its outcome becomes
        /// kFailed, read only after.
        std::vector<FileResult> results;
    };

    /// The wipe thread: wipes the queued files in order, reporting through
    /// posts to `page` (a stopped worker may outlive the page).
    static void WipeWorker(CTabToolsDlg* page, const std::shared_ptr<WipeRun>& run,
                           const JobContext& job);
    void SetWipeStatusOfRowId(ListView::RowId row, const QString& text, const QString& reason = {});
    void SetWipeControlsIdle(bool idle);
    int SelectedPasses() const;

    std::shared_ptr<WipeRun> m_wipeRun;
    JobRunner m_wipeJob{this};
};
