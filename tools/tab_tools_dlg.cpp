#include "tools/tab_tools_dlg.h"

#include <QPlainTextEdit>
#include <string>

#include "platform/desktop/failure_text.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/path_text.h"
#include "platform/desktop/ui_text.h"
#include "platform/system/secure_wipe.h"
#include "tools/base64_text.h"
#include "tools/password.h"
#include "tools/tab_tools_template.h"
#include "tools/wipe.h"

namespace {

using namespace tools_page_ids;

constexpr int kLengthLimit = 4;
constexpr int kBase64Limit = 1048576;

const char* const kStatusAdded = "就绪";
const char* const kStatusWiped = "已擦除";
const char* const kStatusFailed = "擦除失败";
const char* const kStatusCancelled = "已取消";

QString WipeProgressText(int32_t megabytes) {
    return Text("擦除 %1 MB..").arg(megabytes);
}

}  // namespace

CTabToolsDlg::CTabToolsDlg() : DialogWindow(ToolsPageTemplate()) {}

CTabToolsDlg::~CTabToolsDlg() {
    // The worker posts to this page; it must be cut off before the page goes.
    m_wipeJob.Stop();
}

void CTabToolsDlg::OnInitDialog() {
    PaintWhite();
    ListView* list = WipeList();
    if (list->ColumnWidth(0) == 0) {
        list->SetReportStyle(true);
        list->InsertColumn(0, Text("文件路径"), 180);
        list->InsertColumn(1, Text("状态"), 90);
    }
    SetChecked(kOnePassRadio, true);
    SetWipeControlsIdle(true);

    LimitText(kLengthEdit, kLengthLimit);
    SetChecked(kUpperCheck, kDefaultPasswordClasses.upper);
    SetChecked(kLowerCheck, kDefaultPasswordClasses.lower);
    SetChecked(kDigitsCheck, kDefaultPasswordClasses.digits);
    SetChecked(kSymbolsCheck, kDefaultPasswordClasses.symbols);
    LimitText(kBase64Edit, kBase64Limit);
    // Passwords and Base64 lines have no word breaks: wrapping them at word
    // boundaries costs time growing with the square of the line's length,
    // which for a full Base64 field keeps the window busy for minutes.
    for (int id : {kPasswordEdit, kBase64Edit})
        ItemAs<QPlainTextEdit>(id)->setWordWrapMode(QTextOption::WrapAnywhere);

    // What "+" and "-" do, for assistive technology.
    Item(kAddButton)->setAccessibleName(Text("添加文件"));
    Item(kRemoveButton)->setAccessibleName(Text("移除"));

    OnClicked(kGenerateButton, [this] { OnGenerate(); });
    OnClicked(kEncodeButton, [this] { OnEncode(); });
    OnClicked(kDecodeButton, [this] { OnDecode(); });
    OnClicked(kAddButton, [this] { OnAddFiles(); });
    OnClicked(kRemoveButton, [this] { OnRemoveFiles(); });
    OnClicked(kClearButton, [this] { OnClearFiles(); });
    OnClicked(kEraseButton, [this] { OnErase(); });
    OnClicked(kStopButton, [this] { OnStop(); });
}

// ---------------------------------------------------------------------------
// Password generator

void CTabToolsDlg::OnGenerate() {
    FocusItem(kPasswordEdit);
    const PasswordClasses classes{IsChecked(kUpperCheck), IsChecked(kLowerCheck),
                                  IsChecked(kDigitsCheck), IsChecked(kSymbolsCheck)};
    std::string password;
    switch (GenerateFromFields(ItemText(kLengthEdit).toStdU16String(), classes, password)) {
        case GenerateOutcome::kGenerated: {
            QString text = QString::fromLatin1(password.data(), qsizetype(password.size()));
            SecureWipe(password.data(), password.size());
            SetItemText(kPasswordEdit, text);
            text.fill(QChar(u'\0'));
            break;
        }
        case GenerateOutcome::kBadLength:
            FocusItem(kLengthEdit);
            break;
        case GenerateOutcome::kNoClass:
        case GenerateOutcome::kRandomFailure:
            break;
    }
}

// ---------------------------------------------------------------------------
// Base64

void CTabToolsDlg::OnEncode() {
    FocusItem(kBase64Edit);
    if (const auto encoded = EncodeFieldText(ItemText(kBase64Edit).toStdU16String()))
        ReplaceItemText(kBase64Edit, QString::fromStdU16String(*encoded));
}

void CTabToolsDlg::OnDecode() {
    FocusItem(kBase64Edit);
    if (const auto decoded = DecodeFieldText(ItemText(kBase64Edit).toStdU16String()))
        ReplaceItemText(kBase64Edit, QString::fromStdU16String(*decoded));
}

// ---------------------------------------------------------------------------
// Wipe list

ListView* CTabToolsDlg::WipeList() const {
    return List(kWipeList);
}

void CTabToolsDlg::InsertWipeRow(int index, const QString& path, const QString& status) {
    ListView* list = WipeList();
    const int row = list->InsertRow(index, path);
    list->SetText(row, 1, status);
}

void CTabToolsDlg::SetWipeRowStatus(int row, const QString& text, const QString& reason) {
    ListView* list = WipeList();
    // Every status replaces the reason, so a row wiped again loses the old one.
    list->SetToolTip(row, 1, reason);
    list->SetText(row, 1, text);
    list->EnsureVisible(row);
}

