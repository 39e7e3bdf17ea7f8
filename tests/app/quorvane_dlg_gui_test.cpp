// The main window: pages, tab switching, drop routing, keys and version texts.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QUrl>
#include <filesystem>
#include <set>

#include "app/build_info.h"
#include "app/quorvane_dlg.h"
#include "app/tab_about_dlg.h"
#include "encrypt/tab_aes256_dlg.h"
#include "hash/tab_hash_dlg.h"
#include "hash/tab_hash_template.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view.h"
#include "platform/desktop/page_palette_qt.h"
#include "support/gui_support.h"
#include "support/test_files.h"
#include "tools/tab_tools_dlg.h"
#include "tools/tab_tools_template.h"

using namespace testing_support;

namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.Create(nullptr);
        QtHost(window)->show();
    }

    int VisiblePageCount() const {
        int visible = 0;
        for (int i = 0; i < CQuorvaneDlg::kPageCount; ++i)
            visible += QtHost(*window.Page(i))->isVisible();
        return visible;
    }

    QString MakeFile(const std::string& name, std::size_t size) {
        const auto path = dir / name;
        WriteFile(path, std::vector<uint8_t>(size, 0x5A));
        return QString::fromStdString(path.string());
    }

    void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(target, &press);
    }

    ScriptedMessageBoxes boxes;
    TempDir dir;
    CQuorvaneDlg window;
};

TEST_F(MainWindowTest, StartsWithFourPagesAndOnlyTheEncryptionPageShown) {
    EXPECT_EQ(TabBarOf(window)->count(), 4);
    EXPECT_EQ(TabBarOf(window)->tabText(0), QStringLiteral("AES256/Camellia256文件加解密"));
    EXPECT_EQ(TabBarOf(window)->tabText(1), QStringLiteral("文件哈希值计算(MD5/SHA-1/SHA512..)"));
    EXPECT_EQ(TabBarOf(window)->tabText(2), QStringLiteral("安全工具"));
    EXPECT_EQ(TabBarOf(window)->tabText(3), QStringLiteral("关于..."));
    for (int i = 0; i < CQuorvaneDlg::kPageCount; ++i) {
        ASSERT_NE(window.Page(i), nullptr);
        EXPECT_EQ(QtHost(*window.Page(i))->parentWidget(), QtHost(window))
            << "pages are children of the window";
    }
    EXPECT_TRUE(QtHost(*window.EncryptionPage())->isVisible());
    EXPECT_EQ(VisiblePageCount(), 1);
    EXPECT_EQ(window.CurrentPage(), 0);
}

TEST_F(MainWindowTest, EverySwitchShowsExactlyOnePageInThePageRectangle) {
    const QRect client = QtHost(window)->rect();
    const QRect expected(20, 40, client.width() - 40, client.height() - 85);
    for (int tab : {2, 1, 3, 0, 3, 2}) {
        TabBarOf(window)->setCurrentIndex(tab);
        EXPECT_EQ(window.CurrentPage(), tab);
        EXPECT_EQ(VisiblePageCount(), 1) << "after switching to tab " << tab;
        EXPECT_TRUE(QtHost(*window.Page(tab))->isVisible());
        EXPECT_EQ(QtHost(*window.Page(tab))->geometry(), expected);
    }
}

TEST_F(MainWindowTest, HiddenPagesKeepTheirState) {
    window.EncryptionPage()->InsertFileRow(0, u"/tmp/kept", u"0 KB", u"就绪");
    TabBarOf(window)->setCurrentIndex(2);
    TabBarOf(window)->setCurrentIndex(0);
    EXPECT_EQ(window.EncryptionPage()->FileList()->Count(), 1);
}

TEST_F(MainWindowTest, DropOnEncryptionTabPutsNewRowsFirstInDropOrder) {
    CTabAES256Dlg* page = window.EncryptionPage();
    page->InsertFileRow(0, u"/old/one", u"1 KB", u"就绪");
    page->InsertFileRow(1, u"/old/two", u"2 KB", u"就绪");
    const QStringList dropped = {MakeFile("a", 0), MakeFile("b", 1023), MakeFile("c", 1024)};
    window.OnDropFiles(FromQt(dropped));

    ListView* list = page->FileList();
    ASSERT_EQ(list->Count(), 5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ToQt(list->Text(i, 0)), dropped[i]);
        EXPECT_EQ(ToQt(list->Text(i, 2)), QStringLiteral("就绪."));
    }
    EXPECT_EQ(ToQt(list->Text(3, 0)), QStringLiteral("/old/one"));
    EXPECT_EQ(ToQt(list->Text(4, 0)), QStringLiteral("/old/two"));
}

