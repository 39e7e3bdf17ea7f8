#include "encrypt/tab_aes256_dlg.h"

#include <QFileInfo>

#include "encrypt/file_size.h"
#include "encrypt/key_bytes.h"
#include "encrypt/output_naming.h"
#include "encrypt/tab_aes256_template.h"
#include "platform/desktop/command_line.h"
#include "platform/desktop/failure_text.h"
#include "platform/desktop/file_dialog.h"
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

QString SizeTextOf(const QString& path) {
    return FromUtf8(FormatSizeText(QueryFileSize(ToPath(path))));
}

CTabAES256Dlg::CTabAES256Dlg() : DialogWindow(EncryptionPageTemplate()), m_worker(this) {}

CTabAES256Dlg::~CTabAES256Dlg() {
    m_worker.Stop();
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
    const QString argument = CommandLineFile();
    if (argument.isEmpty()) return;
    // The row shows the full path, also for a path given relative to the
    // folder the program was started in.
    const QString path = QFileInfo(argument).absoluteFilePath();
    InsertFileRow(0, path, SizeTextOf(path), Text("就绪"));
}

ListView* CTabAES256Dlg::FileList() const {
    return List(kFileList);
}

void CTabAES256Dlg::InsertFileRow(int position, const QString& path, const QString& sizeText,
                                  const QString& statusText) {
    ListView* list = FileList();
    const int row = list->InsertRow(position, path);
    list->SetText(row, kSizeColumn, sizeText);
    list->SetText(row, kStatusColumn, statusText);
}

void CTabAES256Dlg::SetRowStatus(int row, const QString& text, const QString& reason) {
    ListView* list = FileList();
    if (row < 0 || row >= list->Count()) return;
    // Every status replaces the reason, so a row run again loses the old one.
    list->SetToolTip(row, kStatusColumn, reason);
    list->SetText(row, kStatusColumn, text);
    list->EnsureVisible(row);
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
    const OpenFileSelection selection =
        ShowOpenFileDialog(this, Text("所有文件(*.*)"), /*multiple=*/true);
    for (const QString& path : SelectedPaths(selection))
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
    ListView* list = FileList();
    const std::vector<int> rows = list->SelectedRows();
    // From the bottom up, so each position still names its row when deleted.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) list->DeleteRow(*row);
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
    if (ItemText(kKeyEdit).isEmpty() || KeyBytesAreEmpty(m_run->key)) {
        ForgetKey();
        ShowMessage(this, Text("请输入加密密钥."), Text("提示"), MessageIcon::Exclamation);
        FocusItem(kKeyEdit);
        return;
    }
    // The controls are disabled here rather than by the worker, so that no
    // second click can arrive before the run has really begun.
    EnableRunControls(false);
    const bool started =
        m_worker.Start([this, run = m_run](const JobContext& job) { CryptWorker(this, *run, job); },
                       [this] { EnableRunControls(true); });
    if (!started) {
        ForgetKey();
        EnableRunControls(true);
    }
}

void CTabAES256Dlg::TakeRunSettings() {
    const ListView* list = FileList();
    const int count = list->Count();
    // A worker of a stopped run may still be using the previous state.
    m_run = std::make_shared<RunState>();
    RunState& run = *m_run;
    run.paths.reserve(count);
    run.rowIds.reserve(count);
    for (int row = 0; row < count; ++row) {
        run.paths.push_back(ToPath(list->Text(row, kPathColumn)));
        run.rowIds.push_back(list->IdOfRow(row));
    }
    run.outcomes.assign(run.paths.size(), RowOutcome());

    // A copy of our own (data() detaches it from the edit's text), wiped as
    // soon as it has given the key bytes.
    QString keyText = ItemText(kKeyEdit);
    QChar* keyUnits = keyText.data();
    KeyBytesFromPassword(
        std::u16string_view(reinterpret_cast<const char16_t*>(keyUnits), keyText.size()), run.key);
    SecureWipe(keyUnits, keyText.size() * sizeof(QChar));

    const bool decrypt = IsChecked(kDecryptCheck);
    run.settings.direction = decrypt ? CryptDirection::kDecrypt : CryptDirection::kEncrypt;
    run.settings.cipher =
        IsChecked(kCamelliaRadio) ? CryptCipher::kCamellia256 : CryptCipher::kAes256;
    run.settings.wipe = IsChecked(kEraseCheck) && !decrypt
                            ? SourceWipePolicy::kWipeUntilFirstFailure
                            : SourceWipePolicy::kKeep;
}

