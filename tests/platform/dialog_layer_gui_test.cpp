// The dialog layer: templates to widgets, controls by identifier, lists, jobs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolTip>
#include <algorithm>
#include <atomic>
#include <latch>
#include <memory>
#include <thread>

#include "platform/desktop/command_line.h"
#include "platform/desktop/control_names.h"
#include "platform/desktop/dialog_units_qt.h"
#include "platform/desktop/dialog_window_qt.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/file_manager.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view_qt.h"
#include "support/gui_support.h"
#include "support/test_files.h"

using namespace testing_support;

namespace {

const DialogTemplate kSample{
    500,
    200,
    100,
    "Sample",
    {
        {10, ControlKind::PushButton, "按钮", kStyleNone, {4, 8, 50, 14}},
        {11, ControlKind::CheckBox, "选项", kDisabled, {4, 30, 50, 10}},
        {12, ControlKind::Edit, "", kDigitsOnly, {60, 8, 40, 12}},
        {13, ControlKind::MultiLineEdit, "", kVScroll, {60, 30, 100, 40}},
        {14, ControlKind::ListView, "", kMultiSelect, {4, 50, 50, 40}},
        {kNoId, ControlKind::StaticText, "标签", kAlignRight, {110, 8, 40, 9}},
    }};

class Sample : public DialogWindow {
  public:
    Sample() : DialogWindow(kSample) {}
    int initCalls = 0;

  protected:
    void OnInitDialog() override { ++initCalls; }
};

TEST(DialogWindow, BuildsControlsAtTheirTemplatePlacesAndReachesThemById) {
    QWidget parent;
    Sample dialog;
    CreateInside(dialog, &parent);
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_EQ(QtHost(dialog)->parentWidget(), &parent);
    const DialogUnits& units = dialog.Units();
    EXPECT_EQ(QtItem(dialog, 10)->geometry(), ToQRect(units.ToPixels({4, 8, 50, 14})));
    EXPECT_EQ(ToQt(dialog.ItemText(10)), QStringLiteral("按钮"));
    EXPECT_FALSE(QtItem(dialog, 11)->isEnabled());
    dialog.EnableItem(11, true);
    EXPECT_TRUE(QtItem(dialog, 11)->isEnabled());
    dialog.SetChecked(11, true);
    EXPECT_TRUE(dialog.IsChecked(11));
    EXPECT_EQ(QtItem(dialog, 999), nullptr);
    EXPECT_EQ(ToQt(dialog.ItemText(999)), QString());

    dialog.LimitText(12, 4);
    QtItemAs<QLineEdit>(dialog, 12)->insert("12345");
    EXPECT_EQ(ToQt(dialog.ItemText(12)), QStringLiteral("1234"));
    dialog.LimitText(13, 5);
    QtItemAs<QPlainTextEdit>(dialog, 13)->insertPlainText("abcdefgh");
    EXPECT_EQ(ToQt(dialog.ItemText(13)), QStringLiteral("abcde"));

    int clicks = 0;
    dialog.OnClicked(10, [&] { ++clicks; });
    QtItemAs<QPushButton>(dialog, 10)->click();
    EXPECT_EQ(clicks, 1);
}

// Input that a full single-line field refuses, typed or pasted, makes the
// field name its limit instead of vanishing silently.
TEST(DialogWindow, AFullFieldNamesItsLimit) {
    Sample dialog;
    dialog.Create(nullptr);
    QtHost(dialog)->show();
    dialog.LimitText(12, 4);
    auto* edit = QtItemAs<QLineEdit>(dialog, 12);
    edit->insert(QStringLiteral("12"));
    EXPECT_FALSE(QToolTip::isVisible()) << "nothing refused yet";
    edit->insert(QStringLiteral("3456"));
    EXPECT_EQ(ToQt(dialog.ItemText(12)), QStringLiteral("1234"));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().contains(QLatin1Char('4'))) << QToolTip::text().toStdString();
    QToolTip::hideText();
}

