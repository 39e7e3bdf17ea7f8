#include "encrypt/tab_aes256_dlg.h"

#include "encrypt/file_size.h"
#include "encrypt/key_bytes.h"
#include "encrypt/output_naming.h"
#include "encrypt/tab_aes256_template.h"
#include "platform/desktop/command_line.h"
#include "platform/desktop/failure_text.h"
#include "platform/desktop/file_manager.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/path_text.h"
#include "platform/desktop/ui_text.h"
#include "platform/system/secure_wipe.h"

namespace {

using namespace encryption_page_ids;

constexpr int kPathColumn = 0;
constexpr int kSizeColumn = 1;
constexpr int kStatusColumn = 2;
constexpr int kKeyLimit = 32;

}  // namespace

std::u16string FormatSizeText(std::optional<uint64_t> size) {
    if (!size) return Text("打开文件失败");
    return WithArg(u"%1 KB", static_cast<long long>(*size / 1024));
}

std::u16string SizeTextOf(const std::u16string& path) {
    return FormatSizeText(QueryFileSize(ToPath(path)));
}

CTabAES256Dlg::CTabAES256Dlg() : DialogWindow(EncryptionPageTemplate()), worker_(this) {}

CTabAES256Dlg::~CTabAES256Dlg() {
    worker_.Stop();
    ForgetKey();
}

void CTabAES256Dlg::OnInitDialog() {
    OnCtlColor();
    ListView* list = FileList();
    if (list->ColumnWidth(0) == 0) {
        list->SetReportStyle(true);
        list->InsertColumn(kPathColumn, Text("文件路径"), 410);
        list->InsertColumn(kSizeColumn, Text("文件大小"), 110);
        list->InsertColumn(kStatusColumn, Text("状态"), 120);
    }
    SetChecked(kAesRadio, true);
    LimitText(kKeyEdit, kKeyLimit);

    OnClicked(kActionButton, [this] { OnStartRun(); });
    OnClicked(kAddButton, [this] { OnAddFiles(); });
    OnClicked(kClearButton, [this] { OnClearList(); });
    OnClicked(kLocationButton, [this] { OnOpenLocation(); });
    OnClicked(kRemoveButton, [this] { OnRemoveFiles(); });
    OnClicked(kStopButton, [this] { OnStopRun(); });
    OnClicked(kDecryptCheck, [this] { OnDecryptCheck(); });

    EnableRunControls(true);
    ListCommandLineFile();
}

void CTabAES256Dlg::OnCtlColor() {
    PaintWhite();
}

void CTabAES256Dlg::ListCommandLineFile() {
    const std::u16string argument = CommandLineFile();
    if (argument.empty()) return;
    // The row shows the full path, also for a path given relative to the
    // folder the program was started in.
    const std::u16string path = AbsolutePathText(argument);
    InsertFileRow(0, path, SizeTextOf(path), Text("就绪"));
}

ListView* CTabAES256Dlg::FileList() const {
    return List(kFileList);
}

void CTabAES256Dlg::InsertFileRow(int position, const std::u16string& path,
                                  const std::u16string& sizeText,
                                  const std::u16string& statusText) {
    ListView* list = FileList();
    const int row = list->InsertRow(position, path);
    list->SetText(row, kSizeColumn, sizeText);
    list->SetText(row, kStatusColumn, statusText);
}

void CTabAES256Dlg::EnableRunControls(bool enable) {
    EnableItem(kAddButton, enable);
    EnableItem(kClearButton, enable);
    EnableItem(kLocationButton, enable);
    EnableItem(kRemoveButton, enable);
    EnableItem(kActionButton, enable);
    EnableItem(kStopButton, !enable);
    // Only an encryption may wipe its sources.
    EnableItem(kEraseCheck, enable && !IsChecked(kDecryptCheck));
    EnableItem(kDecryptCheck, enable);
    EnableItem(kKeyEdit, enable);
    EnableItem(kAesRadio, enable);
    EnableItem(kCamelliaRadio, enable);
}

void CTabAES256Dlg::OnAddFiles() {
    for (const std::u16string& path : ChooseFilesToAdd(this))
        InsertFileRow(FileList()->Count(), path, SizeTextOf(path), Text("就绪"));
}

void CTabAES256Dlg::OnOpenLocation() {
    ListView* list = FileList();
    if (list->SelectedCount() == 0) return;
    const int row = list->SelectionMark();
    if (row < 0) return;
    ShowFileInFileManager(list->Text(row, kPathColumn));
}

void CTabAES256Dlg::OnRemoveFiles() {
    FileList()->DeleteSelected();
}

void CTabAES256Dlg::OnClearList() {
    FileList()->DeleteAll();
}

void CTabAES256Dlg::OnDecryptCheck() {
    if (IsChecked(kDecryptCheck)) {
        SetChecked(kEraseCheck, false);
        SetItemText(kActionButton, Text("解密"));
    } else {
        SetItemText(kActionButton, Text("加密"));
    }
    EnableRunControls(true);
}

