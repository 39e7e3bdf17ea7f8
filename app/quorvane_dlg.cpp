#include "app/quorvane_dlg.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QMimeData>
#include <QTabBar>
#include <QUrl>
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

// The icons are a resource object of the static window library, which the
// linker leaves out unless something refers to it: this does.
static void InitProgramResources() {
    Q_INIT_RESOURCE(quorvane);
}

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

QStringList LocalPaths(const QMimeData* data) {
    QStringList paths;
    if (!data) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

}  // namespace

QIcon ProgramIcon() {
    InitProgramResources();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quorvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

CQuorvaneDlg::CQuorvaneDlg() : DialogWindow(MainWindowTemplate()), m_hIcon(ProgramIcon()) {}

QTabBar* CQuorvaneDlg::TabBar() const {
    return ItemAs<QTabBar>(kTabControl);
}

CTabAES256Dlg* CQuorvaneDlg::EncryptionPage() const {
    return static_cast<CTabAES256Dlg*>(m_pages[kEncryptionTab]);
}
CTabHashDlg* CQuorvaneDlg::HashPage() const {
    return static_cast<CTabHashDlg*>(m_pages[kHashTab]);
}
CTabToolsDlg* CQuorvaneDlg::ToolsPage() const {
    return static_cast<CTabToolsDlg*>(m_pages[kToolsTab]);
}
CTabAboutDlg* CQuorvaneDlg::AboutPage() const {
    return static_cast<CTabAboutDlg*>(m_pages[kAboutTab]);
}

void CQuorvaneDlg::OnInitDialog() {
    setWindowIcon(m_hIcon);
    // A fixed-size window with a minimise box but no maximise box.
    setFixedSize(size());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);

    QTabBar* tabs = TabBar();
    for (const char* text : kTabTexts) tabs->addTab(Text(text));
    LayOutTabControl();
    m_curPage = 0;

    // All pages exist from the start, in tab order, hidden until shown.
    m_pages = {new CTabAES256Dlg, new CTabHashDlg, new CTabToolsDlg, new CTabAboutDlg};
    for (int index = 0; index < kPageCount; ++index) {
        m_pages[index]->Create(this);
        // Assistive technology names each page after its tab.
        m_pages[index]->setAccessibleName(Text(kTabTexts[index]));
    }

    ShowPage(tabs->currentIndex(), true);
    connect(tabs, &QTabBar::currentChanged, this, [this] { OnTabSelChange(); });
    OnClicked(kIdCancel, [this] { OnCancel(); });
    setAcceptDrops(true);
}

void CQuorvaneDlg::LayOutTabControl() {
    // The tab bar shows the tabs along the top of the control's rectangle; a
    // frame below it draws the pane the pages sit in.
    QTabBar* tabs = TabBar();
    const QRect area = tabs->geometry();
    tabs->setExpanding(false);
    tabs->setDrawBase(false);
    // Tabs sized so that they end where the page rectangle begins. Their
    // faces are light like the pages, so their text is dark whatever the
    // theme; the selected tab of a focused bar gets a blue frame as its
    // focus mark.
    tabs->setStyleSheet(
        QStringLiteral("QTabBar::tab { height: %1px; padding: 0 10px; margin-right: 1px;"
                       " border: 1px solid #b4b4b4; border-bottom: none;"
                       " border-top-left-radius: 3px; border-top-right-radius: 3px;"
                       " background: #e6e6e6; color: #000000; }"
                       "QTabBar::tab:selected { background: #ffffff; }"
                       "QTabBar::tab:selected:focus { border: 2px solid #005fb8;"
                       " border-bottom: none; padding: 0 9px; }"
                       "QTabBar::tab:!selected { margin-top: 2px; }")
            .arg(PageRect().top() - area.top() - 2));
    const int barHeight = tabs->sizeHint().height();
    tabs->setGeometry(area.left(), area.top(), area.width(), barHeight);
    auto* pane = new QFrame(this);
    pane->setFrameShape(QFrame::StyledPanel);
    pane->setGeometry(area.left(), area.top() + barHeight - 1, area.width(),
                      area.height() - barHeight + 1);
    pane->lower();
}

QRect CQuorvaneDlg::PageRect() const {
    // The margins shrink with the dialog font when the window was made
    // smaller to fit the screen, so the pages keep room for their controls.
    const QRect client = rect();
    const int side = ScaledFromDefaultFont(20);
    int top = ScaledFromDefaultFont(40);
    // The tabs above the pages keep room for a line of text and their frame.
    if (DialogFontPixels() < kDefaultDialogFontPixels)
        top = std::max(top, TabBar()->y() + Units().baseY() + 6);
    const int bottom = ScaledFromDefaultFont(45);
    return QRect(side, top, client.width() - 2 * side, client.height() - top - bottom);
}

void CQuorvaneDlg::ShowPage(int index, bool focusPage) {
    DialogWindow* page = m_pages[index];
    page->setGeometry(PageRect());
    page->show();
    page->raise();
    if (focusPage) page->setFocus(Qt::TabFocusReason);
    page->update();
    m_curPage = static_cast<uint8_t>(index);
}

void CQuorvaneDlg::OnTabSelChange() {
    const int selected = TabBar()->currentIndex();
    if (selected < 0 || selected >= kPageCount || selected == m_curPage) return;
    const int previous = m_curPage;
    // The new page appears before the old one goes, so one page is always shown.
    // A keyboard user switching tabs with the arrow keys keeps the focus on the
    // tab bar (where Esc still ends the program); a click hands it to the page.
    ShowPage(selected, focusWidget() != TabBar());
    m_pages[previous]->hide();
}

void CQuorvaneDlg::OnCancel() {
    QDialog::reject();
}

void CQuorvaneDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalPaths(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CQuorvaneDlg::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalPaths(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    OnDropFiles(paths);
}

void CQuorvaneDlg::OnDropFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    switch (m_curPage) {
        case kEncryptionTab:
            // Dropped files go to the top of the list, in drop order.
            for (int i = 0; i < paths.size(); ++i)
                EncryptionPage()->InsertFileRow(i, paths[i], SizeTextOf(paths[i]), Text("就绪."));
            break;
        case kHashTab:
            // Only the first dropped file is hashed.
            HashPage()->OpenDroppedFile(paths.front());
            break;
        case kToolsTab:
            for (int i = 0; i < paths.size(); ++i)
                ToolsPage()->InsertWipeRow(i, paths[i], Text("就绪."));
            break;
        case kAboutTab:
            ShowMessage(this,
                        QStringLiteral("Thank you for using my program! Please visit %1")
                            .arg(QString::fromUtf8(kProjectUrl)),
                        QStringLiteral("Hi~"), MessageIcon::Information);
            break;
    }
}