TEST_F(MainWindowTest, DroppedFilesGetTheirSizeTextsAndUnopenableOnesAreListedToo) {
    const QStringList dropped = {MakeFile("zero", 0),
                                 MakeFile("k-1", 1023),
                                 MakeFile("k", 1024),
                                 MakeFile("five", 5000000),
                                 QString::fromStdString(dir.path().string()),
                                 QString::fromStdString((dir / "missing").string()),
                                 MakeFile("名字 with space", 2048)};
    window.OnDropFiles(FromQt(dropped));
    ListView* list = window.EncryptionPage()->FileList();
    ASSERT_EQ(list->Count(), dropped.size());
    const QStringList sizes = {"0 KB",         "0 KB",         "1 KB", "4882 KB",
                               "打开文件失败", "打开文件失败", "2 KB"};
    for (int i = 0; i < sizes.size(); ++i) EXPECT_EQ(ToQt(list->Text(i, 1)), sizes[i]) << i;
}

TEST_F(MainWindowTest, DropOnHashTabTakesOnlyTheFirstFile) {
    TabBarOf(window)->setCurrentIndex(1);
    const QStringList dropped = {MakeFile("first", 10), MakeFile("second", 20)};
    window.OnDropFiles(FromQt(dropped));
    EXPECT_EQ(ToQt(window.HashPage()->m_filePath), dropped.front());
    // Let a hash run that the drop may have started finish before teardown.
    ServeEvents(200);
}

TEST_F(MainWindowTest, DropOnToolsTabListsFilesFirstWithoutOpeningThem) {
    TabBarOf(window)->setCurrentIndex(2);
    window.ToolsPage()->InsertWipeRow(0, u"/old", u"就绪");
    window.OnDropFiles(FromQt(QStringList{"/nowhere/x", "/nowhere/y"}));
    ListView* list = window.ToolsPage()->WipeList();
    ASSERT_EQ(list->Count(), 3);
    EXPECT_EQ(ToQt(list->Text(0, 0)), QStringLiteral("/nowhere/x"));
    EXPECT_EQ(ToQt(list->Text(1, 0)), QStringLiteral("/nowhere/y"));
    EXPECT_EQ(ToQt(list->Text(1, 1)), QStringLiteral("就绪."));
    EXPECT_EQ(ToQt(list->Text(2, 0)), QStringLiteral("/old"));
}