CTabAES256Dlg::RunState::~RunState() {
    SecureWipe(key, sizeof key);
}

void CTabAES256Dlg::CryptWorker(CTabAES256Dlg* page, RunState& run, const JobContext& job) {
    RunCryptFiles(
        run.paths, run.key, run.settings,
        [page, &run, &job](const CryptRunEvent& event) { ShowRunEvent(page, run, event, job); },
        job.StopToken());
    SecureWipe(run.key, sizeof run.key);
}

void CTabAES256Dlg::ShowRunEvent(CTabAES256Dlg* page, RunState& run, const CryptRunEvent& event,
                                 const JobContext& job) {
    const bool decrypt = run.settings.direction == CryptDirection::kDecrypt;
    QString text;
    switch (event.kind) {
        case CryptRunEvent::Kind::kFileStarted: {
            const std::lock_guard lock(run.progressMutex);
            run.currentRow = event.index;
            run.lastProgress.clear();
            return;
        }
        case CryptRunEvent::Kind::kProgress:
            text = Text(decrypt ? "解密 %1%.." : "加密 %1%..").arg(event.percent);
            break;
        case CryptRunEvent::Kind::kWipeStarted:
            text = Text("加密完成");
            break;
        case CryptRunEvent::Kind::kWipeProgress:
            // How much of the file has been overwritten.
            text = Text("擦除中 %1%..").arg(event.wipe.PassPercent());
            break;
        case CryptRunEvent::Kind::kFileFinished: {
            const RowOutcome outcome = FinalStatus(event, decrypt);
            {
                const std::lock_guard lock(run.progressMutex);
                run.outcomes[event.index] = outcome;
            }
            PostRowStatus(page, run, event.index, outcome, job);
            return;
        }
    }
    if (text == run.lastProgress) return;  // nothing new to show
    run.lastProgress = text;
    PostRowStatus(page, run, event.index, {text, QString()}, job);
}

CTabAES256Dlg::RowOutcome CTabAES256Dlg::FinalStatus(const CryptRunEvent& event, bool decrypt) {
    switch (event.outcome) {
        case CryptFileOutcome::kFailed:
            return {Text(decrypt ? "解密失败" : "加密失败"), FailureReason(event.result)};
        case CryptFileOutcome::kDone:
            break;
        case CryptFileOutcome::kDoneNotWiped:
            return {Text(decrypt ? "解密完成" : "加密完成"), Text("已停止，源文件未擦除")};
        case CryptFileOutcome::kDoneWiped:
            return {Text("完成并已擦除"), QString()};
        case CryptFileOutcome::kWipeFailed:
            return {Text("擦除失败"), FailureReason(event.result)};
    }
    return {Text(decrypt ? "解密完成" : "加密完成"), QString()};
}

void CTabAES256Dlg::PostRowStatus(CTabAES256Dlg* page, const RunState& run, std::size_t index,
                                  const RowOutcome& status, const JobContext& job) {
    const ListView::RowId id = run.rowIds[index];
    job.Post([page, id, status] {
        page->SetRowStatus(page->FileList()->RowOfId(id), status.status, status.reason);
    });
}

void CTabAES256Dlg::OnStopRun() {
    if (!IsRunning()) return;
    m_worker.Stop();
    ShowSettledOutcomes();
    EnableRunControls(true);
}

void CTabAES256Dlg::ShowSettledOutcomes() {
    // The worker may still be ending: take what it had settled at the stop.
    RunState& run = *m_run;
    std::vector<RowOutcome> outcomes;
    std::size_t current = 0;
    {
        const std::lock_guard lock(run.progressMutex);
        outcomes = run.outcomes;
        current = run.currentRow;
    }
    ListView* list = FileList();
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].status.isEmpty()) continue;
        const int row = list->RowOfId(run.rowIds[i]);
        if (row < 0) continue;
        list->SetToolTip(row, kStatusColumn, outcomes[i].reason);
        if (list->Text(row, kStatusColumn) != outcomes[i].status)
            list->SetText(row, kStatusColumn, outcomes[i].status);
    }
    if (current < outcomes.size() && outcomes[current].status.isEmpty())
        SetRowStatus(list->RowOfId(run.rowIds[current]), Text("已取消"));
}

void CTabAES256Dlg::ForgetKey() {
    SecureWipe(m_run->key, sizeof m_run->key);
}