// Without a file manager on the bus the folder goes to xdg-open, and only its
// exit status tells whether anything showed it: a missing xdg-open or one that
// fails brings the message, one that succeeds does not.
class FileManagerFallback : public ::testing::TestWithParam<const char*> {};

TEST_P(FileManagerFallback, SaysSoOnlyWhenXdgOpenIsMissingOrFails) {
    const std::string script = GetParam();
    TempDir bin;
    if (!script.empty()) {
        const std::filesystem::path opener = bin / "xdg-open";
        const std::string text =
            "#!/bin/sh\necho \"$1\" > '" + (bin / "opened").string() + "'\n" + script + "\n";
        WriteFile(opener, std::vector<uint8_t>(text.begin(), text.end()));
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    qputenv("PATH", QByteArray::fromStdString(bin.path().string()));
    ScriptedMessageBoxes boxes;
    ShowFileInFileManager(u"/tmp/some folder/file.txt");
    qputenv("PATH", path);
    const bool fails = script != "exit 0";
    if (fails) {
        ASSERT_TRUE(WaitUntil([&] { return !boxes.shown.empty(); }, 15000));
        EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("提示"));
        EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
        EXPECT_FALSE(boxes.shown[0].text.isEmpty());
    }
    if (!script.empty()) {
        ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(bin / "opened"); }, 15000));
        ServeEvents(300);  // the exit status arrives
        const std::string folder = "/tmp/some folder\n";
        EXPECT_EQ(ReadFile(bin / "opened"), std::vector<uint8_t>(folder.begin(), folder.end()));
    }
    EXPECT_EQ(boxes.shown.size(), fails ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Openers, FileManagerFallback, ::testing::Values("", "exit 3", "exit 0"));

TEST(DialogUnits, ConvertLikeTheDialogManager) {
    const DialogUnits units = DialogFontUnits();
    ASSERT_GT(units.baseX(), 3);
    ASSERT_GT(units.baseY(), 8);
    EXPECT_EQ(units.ToPixelsX(4), units.baseX());
    EXPECT_EQ(units.ToPixelsY(8), units.baseY());
    const PixelRect r = units.ToPixels({10, 20, 30, 40});
    EXPECT_EQ(r.x, units.ToPixelsX(10));
    EXPECT_EQ(r.x + r.width, units.ToPixelsX(40));
    EXPECT_EQ(r.y + r.height, units.ToPixelsY(60));
}

// A field is named by the label left of it on its line, else by the label
// just above it, else by the group box around it; a label that shows a value
// (it has an identifier) names nothing.
TEST(ControlNames, FieldsTakeTheNameOfTheLabelBesideAboveOrAroundThem) {
    const DialogTemplate layout{
        501,
        200,
        100,
        "",
        {
            {kNoId, ControlKind::GroupBox, "外框", kStyleNone, {0, 0, 200, 100}},
            {kNoId, ControlKind::GroupBox, "内框", kStyleNone, {100, 40, 90, 50}},
            {kNoId, ControlKind::StaticText, "长度:", kStyleNone, {4, 6, 40, 9}},
            {20, ControlKind::Edit, "", kStyleNone, {46, 4, 30, 12}},  // label left
            {kNoId, ControlKind::StaticText, "输入：", kStyleNone, {4, 20, 60, 9}},
            {21, ControlKind::MultiLineEdit, "", kStyleNone, {5, 31, 80, 20}},  // label above
            {22, ControlKind::ListView, "", kStyleNone, {104, 50, 80, 30}},     // inner group
            {23, ControlKind::StaticText, "就绪", kStyleNone, {4, 60, 40, 9}},
            {24, ControlKind::ProgressBar, "", kStyleNone, {4, 71, 40, 9}},  // outer group
            {25, ControlKind::PushButton, "确定", kStyleNone, {150, 4, 40, 14}},
        }};
    EXPECT_EQ(NamingControls(layout), (std::vector<int>{-1, -1, -1, 2, -1, 4, 1, -1, 0, -1}));
    EXPECT_EQ(NameFromLabel(u"密码长度(1-9999): "), u"密码长度(1-9999)");
    EXPECT_EQ(NameFromLabel(u"加密密钥："), u"加密密钥");

    QWidget parent;
    DialogWindow dialog(layout);
    CreateInside(dialog, &parent);
    EXPECT_EQ(QtItem(dialog, 20)->accessibleName(), QStringLiteral("长度"));
    EXPECT_EQ(QtItem(dialog, 22)->accessibleName(), QStringLiteral("内框"));
    const auto labels = QtHost(dialog)->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [&](QLabel* label) { return label->buddy() == QtItem(dialog, 21); }));
}