TEST_F(MainWindowTest, DropOnAboutTabOnlyThanksTheUser) {
    TabBarOf(window)->setCurrentIndex(3);
    window.OnDropFiles(FromQt(QStringList{MakeFile("f", 1)}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("Hi~"));
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Thank you for using my program! Please visit "));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(window.EncryptionPage()->FileList()->Count(), 0);
    EXPECT_EQ(window.ToolsPage()->WipeList()->Count(), 0);
}

TEST_F(MainWindowTest, RealDropEventReachesTheRoutingFromAnywhereOnTheWindow) {
    const QString file = MakeFile("dropped file.bin", 3000);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    const QPoint where = QtHost(*window.EncryptionPage())->geometry().center();
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(QtHost(window), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(QtHost(window), &drop);
    ListView* list = window.EncryptionPage()->FileList();
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(ToQt(list->Text(0, 0)), file);
    EXPECT_EQ(ToQt(list->Text(0, 1)), QStringLiteral("2 KB"));
}

TEST_F(MainWindowTest, EnterDoesNothingWhileEscAndTheExitButtonClose) {
    TabBarOf(window)->setFocus();
    SendKey(TabBarOf(window), Qt::Key_Return);
    SendKey(QtHost(window), Qt::Key_Return);
    EXPECT_TRUE(QtHost(window)->isVisible()) << "Enter must not close the window";
    SendKey(QtHost(*window.EncryptionPage()), Qt::Key_Escape);
    EXPECT_TRUE(QtHost(window)->isVisible()) << "Esc inside a page is the page's own";
    EXPECT_TRUE(QtHost(*window.EncryptionPage())->isVisible());

    SendKey(QtHost(window), Qt::Key_Escape);
    EXPECT_FALSE(QtHost(window)->isVisible());

    QtHost(window)->show();
    ASSERT_TRUE(QtHost(window)->isVisible());
    QtItemAs<QPushButton>(window, kIdCancel)->click();
    EXPECT_FALSE(QtHost(window)->isVisible());
}

TEST_F(MainWindowTest, EscOnTheTabBarEndsTheProgramAlsoAfterSwitchingTabsByKey) {
    TabBarOf(window)->setFocus();
    SendKey(TabBarOf(window), Qt::Key_Right);
    EXPECT_EQ(window.CurrentPage(), 1);
    EXPECT_EQ(QtHost(window)->focusWidget(), TabBarOf(window));
    SendKey(TabBarOf(window), Qt::Key_Escape);
    EXPECT_FALSE(QtHost(window)->isVisible());
}

// Tab, Shift+Tab and Ctrl+Tab leave both file lists for the neighbouring
// controls of the template instead of walking through the cells.
TEST_F(MainWindowTest, TabKeysLeaveBothFileLists) {
    struct Case {
        int tab;
        DialogWindow* page;
        int after;   // the next control in template order
        int before;  // the previous one on the same page, or kNoId
    };
    const Case cases[] = {
        {0, window.EncryptionPage(), 1007, kNoId},
        {2, window.ToolsPage(), tools_page_ids::kAddButton, tools_page_ids::kDecodeButton}};
    for (const Case& c : cases) {
        TabBarOf(window)->setCurrentIndex(c.tab);
        ListView* rows = c.page->List(1003);
        for (int i = 0; i < 3; ++i) rows->InsertRow(i, FromQt(QStringLiteral("/tmp/f%1").arg(i)));
        QTableWidget* list = QtTable(*rows);
        const std::pair<int, Qt::KeyboardModifiers> forward[] = {
            {Qt::Key_Tab, Qt::NoModifier}, {Qt::Key_Tab, Qt::ControlModifier}};
        for (const auto& [key, modifiers] : forward) {
            list->setFocus();
            list->setCurrentCell(0, 0);
            SendKey(list, key, modifiers);
            EXPECT_EQ(QtHost(window)->focusWidget(), QtItem(*c.page, c.after))
                << c.tab << " " << modifiers;
        }
        const std::pair<int, Qt::KeyboardModifiers> backward[] = {
            {Qt::Key_Backtab, Qt::ShiftModifier},
            {Qt::Key_Backtab, Qt::ShiftModifier | Qt::ControlModifier}};
        for (const auto& [key, modifiers] : backward) {
            list->setFocus();
            SendKey(list, key, modifiers);
            EXPECT_NE(QtHost(window)->focusWidget(), list) << c.tab << " " << modifiers;
            if (c.before != kNoId) {
                EXPECT_EQ(QtHost(window)->focusWidget(), QtItem(*c.page, c.before));
            }
        }
    }
}

// A page shown by its tab hands the focus to a control of its own: the first
// one that takes Tab, or the one that had it when the page was left.
TEST_F(MainWindowTest, AShownPageFocusesItsFirstOrLastFocusedControl) {
    QtHost(window)->activateWindow();
    ServeEvents(20);
    if (!QtHost(window)->isActiveWindow()) GTEST_SKIP() << "the platform does not activate windows";
    TabBarOf(window)->setCurrentIndex(2);
    ServeEvents(20);
    EXPECT_EQ(QApplication::focusWidget(),
              QtItem(*window.ToolsPage(), tools_page_ids::kLengthEdit));
    window.ToolsPage()->FocusItem(tools_page_ids::kBase64Edit);
    TabBarOf(window)->setCurrentIndex(0);
    ServeEvents(20);
    EXPECT_TRUE(QtHost(*window.EncryptionPage())->isAncestorOf(QApplication::focusWidget()));
    TabBarOf(window)->setCurrentIndex(2);
    ServeEvents(20);
    EXPECT_EQ(QApplication::focusWidget(),
              QtItem(*window.ToolsPage(), tools_page_ids::kBase64Edit));
}

TEST_F(MainWindowTest, TheWindowHasTheProgramIcon) {
    for (int size : {16, 32, 48}) {
        const QPixmap pixmap = QtHost(window)->windowIcon().pixmap(size, size);
        ASSERT_FALSE(pixmap.isNull()) << size;
        EXPECT_EQ(pixmap.width(), size);
    }
}

TEST_F(MainWindowTest, VersionTextsNameTheRealBuild) {
    EXPECT_EQ(QtHost(window)->windowTitle(),
              QStringLiteral("Quorvane %1 Ver: 0.2.0").arg(BuildArchitecture()));
    const QString bits = sizeof(void*) == 8 ? "(64-bit)" : "(32-bit)";
    EXPECT_EQ(QString::fromStdString(VersionLabelText()), "Quorvane Ver: 0.2.0 " + bits);
#if defined(__x86_64__)
    EXPECT_EQ(QtHost(window)->windowTitle(), QStringLiteral("Quorvane x86_64 Ver: 0.2.0"));
#endif
    EXPECT_EQ(QtHost(window)->size(), QtHost(window)->minimumSize())
        << "the window cannot be resized";
    EXPECT_EQ(QtHost(window)->size(), QtHost(window)->maximumSize());
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

// Every field, list, button and page has a name that says what it is for, and
// the labels are tied to the fields they name.
TEST_F(MainWindowTest, AssistiveTechnologyHearsANameForEveryControlAndPage) {
    for (int i = 0; i < CQuorvaneDlg::kPageCount; ++i)
        EXPECT_EQ(AccessibleName(QtHost(*window.Page(i))), TabBarOf(window)->tabText(i)) << i;
    int controls = 0;
    for (QWidget* widget : QtHost(window)->findChildren<QWidget*>()) {
        const bool named =
            qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
            qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QProgressBar*>(widget) ||
            dynamic_cast<ListControl*>(widget);
        if (!named || widget->objectName().isEmpty()) continue;  // parts of other controls
        ++controls;
        const QString name = AccessibleName(widget);
        EXPECT_FALSE(name.isEmpty()) << widget->objectName().toStdString();
        EXPECT_NE(name, QStringLiteral("+"));
        EXPECT_NE(name, QStringLiteral("-"));
    }
    EXPECT_GT(controls, 40);

    QWidget* key = QtItem(*window.EncryptionPage(), 1005);
    EXPECT_EQ(AccessibleName(key), QStringLiteral("加密密钥"));
    const auto labels = QAccessible::queryAccessibleInterface(key)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("加密密钥："));
    EXPECT_EQ(AccessibleName(QtTable(*window.EncryptionPage()->FileList())),
              QStringLiteral("拖动文件到此处或点击”添加文件...“"));
    EXPECT_EQ(AccessibleName(QtItem(*window.HashPage(), hash_page_ids::kResultEdit)),
              QStringLiteral("结果"));
    EXPECT_EQ(
        AccessibleName(QtItemAs<QProgressBar>(*window.HashPage(), hash_page_ids::kProgressBar)),
        QStringLiteral("进度"));
    CTabToolsDlg* tools = window.ToolsPage();
    EXPECT_EQ(AccessibleName(QtItem(*tools, tools_page_ids::kLengthEdit)),
              QStringLiteral("密码长度(1-9999)"));
    EXPECT_EQ(AccessibleName(QtItem(*tools, tools_page_ids::kPasswordEdit)),
              QStringLiteral("随机密码生成器"));
    EXPECT_EQ(AccessibleName(QtItem(*tools, tools_page_ids::kBase64Edit)),
              QStringLiteral("输入明文或编码"));
    EXPECT_EQ(AccessibleName(QtItem(*tools, tools_page_ids::kAddButton)),
              QStringLiteral("添加文件"));
    EXPECT_EQ(AccessibleName(QtItem(*tools, tools_page_ids::kRemoveButton)),
              QStringLiteral("移除"));
}

// Without its own mark a keyboard user cannot tell that the tab bar has the
// focus: the bar looks different when it has it.
TEST_F(MainWindowTest, TheTabBarShowsWhenItHasTheFocus) {
    QtHost(window)->activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return QtHost(window)->isActiveWindow(); }));
    window.EncryptionPage()->FocusItem(1005);
    ServeEvents(20);
    const QImage unfocused = TabBarOf(window)->grab().toImage();
    TabBarOf(window)->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(WaitUntil([&] { return TabBarOf(window)->hasFocus(); }));
    EXPECT_NE(TabBarOf(window)->grab().toImage(), unfocused);
}

