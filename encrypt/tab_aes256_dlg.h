#pragma once
// The encryption page (tab 0): a list of files encrypted or decrypted in turn.
//
// A run takes the listed files (file_list_run.h), then one worker takes them
// one after another: the output name, the file procedure of the chosen cipher
// and direction, optionally the wipe of the source. The worker never touches
// a widget; it posts each status text to the window thread. "停止" asks the
// worker to stop and returns at once; the worker ends in the background, the
// core removes the partial output, and nothing of the stopped run reaches the
// page afterwards.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "encrypt/crypt_run.h"
#include "platform/desktop/dialog_window.h"
#include "platform/desktop/file_list_run.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view.h"

class CTabAES256Dlg : public DialogWindow {
  public:
    CTabAES256Dlg();
    ~CTabAES256Dlg() override;

    /// Inserts a row at `position` (0..row count) with the path, size text and
    /// status text; later rows move down.
    void InsertFileRow(int position, const std::u16string& path, const std::u16string& sizeText,
                       const std::u16string& statusText);
    /// Enables the controls of an idle page (true) or only Stop (false).
    void EnableRunControls(bool enable);

    ListView* FileList() const;
    /// True from the start of a run until it ended or was stopped.
    bool IsRunning() const { return worker_.Running(); }

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
    /// The settings of one run and its file list, shared by the page and the
    /// run's worker (which may outlive the page after a stop). The window
    /// thread writes the settings before the worker starts; afterwards the
    /// worker only reads them.
    struct RunState {
        explicit RunState(ListView& list);
        RunState(const RunState&) = delete;
        RunState& operator=(const RunState&) = delete;
        ~RunState();

        CryptRunSettings settings;
        uint8_t key[32] = {};
        FileListRun files;
    };

    void ListCommandLineFile();
    void TakeRunSettings();
    /// The worker thread's routine.
    static void CryptWorker(RunState& run, const JobContext& job);
    /// Turns one event of the core's run into the row's status (worker thread).
    static void ShowRunEvent(RunState& run, const CryptRunEvent& event, const JobContext& job);
    /// The row's status and reason once a file has finished.
    static FileListRun::Status FinalStatus(const CryptRunEvent& event, bool decrypt);
    void ForgetKey();

    /// The state of the latest run; a new run gets a new one.
    std::shared_ptr<RunState> run_;
    // Declared last so that it is destroyed first: it cuts a running worker
    // off before the page goes away.
    JobRunner worker_;
};

/// The size column's text: "<KiB> KB", rounded down, or "打开文件失败" when
/// the file could not be opened.
std::u16string FormatSizeText(std::optional<uint64_t> size);
/// The size text of the file at `path`.
std::u16string SizeTextOf(const std::u16string& path);