// A screen too small for the window gets a smaller dialog font, the largest at
// which the window fits; where it fits already, the font stays as it is.
TEST(DialogUnits, TheFontShrinksOnlyAsFarAsTheScreenNeeds) {
    const QSize window(503, 289);
    const QSize natural(DialogFontUnits().ToPixelsX(503), DialogFontUnits().ToPixelsY(289));
    EXPECT_EQ(FittingDialogFontPixels(window, natural), kDefaultDialogFontPixels);
    EXPECT_EQ(FittingDialogFontPixels(window, {1600, 1000}), kDefaultDialogFontPixels);

    const QSize small(natural.width() * 3 / 4, natural.height() * 3 / 4);
    const int pixels = FittingDialogFontPixels(window, small);
    ASSERT_LT(pixels, kDefaultDialogFontPixels);
    const auto sizeAt = [&](int fontPixels) {
        QFont font = DialogFont();
        font.setPixelSize(fontPixels);
        const DialogUnits units = DialogUnitsOf(font);
        return QSize(units.ToPixelsX(window.width()), units.ToPixelsY(window.height()));
    };
    EXPECT_LE(sizeAt(pixels).width(), small.width());
    EXPECT_LE(sizeAt(pixels).height(), small.height());
    const QSize larger = sizeAt(pixels + 1);
    EXPECT_TRUE(larger.width() > small.width() || larger.height() > small.height());

    EXPECT_GT(FittingDialogFontPixels(window, {10, 10}), 0) << "still a readable size";
}

TEST(ListView, RowOperationsKeepOrderSelectionAndIdentity) {
    QWidget parent;
    ListView list(*new ListControl(&parent, true));
    EXPECT_EQ(list.ColumnWidth(0), 0);
    list.InsertColumn(0, u"a", 100);
    list.InsertColumn(1, u"b", 50);
    EXPECT_EQ(list.ColumnWidth(0), 100);
    for (int i = 0; i < 5; ++i) list.InsertRow(list.Count(), FromQt(QString::number(i)));
    const ListView::RowId idOfThree = list.IdOfRow(3);
    list.InsertRow(0, u"top");
    list.InsertRow(99, u"end");  // clamped to the end
    EXPECT_EQ(ToQt(list.Text(0, 0)), QStringLiteral("top"));
    EXPECT_EQ(ToQt(list.Text(6, 0)), QStringLiteral("end"));
    EXPECT_EQ(list.RowOfId(idOfThree), 4);
    list.SetText(4, 1, u"status");
    EXPECT_EQ(ToQt(list.Text(4, 1)), QStringLiteral("status"));

    SelectListRow(list, 5, false);
    SelectListRow(list, 2, true);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{2, 5}));
    EXPECT_EQ(list.SelectionMark(), 2);
    list.DeleteRow(2);
    EXPECT_EQ(list.RowOfId(idOfThree), 3);
    list.DeleteRow(3);
    EXPECT_EQ(list.RowOfId(idOfThree), -1);
    list.DeleteAll();
    EXPECT_EQ(list.Count(), 0);
}

TEST(JobRunner, DeliversUpdatesInOrderThenFinishes) {
    Sample page;
    page.Create(nullptr);
    JobRunner runner(&page);
    std::vector<int> seen;
    bool finished = false;
    ASSERT_TRUE(runner.Start(
        [&seen](const JobContext& job) {
            for (int i = 0; i < 5; ++i) job.Post([i, &seen] { seen.push_back(i); });
        },
        [&] { finished = true; }));
    EXPECT_TRUE(runner.Running());
    EXPECT_FALSE(runner.Start([](const JobContext&) {})) << "one job at a time";
    ASSERT_TRUE(WaitUntil([&] { return finished; }));
    EXPECT_FALSE(runner.Running());
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
}

