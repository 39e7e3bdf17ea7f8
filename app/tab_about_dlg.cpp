#include "app/tab_about_dlg.h"

#include "app/tab_about_template.h"
#include "platform/desktop/desktop_entry.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/ui_text.h"

namespace {
using namespace about_page_ids;
}

CTabAboutDlg::CTabAboutDlg(std::u16string programPath)
    : DialogWindow(AboutPageTemplate()), programPath_(std::move(programPath)) {}

void CTabAboutDlg::OnInitDialog() {
    PaintWhite();
    SetChecked(kContextMenuBox, OpenWithEntryMatches(programPath_));
    OnClicked(kContextMenuBox, [this] { OnContextMenuCheck(); });
}

void CTabAboutDlg::OnContextMenuCheck() {
    const bool ticked = IsChecked(kContextMenuBox);
    const bool done = ticked ? WriteOpenWithEntry(programPath_) : RemoveOpenWithEntry();
    if (!done) {
        // The box keeps showing what is really installed.
        SetChecked(kContextMenuBox, !ticked);
        ShowMessage(this, Text("访问注册表失败，此操作需要管理员权限"), u"Prompt",
                    MessageIcon::Exclamation);
        return;
    }
    ShowMessage(this, ticked ? Text("成功添加到右键菜单") : Text("成功删除右键菜单项"),
                Text("提示"), MessageIcon::Information);
}
