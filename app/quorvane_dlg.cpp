#include "app/quorvane_dlg.h"

#include <algorithm>

#include "app/build_info.h"
#include "app/main_window_template.h"
#include "app/tab_about_dlg.h"
#include "encrypt/tab_aes256_dlg.h"
#include "hash/tab_hash_dlg.h"
#include "platform/desktop/dialog_units.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/ui_text.h"
#include "tools/tab_tools_dlg.h"

namespace {

using main_window_ids::kTabControl;
constexpr int kEncryptionTab = 0;
constexpr int kHashTab = 1;
constexpr int kToolsTab = 2;
constexpr int kAboutTab = 3;

const char* const kTabTexts[CQuorvaneDlg::kPageCount] = {
    "AES256/Camellia256文件加解密",
    "文件哈希值计算(MD5/SHA-1/SHA512..)",
    "安全工具",
    "关于...",
};

}  // namespace

CQuorvaneDlg::CQuorvaneDlg() : DialogWindow(MainWindowTemplate()) {}

CQuorvaneDlg::~CQuorvaneDlg() = default;

TabControl CQuorvaneDlg::Tabs() const {
    return TabControl(*this, kTabControl);
}

CTabAES256Dlg* CQuorvaneDlg::EncryptionPage() const {
    return static_cast<CTabAES256Dlg*>(m_pages[kEncryptionTab].get());
}
CTabHashDlg* CQuorvaneDlg::HashPage() const {
    return static_cast<CTabHashDlg*>(m_pages[kHashTab].get());
}
CTabToolsDlg* CQuorvaneDlg::ToolsPage() const {
    return static_cast<CTabToolsDlg*>(m_pages[kToolsTab].get());
}
CTabAboutDlg* CQuorvaneDlg::AboutPage() const {
    return static_cast<CTabAboutDlg*>(m_pages[kAboutTab].get());
}

void CQuorvaneDlg::OnInitDialog() {
    ShowProgramIcon();
    FixMainWindowSize();

    const TabControl tabs = Tabs();
    for (const char* text : kTabTexts) tabs.AddTab(Text(text));
    tabs.LayOut(PageRect().y);
    m_curPage = 0;

    // All pages exist from the start, in tab order, hidden until shown.
    m_pages[kEncryptionTab] = std::make_unique<CTabAES256Dlg>();
    m_pages[kHashTab] = std::make_unique<CTabHashDlg>();
    m_pages[kToolsTab] = std::make_unique<CTabToolsDlg>();
    m_pages[kAboutTab] = std::make_unique<CTabAboutDlg>();
    for (int index = 0; index < kPageCount; ++index) {
        m_pages[index]->Create(this);
        // Assistive technology names each page after its tab.
        m_pages[index]->SetWindowAccessibleName(Text(kTabTexts[index]));
    }

    ShowPage(tabs.Selected(), true);
    tabs.OnSelChange([this] { OnTabSelChange(); });
    OnClicked(kIdCancel, [this] { OnCancel(); });
    AcceptFileDrops([this](const std::vector<std::u16string>& paths) { OnDropFiles(paths); });
}

PixelRect CQuorvaneDlg::PageRect() const {
    // The margins shrink with the dialog font when the window was made
    // smaller to fit the screen, so the pages keep room for their controls.
    const PixelRect client = ClientRect();
    const int side = ScaledFromDefaultFont(20);
    int top = ScaledFromDefaultFont(40);
    // The tabs above the pages keep room for a line of text and their frame.
    if (DialogFontPixels() < kDefaultDialogFontPixels)
        top = std::max(top, Tabs().Top() + Units().baseY() + 6);
    const int bottom = ScaledFromDefaultFont(45);
    return {side, top, client.width - 2 * side, client.height - top - bottom};
}

void CQuorvaneDlg::ShowPage(int index, bool focusPage) {
    m_pages[index]->ShowPage(PageRect(), focusPage);
    m_curPage = static_cast<uint8_t>(index);
}

void CQuorvaneDlg::OnTabSelChange() {
    const TabControl tabs = Tabs();
    const int selected = tabs.Selected();
    if (selected < 0 || selected >= kPageCount || selected == m_curPage) return;
    const int previous = m_curPage;
    // The new page appears before the old one goes, so one page is always shown.
    // A keyboard user switching tabs with the arrow keys keeps the focus on the
    // tab bar (where Esc still ends the program); a click hands it to the page.
    ShowPage(selected, !tabs.HasFocus());
    m_pages[previous]->HidePage();
}

void CQuorvaneDlg::OnCancel() {
    EndDialog();
}

void CQuorvaneDlg::OnDropFiles(const std::vector<std::u16string>& paths) {
    if (paths.empty()) return;
    switch (m_curPage) {
        case kEncryptionTab:
            // Dropped files go to the top of the list, in drop order.
            for (int i = 0; i < static_cast<int>(paths.size()); ++i)
                EncryptionPage()->InsertFileRow(i, paths[i], SizeTextOf(paths[i]), Text("就绪."));
            break;
        case kHashTab:
            // Only the first dropped file is hashed.
            HashPage()->OpenDroppedFile(paths.front());
            break;
        case kToolsTab:
            for (int i = 0; i < static_cast<int>(paths.size()); ++i)
                ToolsPage()->InsertWipeRow(i, paths[i], Text("就绪."));
            break;
        case kAboutTab:
            ShowMessage(this,
                        u"Thank you for using my program! Please visit " + FromAscii(kProjectUrl),
                        u"Hi~", MessageIcon::Information);
            break;
    }
}
