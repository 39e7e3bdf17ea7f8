#pragma once
// The hash page (tab 1): digests of one file with any of five algorithms.
//
// One worker per run reads the file once per ticked algorithm through the
// core's file drivers. The worker never touches a widget: it posts its status
// texts and progress values to the window thread, and the run's result text
// reaches the page only when the run ended on its own. "停止" asks the worker
// to stop and leaves it to end in the background, cut off from the page.

#include <cstdint>
#include <string>

#include "platform/desktop/dialog_window.h"
#include "platform/desktop/job_runner.h"

class CTabHashDlg : public DialogWindow {
  public:
    CTabHashDlg();

    /// The action of the "打开..." button and of a drop: hashes the pending
    /// dropped file, or asks the user for one. Ignored while a run is going.
    void OnOpen();
    /// A file dropped on the page: hashed at once as if chosen with "打开...".
    void OpenDroppedFile(const std::u16string& path);
    /// The action of "停止": abandons the run.
    void OnStop();

    /// True from the start of a run until it ended or was stopped.
    bool Running() const { return m_hWorker.Running(); }

    /// The path hashed last, or the dropped one waiting for OnOpen.
    std::u16string m_filePath;
    /// 1 while m_filePath holds a dropped path that OnOpen has not used yet.
    int m_pendingDrop = 0;

  protected:
    void OnInitDialog() override;

  private:
    /// What one run hashes: copied from the page when the run starts, so that
    /// a drop arriving during the run cannot change what the worker reads.
    struct HashRequest {
        std::u16string path;
        bool use[5] = {};
    };

    void StartWorker();
    /// The worker thread's routine: runs every ticked driver and returns the
    /// result text, or an empty text when the run was stopped. `page` is only
    /// named in posted updates: a stopped worker may outlive it.
    static std::u16string HashWorker(CTabHashDlg* page, const HashRequest& request,
                                     const JobContext& job);
    /// The drivers' progress callback; `context` is the run's HashProgressTarget.
    static void HashProgress(int32_t percent, void* context);
    /// Steps of a run that ended on its own, on the window thread.
    void FinishRun(const std::u16string& result);
    /// Idle: boxes and "打开..." enabled, "停止" disabled; running: the reverse.
    void SetRunningControls(bool running);
    void SetResult(const std::u16string& text);

    int m_useMd5 = 0;
    int m_useSha1 = 0;
    int m_useSha256 = 0;
    int m_useSha512 = 0;
    int m_useKeccak = 0;
    /// The worker of the current run; destroyed (stopped) before the widgets.
    JobRunner m_hWorker{this};
};