// Stop must not wait for a worker stuck in a long system call: the worker
// here is held until after Stop has returned. What it posts then never
// arrives, a new job starts meanwhile, and the page may even be gone.
TEST(JobRunner, StopReturnsWithoutTheWorkerWhichThenNeverReachesThePage) {
    auto page = std::make_unique<Sample>();
    page->Create(nullptr);
    JobRunner runner(page.get());
    std::latch stuck(1);
    std::latch release(1);
    std::atomic<bool> returned{false};
    int delivered = 0;
    bool finished = false;
    ASSERT_TRUE(runner.Start(
        [&](const JobContext& job) {
            job.Post([&] { ++delivered; });
            stuck.count_down();
            release.wait();  // as in an fsync that takes its time
            job.Post([&] { delivered += 1000; });
            returned = true;
        },
        [&] { finished = true; }));
    stuck.wait();
    runner.Stop();  // would never return if it waited for the worker
    EXPECT_FALSE(runner.Running());
    EXPECT_FALSE(returned.load());

    bool secondFinished = false;
    ASSERT_TRUE(runner.Start([](const JobContext&) {}, [&] { secondFinished = true; }));
    EXPECT_TRUE(WaitUntil([&] { return secondFinished; }));

    page.reset();
    release.count_down();
    JoinAbandonedJobs();
    EXPECT_TRUE(returned.load());
    ServeEvents(50);
    EXPECT_EQ(delivered, 0) << "updates posted before and after Stop are both dropped";
    EXPECT_FALSE(finished);
}

TEST(CommandLine, TakesTheFirstArgumentAndUnwrapsQuotes) {
    EXPECT_EQ(CommandLineFileFrom({}), u"");
    EXPECT_EQ(CommandLineFileFrom({u"/a b/c.txt", u"/ignored"}), u"/a b/c.txt");
    EXPECT_EQ(CommandLineFileFrom({u"\"/a b/文件.txt\""}), u"/a b/文件.txt");
    EXPECT_EQ(CommandLineFileFrom({u"\""}), u"\"");
}

TEST(CommandLine, OptionsLanguageAndFiles) {
    using Action = ProgramOptions::Action;
    struct Case {
        QStringList arguments;
        Action action;
        QStringList files;
        InterfaceLanguage language;
    };
    const auto zh = InterfaceLanguage::Chinese;
    const auto en = InterfaceLanguage::English;
    const Case cases[] = {
        {{}, Action::Run, {}, zh},
        {{"/a.txt", "/b"}, Action::Run, {"/a.txt", "/b"}, zh},
        {{"--lang", "en", "/x"}, Action::Run, {"/x"}, en},
        {{"--lang=ZH"}, Action::Run, {}, zh},
        {{"--", "--help", "-"}, Action::Run, {"--help", "-"}, zh},
        {{"-"}, Action::Run, {"-"}, zh},
        {{"/x", "--help", "--bogus"}, Action::Help, {"/x"}, zh},
        {{"-h"}, Action::Help, {}, zh},
        {{"--version", "--bogus"}, Action::Version, {}, zh},
        {{"--bogus", "--help"}, Action::Error, {}, zh},
        {{"-x"}, Action::Error, {}, zh},
        {{"--lang"}, Action::Error, {}, zh},
        {{"--lang", "fr"}, Action::Error, {}, zh},
    };
    for (const Case& c : cases) {
        const ProgramOptions options = ParseProgramArguments(FromQt(c.arguments));
        const std::string name = c.arguments.join(' ').toStdString();
        EXPECT_EQ(options.action, c.action) << name;
        EXPECT_EQ(options.action == Action::Error, !options.error.empty()) << name;
        if (c.action == Action::Run) {
            EXPECT_EQ(options.files, FromQt(c.files)) << name;
            EXPECT_EQ(options.language, c.language) << name;
        }
    }
    EXPECT_TRUE(ParseProgramArguments({u"--lang", u"en"}).languageGiven);
    EXPECT_FALSE(ParseProgramArguments({u"/x"}).languageGiven);
}

