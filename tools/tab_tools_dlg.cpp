#include "tools/tab_tools_dlg.h"

#include <string>

#include "platform/desktop/failure_text.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/ui_text.h"
#include "platform/system/secure_wipe.h"
#include "tools/base64_text.h"
#include "tools/password.h"
#include "tools/tab_tools_template.h"
#include "tools/wipe.h"

namespace {

using namespace tools_page_ids;

constexpr int kStatusColumn = 1;
constexpr int kLengthLimit = 4;
constexpr int kBase64Limit = 1048576;

const char* const kStatusAdded = "就绪";
const char* const kStatusWiped = "已擦除";
const char* const kStatusFailed = "擦除失败";

std::u16string WipeProgressText(int32_t megabytes) {
    return WithArg(Text("擦除 %1 MB.."), megabytes);
}

}  // namespace

CTabToolsDlg::CTabToolsDlg() : DialogWindow(ToolsPageTemplate()) {}

CTabToolsDlg::~CTabToolsDlg() {
    // The worker posts to this page; it must be cut off before the page goes.
    wipeJob_.Stop();
}

void CTabToolsDlg::OnInitDialog() {
    PaintWhite();
    ListView* list = WipeList();
    if (list->ColumnWidth(0) == 0) {
        list->SetReportStyle(true);
        list->InsertColumn(0, Text("文件路径"), 180);
        list->InsertColumn(kStatusColumn, Text("状态"), 90);
    }
    SetChecked(kOnePassRadio, true);
    SetWipeControlsIdle(true);

    LimitText(kLengthEdit, kLengthLimit);
    SetChecked(kUpperCheck, kDefaultPasswordClasses.upper);
    SetChecked(kLowerCheck, kDefaultPasswordClasses.lower);
    SetChecked(kDigitsCheck, kDefaultPasswordClasses.digits);
    SetChecked(kSymbolsCheck, kDefaultPasswordClasses.symbols);
    LimitText(kBase64Edit, kBase64Limit);

    // What "+" and "-" do, for assistive technology.
    SetItemAccessibleName(kAddButton, Text("添加文件"));
    SetItemAccessibleName(kRemoveButton, Text("移除"));

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
    switch (GenerateFromFields(ItemText(kLengthEdit), classes, password)) {
        case GenerateOutcome::kGenerated: {
            // Each byte is one character (Latin-1).
            std::u16string text;
            text.reserve(password.size());
            for (const unsigned char byte : password) text.push_back(byte);
            SecureWipe(password.data(), password.size());
            SetItemText(kPasswordEdit, text);
            SecureWipe(text.data(), text.size() * sizeof(char16_t));
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
    if (const auto encoded = EncodeFieldText(ItemText(kBase64Edit)))
        ReplaceItemText(kBase64Edit, *encoded);
}

void CTabToolsDlg::OnDecode() {
    FocusItem(kBase64Edit);
    if (const auto decoded = DecodeFieldText(ItemText(kBase64Edit)))
        ReplaceItemText(kBase64Edit, *decoded);
}

// ---------------------------------------------------------------------------
// Wipe list

ListView* CTabToolsDlg::WipeList() const {
    return List(kWipeList);
}

void CTabToolsDlg::InsertWipeRow(int index, const std::u16string& path,
                                 const std::u16string& status) {
    ListView* list = WipeList();
    const int row = list->InsertRow(index, path);
    list->SetText(row, kStatusColumn, status);
}

void CTabToolsDlg::OnAddFiles() {
    for (const std::u16string& path : ChooseFilesToAdd(this))
        InsertWipeRow(WipeList()->Count(), path, Text(kStatusAdded));
}

void CTabToolsDlg::OnRemoveFiles() {
    WipeList()->DeleteSelected();
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
    if (wipeJob_.Running()) return;
    FocusItem(kWipeList);
    if (WipeList()->Count() == 0) {
        ShowMessage(this, Text("没有添加文件到列表"), Text("提示"), MessageIcon::Exclamation);
        return;
    }
    if (ShowMessage(this, Text("列表中的文件将会永远丢失！"), Text("警告"),
                    MessageIcon::Exclamation, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;

    // The worker works from this copy: rows added later are not part of it.
    auto run = std::make_shared<WipeRun>(*WipeList());
    run->passes = SelectedPasses();
    wipeRun_ = run;

    SetWipeControlsIdle(false);
    wipeJob_.Start([run](const JobContext& job) { WipeWorker(*run, job); },
                   [this] { SetWipeControlsIdle(true); });
}

CTabToolsDlg::WipeRun::WipeRun(ListView& list) : files(list, kStatusColumn) {}

void CTabToolsDlg::WipeWorker(WipeRun& run, const JobContext& job) {
    // Runs on the worker thread: the list is reached only through posts.
    const auto report = [&run, &job](const WipeListEvent& event) {
        switch (event.kind) {
            case WipeListEvent::Kind::kFileStarted:
                run.files.Begin(event.index);
                break;
            case WipeListEvent::Kind::kProgress:
                // The row shows the MiB block about to be written.
                if (event.position.blocks_written < event.position.blocks)
                    run.files.ShowProgress(
                        job, event.index, WipeProgressText(int32_t(event.position.blocks_written)));
                break;
            case WipeListEvent::Kind::kFileFinished:
                run.files.Settle(job, event.index,
                                 {Text(event.result.done() ? kStatusWiped : kStatusFailed),
                                  FailureReason(event.result)});
                break;
        }
    };
    // A wipe cut short by Stop gets no final status: Stop marks it cancelled.
    WipeFileList(run.files.Paths(), run.passes, report, job.StopToken());
}

void CTabToolsDlg::OnStop() {
    if (!wipeJob_.Running()) return;
    // Returns at once, while the worker may still finish its current write or
    // sync in the background; none of its updates arrive after this.
    wipeJob_.Stop();
    wipeRun_->files.ShowSettled();
    SetWipeControlsIdle(true);
}