double LowestContrast(QWidget* widget, QPalette::ColorRole text, QPalette::ColorRole ground,
                      const QColor& pageGround) {
    double lowest = 21;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Disabled}) {
        const QPalette palette = widget->palette();
        const QColor behind =
            ground == QPalette::Window ? pageGround : palette.color(group, ground);
        lowest = std::min(lowest, ContrastRatio(palette.color(group, text), behind));
    }
    return lowest;
}

// Under a dark theme the pages still paint white, so every text on them must
// turn dark rather than keep the theme's light colour; the fields that keep
// the theme's colours stay readable in them.
TEST(MainWindowTheme, EveryTextReadsOnItsGroundUnderADarkTheme) {
    const QPalette original = QApplication::palette();
    QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x24, 0x24, 0x24));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    QApplication::setPalette(dark);
    {
        ScriptedMessageBoxes boxes;
        CQuorvaneDlg window;
        window.Create(nullptr);
        int texts = 0;
        for (int i = 0; i < CQuorvaneDlg::kPageCount; ++i) {
            DialogWindow* page = window.Page(i);
            const QColor ground = QtHost(*page)->palette().color(QPalette::Window);
            EXPECT_EQ(ground, QColor(Qt::white)) << i;
            for (QWidget* widget :
                 QtHost(*page)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                const std::string id = widget->objectName().toStdString();
                double contrast = 21;
                if (qobject_cast<QPushButton*>(widget))
                    contrast =
                        LowestContrast(widget, QPalette::ButtonText, QPalette::Button, ground);
                else if (qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget) ||
                         qobject_cast<QRadioButton*>(widget) || qobject_cast<QGroupBox*>(widget))
                    contrast =
                        LowestContrast(widget, QPalette::WindowText, QPalette::Window, ground);
                else if (qobject_cast<QLineEdit*>(widget) ||
                         qobject_cast<QPlainTextEdit*>(widget) ||
                         dynamic_cast<ListControl*>(widget))
                    contrast = LowestContrast(widget, QPalette::Text, QPalette::Base, ground);
                else
                    continue;
                ++texts;
                EXPECT_GE(contrast, 4.5) << "page " << i << " " << id;
            }
        }
        EXPECT_GT(texts, 60);
    }
    QApplication::setPalette(original);
}