void CTabToolsDlg::SetWipeStatusOfRowId(ListView::RowId row, const QString& text,
                                        const QString& reason) {
    const int position = WipeList()->RowOfId(row);
    if (position >= 0) SetWipeRowStatus(position, text, reason);
}

void CTabToolsDlg::OnAddFiles() {
    const OpenFileSelection selection = ShowOpenFileDialog(this, Text("所有文件(*.*)"), true);
    for (const QString& path : SelectedPaths(selection))
        InsertWipeRow(WipeList()->Count(), path, Text(kStatusAdded));
}

void CTabToolsDlg::OnRemoveFiles() {
    ListView* list = WipeList();
    const std::vector<int> rows = list->SelectedRows();
    // From the bottom up, so the positions still to delete stay valid.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) list->DeleteRow(*row);
}

void CTabToolsDlg::OnClearFiles() {
    WipeList()->DeleteAll();
}

void CTabToolsDlg::SetWipeControlsIdle(bool idle) {
    for (int id : kWipeSettingControls) EnableItem(id, idle);
    EnableItem(kStopButton, !idle);
}

int CTabToolsDlg::SelectedPasses() const {
    if (IsChecked(kOnePassRadio)) return 1;
    if (IsChecked(kSevenPassRadio)) return 7;
    return 35;
}

void CTabToolsDlg::OnErase() {
    if (m_wipeJob.Running()) return;
    FocusItem(kWipeList);
    ListView* list = WipeList();
    const int count = list->Count();
    if (count == 0) {
        ShowMessage(this, Text("没有添加文件到列表"), Text("提示"), MessageIcon::Exclamation);
        return;
    }
    if (ShowMessage(this, Text("列表中的文件将会永远丢失！"), Text("警告"),
                    MessageIcon::Exclamation, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;

    // The worker works from this copy: rows added later are not part of it.
    auto run = std::make_shared<WipeRun>();
    for (int row = 0; row < count; ++row) {
        run->paths.push_back(ToPath(list->Text(row, 0)));
        run->rows.push_back(list->IdOfRow(row));
    }
    run->passes = SelectedPasses();
    run->outcomes = std::make_unique<std::atomic<WipeOutcome>[]>(run->paths.size());
    for (std::size_t i = 0; i < run->paths.size(); ++i) run->outcomes[i] = WipeOutcome::kPending;
    run->results.resize(run->paths.size());
    m_wipeRun = run;

    SetWipeControlsIdle(false);
    m_wipeJob.Start([this, run](const JobContext& job) { WipeWorker(this, run, job); },
                    [this] { SetWipeControlsIdle(true); });
}

void CTabToolsDlg::WipeWorker(CTabToolsDlg* page, const std::shared_ptr<WipeRun>& run,
                              const JobContext& job) {
    // Runs on the worker thread: the page is reached only through posted updates.
    const auto report = [page, &run, &job](const WipeListEvent& event) {
        const ListView::RowId row = run->rows[event.index];
        switch (event.kind) {
            case WipeListEvent::Kind::kFileStarted:
                run->outcomes[event.index] = WipeOutcome::kRunning;
                break;
            case WipeListEvent::Kind::kProgress:
                // The row shows the MiB block about to be written.
                if (event.position.blocks_written < event.position.blocks) {
                    const auto block = int32_t(event.position.blocks_written);
                    job.Post([page, row, block] {
                        page->SetWipeStatusOfRowId(row, WipeProgressText(block));
                    });
                }
                break;
            case WipeListEvent::Kind::kFileFinished:
                run->results[event.index] = event.result;
                run->outcomes[event.index] =
                    event.result.done() ? WipeOutcome::kWiped : WipeOutcome::kFailed;
                job.Post([page, row, result = event.result] {
                    page->SetWipeStatusOfRowId(row,
                                               Text(result.done() ? kStatusWiped : kStatusFailed),
                                               FailureReason(result));
                });
                break;
        }
    };
    // A wipe cut short by Stop stays "running": Stop marks it cancelled.
    WipeFileList(run->paths, run->passes, report, job.StopToken());
}

void CTabToolsDlg::OnStop() {
    if (!m_wipeJob.Running()) return;
    // Returns at once, while the worker may still finish its current write or
    // sync in the background; none of its updates arrive after this.
    m_wipeJob.Stop();
    // Updates the worker posted but the page had not yet shown were dropped:
    // write every file's final status from what the worker recorded.
    const WipeRun& run = *m_wipeRun;
    for (std::size_t i = 0; i < run.paths.size(); ++i) {
        switch (run.outcomes[i].load()) {
            case WipeOutcome::kWiped:
                SetWipeStatusOfRowId(run.rows[i], Text(kStatusWiped));
                break;
            case WipeOutcome::kFailed:
                SetWipeStatusOfRowId(run.rows[i], Text(kStatusFailed),
                                     FailureReason(run.results[i]));
                break;
            case WipeOutcome::kRunning:
                SetWipeStatusOfRowId(run.rows[i], Text(kStatusCancelled));
                break;
            case WipeOutcome::kPending:
                break;
        }
    }
    SetWipeControlsIdle(true);
}
