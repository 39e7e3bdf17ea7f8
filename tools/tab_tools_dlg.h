#pragma once
// The tools page (tab 2): password generator, Base64 and the wipe list.

#include <memory>
#include <string>

#include "platform/desktop/dialog_window.h"
#include "platform/desktop/file_list_run.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view.h"

class CTabToolsDlg : public DialogWindow {
  public:
    CTabToolsDlg();
    ~CTabToolsDlg() override;

    /// Inserts a row into the wipe list at `index` with the path and status.
    void InsertWipeRow(int index, const std::u16string& path, const std::u16string& status);
    ListView* WipeList() const;

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
    /// One confirmed wipe: the listed files and how far it got.
    struct WipeRun {
        explicit WipeRun(ListView& list);
        FileListRun files;
        int passes = 1;
    };

    /// The wipe thread: wipes the queued files in order, reporting through
    /// posts to the list (a stopped worker may outlive the page).
    static void WipeWorker(WipeRun& run, const JobContext& job);
    void SetWipeControlsIdle(bool idle);
    int SelectedPasses() const;

    std::shared_ptr<WipeRun> wipeRun_;
    JobRunner wipeJob_{this};
};