TEST(FileDialog, SelectionsJoinFolderAndNamesWithOneSeparator) {
    using Paths = std::vector<std::u16string>;
    EXPECT_EQ(SelectedPaths({u"", {u"/x/one"}}), Paths{u"/x/one"});
    EXPECT_EQ(SelectedPaths({u"/x", {u"a", u"b"}}), (Paths{u"/x/a", u"/x/b"}));
    EXPECT_EQ(SelectedPaths({u"/", {u"a", u"b"}}), (Paths{u"/a", u"/b"}));
}

// The dialog opens in the folder of the last file listed on its page, else
// in the home folder.
TEST(FileDialog, StartsInTheFolderOfTheLastListedFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "sub");
    Sample dialog;
    dialog.Create(nullptr);
    ListView* list = dialog.List(14);
    list->InsertColumn(0, u"path", 100);
    EXPECT_EQ(ToQt(StartFolderFor(&dialog)), QDir::homePath());
    list->InsertRow(0, FromQt(QString::fromStdString((dir / "sub" / "a.txt").string())));
    list->InsertRow(0, FromQt(QString::fromStdString((dir / "b.txt").string())));
    EXPECT_EQ(ToQt(StartFolderFor(&dialog)), QString::fromStdString((dir / "sub").string()));
    list->InsertRow(2, u"/no/such/folder/c.txt");
    EXPECT_EQ(ToQt(StartFolderFor(&dialog)), QDir::homePath());

    ScriptedFileDialogs dialogs;
    ShowOpenFileDialog(&dialog, u"all", true);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].startFolder, QDir::homePath());
}

// Enter presses a focused push button, else the template's default button;
// a multi-line edit breaks its line on Enter only with the want-return style
// (or on Ctrl+Enter).
TEST(DialogWindow, EnterGoesToTheDefaultButtonUnlessTheEditWantsReturn) {
    const DialogTemplate withDefault{
        501,
        200,
        100,
        "",
        {
            {20, ControlKind::PushButton, "默认", kDefaultButton, {4, 4, 40, 14}},
            {21, ControlKind::PushButton, "其他", kStyleNone, {50, 4, 40, 14}},
            {22, ControlKind::Edit, "", kStyleNone, {4, 24, 60, 12}},
            {23, ControlKind::MultiLineEdit, "", kStyleNone, {4, 40, 90, 30}},
            {24, ControlKind::MultiLineEdit, "", kWantReturn, {100, 40, 90, 30}},
        }};
    DialogWindow dialog(withDefault);
    dialog.Create(nullptr);
    int defaultClicks = 0, otherClicks = 0;
    dialog.OnClicked(20, [&] { ++defaultClicks; });
    dialog.OnClicked(21, [&] { ++otherClicks; });
    const auto press = [&](int id, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QtItem(dialog, id)->setFocus();
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Return, modifiers);
        QCoreApplication::sendEvent(QtItem(dialog, id), &event);
    };
    press(22);
    press(23);
    EXPECT_EQ(defaultClicks, 2);
    EXPECT_EQ(ToQt(dialog.ItemText(23)), QString());
    press(21);
    EXPECT_EQ(otherClicks, 1);
    EXPECT_EQ(defaultClicks, 2);
    press(23, Qt::ControlModifier);
    EXPECT_EQ(ToQt(dialog.ItemText(23)), QStringLiteral("\n"));
    press(24);
    EXPECT_EQ(ToQt(dialog.ItemText(24)), QStringLiteral("\n"));
    EXPECT_EQ(defaultClicks, 2);
    dialog.EnableItem(20, false);
    press(22);
    EXPECT_EQ(defaultClicks, 2) << "a disabled default button is not pressed";
}

}  // namespace