void CTabAES256Dlg::OnStartRun() {
    if (IsRunning()) return;
    if (FileList()->Count() == 0) {
        ShowMessage(this, Text("列表为空."), Text("提示"), MessageIcon::Exclamation);
        FocusItem(kFileList);
        return;
    }
    TakeRunSettings();
    // A key whose bytes are all zero (a NUL, or characters like "一" whose low
    // byte is zero) is the empty key, whatever the field shows.
    if (ItemText(kKeyEdit).empty() || KeyBytesAreEmpty(run_->key)) {
        ForgetKey();
        ShowMessage(this, Text("请输入加密密钥."), Text("提示"), MessageIcon::Exclamation);
        FocusItem(kKeyEdit);
        return;
    }
    // The controls are disabled here rather than by the worker, so that no
    // second click can arrive before the run has really begun.
    EnableRunControls(false);
    const bool started =
        worker_.Start([run = run_](const JobContext& job) { CryptWorker(*run, job); },
                      [this] { EnableRunControls(true); });
    if (!started) {
        ForgetKey();
        EnableRunControls(true);
    }
}

void CTabAES256Dlg::TakeRunSettings() {
    // A worker of a stopped run may still be using the previous state.
    run_ = std::make_shared<RunState>(*FileList());
    RunState& run = *run_;

    // A copy of our own, wiped as soon as it has given the key bytes.
    std::u16string keyText = ItemText(kKeyEdit);
    KeyBytesFromPassword(keyText, run.key);
    SecureWipe(keyText.data(), keyText.size() * sizeof(char16_t));

    const bool decrypt = IsChecked(kDecryptCheck);
    run.settings.direction = decrypt ? CryptDirection::kDecrypt : CryptDirection::kEncrypt;
    run.settings.cipher =
        IsChecked(kCamelliaRadio) ? CryptCipher::kCamellia256 : CryptCipher::kAes256;
    run.settings.wipe = IsChecked(kEraseCheck) && !decrypt
                            ? SourceWipePolicy::kWipeUntilFirstFailure
                            : SourceWipePolicy::kKeep;
}

CTabAES256Dlg::RunState::RunState(ListView& list) : files(list, kStatusColumn) {}

CTabAES256Dlg::RunState::~RunState() {
    SecureWipe(key, sizeof key);
}

void CTabAES256Dlg::CryptWorker(RunState& run, const JobContext& job) {
    RunCryptFiles(
        run.files.Paths(), run.key, run.settings,
        [&run, &job](const CryptRunEvent& event) { ShowRunEvent(run, event, job); },
        job.StopToken());
    SecureWipe(run.key, sizeof run.key);
}

void CTabAES256Dlg::ShowRunEvent(RunState& run, const CryptRunEvent& event, const JobContext& job) {
    const bool decrypt = run.settings.direction == CryptDirection::kDecrypt;
    switch (event.kind) {
        case CryptRunEvent::Kind::kFileStarted:
            run.files.Begin(event.index);
            break;
        case CryptRunEvent::Kind::kProgress:
            run.files.ShowProgress(
                job, event.index,
                WithArg(Text(decrypt ? "解密 %1%.." : "加密 %1%.."), event.percent));
            break;
        case CryptRunEvent::Kind::kWipeStarted:
            run.files.ShowProgress(job, event.index, Text("加密完成"));
            break;
        case CryptRunEvent::Kind::kWipeProgress:
            // How much of the file has been overwritten.
            run.files.ShowProgress(job, event.index,
                                   WithArg(Text("擦除中 %1%.."), event.wipe.PassPercent()));
            break;
        case CryptRunEvent::Kind::kFileFinished:
            run.files.Settle(job, event.index, FinalStatus(event, decrypt));
            break;
    }
}

FileListRun::Status CTabAES256Dlg::FinalStatus(const CryptRunEvent& event, bool decrypt) {
    switch (event.outcome) {
        case CryptFileOutcome::kFailed:
            return {Text(decrypt ? "解密失败" : "加密失败"), FailureReason(event.result)};
        case CryptFileOutcome::kDone:
            break;
        case CryptFileOutcome::kDoneNotWiped:
            return {Text(decrypt ? "解密完成" : "加密完成"), Text("已停止，源文件未擦除")};
        case CryptFileOutcome::kDoneWiped:
            return {Text("完成并已擦除"), {}};
        case CryptFileOutcome::kWipeFailed:
            return {Text("擦除失败"), FailureReason(event.result)};
    }
    return {Text(decrypt ? "解密完成" : "加密完成"), {}};
}

void CTabAES256Dlg::OnStopRun() {
    if (!IsRunning()) return;
    worker_.Stop();
    run_->files.ShowSettled();
    EnableRunControls(true);
}

void CTabAES256Dlg::ForgetKey() {
    if (run_) SecureWipe(run_->key, sizeof run_->key);
}
