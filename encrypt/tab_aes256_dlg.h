#pragma once
// The encryption page (tab 0): a list of files encrypted or decrypted in turn.
//
// A run copies every listed path and the row that shows it, then one worker
// takes the files one after another: the output name, the file procedure of
// the chosen cipher and direction, optionally the wipe of the source. The
// worker never touches a widget; it posts each status text to the window
// thread, addressed by the row's identity, so rows that a drop inserts above
// during the run do not misdirect it. "停止" asks the worker to stop and
// returns at once; the worker ends in the background, the core removes the
// partial output, and nothing of the stopped run reaches the page afterwards.

#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "encrypt/crypt_run.h"
#include "platform/desktop/dialog_window.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view.h"

class CTabAES256Dlg : public DialogWindow {
  public:
    CTabAES256Dlg();
    ~CTabAES256Dlg() override;

    /// Inserts a row at `position` (0..row count) with the path, size text and
    /// status text; later rows move down.
    void InsertFileRow(int position, const QString& path, const QString& sizeText,
                       const QString& statusText);
    /// Sets the status column of the row at `row`, with `reason` as its
    /// tooltip (none when empty), and scrolls it into view.
    void SetRowStatus(int row, const QString& text, const QString& reason = {});
    /// Enables the controls of an idle page (true) or only Stop (false).
    void EnableRunControls(bool enable);

    ListView* FileList() const;
    /// True from the start of a run until it ended or was stopped.
    bool IsRunning() const { return m_worker.Running(); }

  protected:
    void OnInitDialog() override;

    // Handlers of the page's buttons.
    void OnCtlColor();
    void OnAddFiles();
    void OnOpenLocation();
    void OnRemoveFiles();
    void OnClearList();
    void OnDecryptCheck();
    void OnStartRun();
    void OnStopRun();

  private:
    /// The status a file ended with and, for a failure or a kept source, why.
    struct RowOutcome {
        QString status;
        QString reason;
    };

    /// The settings and progress of one run, shared by the page and the
    /// run's worker (which may outlive the page after a stop). The window
    /// thread writes the settings before the worker starts; afterwards the
    /// worker writes the progress, and Stop reads it under `progressMutex`.
    struct RunState {
        RunState() = default;
        RunState(const RunState&) = delete;
        RunState& operator=(const RunState&) = delete;
        ~RunState();

        CryptRunSettings settings;
        uint8_t key[32] = {};
        std::vector<std::filesystem::path> paths;
        std::vector<ListView::RowId> rowIds;

        std::mutex progressMutex;
        /// The final status of each file the worker finished; empty otherwise.
        std::vector<RowOutcome> outcomes;
        std::size_t currentRow = 0;  ///< index into paths

        QString lastProgress;  ///< the progress text posted last (worker only)
    };

    void ListCommandLineFile();
    void TakeRunSettings();
    /// The worker thread's routine. `page` is only named in posted updates.
    static void CryptWorker(CTabAES256Dlg* page, RunState& run, const JobContext& job);
    /// Turns one event of the core's run into the row's status (worker thread).
    static void ShowRunEvent(CTabAES256Dlg* page, RunState& run, const CryptRunEvent& event,
                             const JobContext& job);
    /// The row's status and reason once a file has finished.
    static RowOutcome FinalStatus(const CryptRunEvent& event, bool decrypt);
    /// Posts a status text and its reason for the run's row `index` (worker
    /// thread).
    static void PostRowStatus(CTabAES256Dlg* page, const RunState& run, std::size_t index,
                              const RowOutcome& status, const JobContext& job);
    /// After a stop: statuses the worker settled but whose posts were dropped,
    /// and "已取消" on the file it was working on.
    void ShowSettledOutcomes();
    void ForgetKey();

    /// The state of the latest run; a new run gets a new one.
    std::shared_ptr<RunState> m_run = std::make_shared<RunState>();
    // Declared last so that it is destroyed first: it cuts a running worker
    // off before the page goes away.
    JobRunner m_worker;
};

/// The size text of a file for the list: "<KiB> KB" or "打开文件失败".
QString SizeTextOf(const QString& path);