// Closing the window while all three kinds of job run: every worker is stopped
// before the widgets it reports to go away, and no half-written file remains.
TEST(MainWindowClose, ClosingWhileJobsRunStopsThemAndLeavesNoPartialOutput) {
    namespace fs = std::filesystem;
    constexpr uintmax_t kMiB = 1 << 20;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    TempDir dir;
    const auto sparse = [&](const std::string& name, uintmax_t size) {
        const fs::path path = dir / name;
        WriteFile(path, {});
        fs::resize_file(path, size);
        return path;
    };
    const fs::path toEncrypt = sparse("encrypt.bin", 2048 * kMiB);
    const fs::path toHash = sparse("hash.bin", 2048 * kMiB);
    const fs::path toWipe = sparse("wipe.bin", 256 * kMiB);
    const auto Q = [](const fs::path& path) { return QString::fromStdString(path.string()); };

    auto* window = new CQuorvaneDlg;
    window->Create(nullptr);
    QtHost(*window)->show();

    CTabAES256Dlg* encryption = window->EncryptionPage();
    encryption->InsertFileRow(0, FromQt(Q(toEncrypt)), u"0 KB", u"就绪");
    QtItemAs<QLineEdit>(*encryption, 1005)->setText("key");
    QtItemAs<QPushButton>(*encryption, 1008)->click();

    CTabHashDlg* hash = window->HashPage();
    dialogs.selections.push_back(Selection{{}, {Q(toHash)}});
    hash->OnOpen();

    CTabToolsDlg* tools = window->ToolsPage();
    tools->InsertWipeRow(0, FromQt(Q(toWipe)), u"就绪");
    tools->SetChecked(tools_page_ids::kThirtyFivePassRadio, true);
    tools->OnErase();

    ASSERT_TRUE(WaitUntil([&] {
        return ToQt(encryption->FileList()->Text(0, 2)).startsWith(QStringLiteral("加密 ")) &&
               QtItemAs<QProgressBar>(*hash, 1033)->value() > 0 &&
               ToQt(tools->WipeList()->Text(0, 1)).startsWith(QStringLiteral("擦除 "));
    }));
    ASSERT_TRUE(encryption->IsRunning() && hash->Running() &&
                QtItem(*tools, tools_page_ids::kStopButton)->isEnabled());

    QtItemAs<QPushButton>(*window, kIdCancel)->click();
    EXPECT_FALSE(QtHost(*window)->isVisible());
    delete window;
    ServeEvents(200);     // anything still queued for the pages must be gone
    JoinAbandonedJobs();  // as the program does before it ends

    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"encrypt.bin", "hash.bin", "wipe.bin"}));
    EXPECT_EQ(fs::file_size(toEncrypt), 2048 * kMiB);
    EXPECT_EQ(fs::file_size(toWipe), 256 * kMiB) << "a stopped wipe leaves the file whole";
}

}  // namespace
