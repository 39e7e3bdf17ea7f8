// The tools page driven through its real widgets: password generator, Base64
// field and the wipe list with its worker.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view.h"
#include "support/gui_support.h"
#include "support/test_files.h"
#include "tools/tab_tools_dlg.h"
#include "tools/tab_tools_template.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

using namespace tools_page_ids;

const QString kAdded = QStringLiteral("就绪");
const QString kDropped = QStringLiteral("就绪.");

// A control's name and text, for failure messages.
QString Describe(const QWidget* control) {
    QString text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) text = button->text();
    if (const auto* label = qobject_cast<const QLabel*>(control)) text = label->text();
    return control->objectName() + " " + text;
}

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

class ToolsPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        page.Create(nullptr);
        QtHost(page)->show();
        QtHost(page)->activateWindow();
        ServeEvents(20);
    }
    void TearDown() override {
        if (QtItem(page, kStopButton)->isEnabled()) Click(kStopButton);
    }

    void Click(int id) {
        auto* button = QtItemAs<QAbstractButton>(page, id);
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }
    QLineEdit* Line(int id) { return QtItemAs<QLineEdit>(page, id); }
    QPlainTextEdit* Multi(int id) { return QtItemAs<QPlainTextEdit>(page, id); }
    QWidget* Focused() { return QtHost(page)->focusWidget(); }
    ListView* List() { return page.WipeList(); }

    QString StatusTip(int row) { return CellToolTip(*List(), row, 1); }
    QStringList Column(int column) {
        QStringList texts;
        for (int row = 0; row < List()->Count(); ++row) texts << ToQt(List()->Text(row, column));
        return texts;
    }
    bool WipeIdle() {
        for (int id : kWipeSettingControls)
            if (!QtItem(page, id)->isEnabled()) return false;
        return !QtItem(page, kStopButton)->isEnabled();
    }
    void AddRows(const std::vector<fs::path>& paths) {
        for (const fs::path& path : paths)
            page.InsertWipeRow(List()->Count(), FromQt(Q(path)), FromQt(kAdded));
    }
    // Erase, answer Yes, and wait until the run has ended.
    void EraseAndWait() {
        ScriptedMessageBoxes boxes;
        Click(kEraseButton);
        ASSERT_TRUE(WaitUntil([&] { return !QtItem(page, kStopButton)->isEnabled(); }));
        ServeEvents(20);
    }

    CTabToolsDlg page;
};

// ---------------------------------------------------------------------------
// The page as it opens

TEST_F(ToolsPageTest, OpensWithDefaultClassesOnePassAndStopDisabled) {
    EXPECT_TRUE(page.IsChecked(kUpperCheck));
    EXPECT_TRUE(page.IsChecked(kLowerCheck));
    EXPECT_TRUE(page.IsChecked(kDigitsCheck));
    EXPECT_FALSE(page.IsChecked(kSymbolsCheck));
    EXPECT_TRUE(page.IsChecked(kOnePassRadio));
    EXPECT_FALSE(page.IsChecked(kSevenPassRadio));
    EXPECT_FALSE(page.IsChecked(kThirtyFivePassRadio));
    EXPECT_TRUE(WipeIdle());

    EXPECT_EQ(Line(kLengthEdit)->maxLength(), 4);
    EXPECT_TRUE(QtItemAs<QPushButton>(page, kGenerateButton)->isDefault());
    ASSERT_EQ(List()->ColumnCount(), 2);
    EXPECT_EQ(ColumnHeader(*List(), 0), QStringLiteral("文件路径"));
    EXPECT_EQ(ColumnHeader(*List(), 1), QStringLiteral("状态"));
    EXPECT_EQ(List()->ColumnWidth(0), 180);
    EXPECT_EQ(List()->ColumnWidth(1), 90);
    EXPECT_EQ(QtHost(page)->palette().color(QPalette::Window), QColor(Qt::white));
}

// A full field is one line of a million characters without a break; the
// window handles it in moments, not minutes.
TEST_F(ToolsPageTest, Base64FieldHoldsAFullMebiCharacterLineQuickly) {
    QElapsedTimer timer;
    timer.start();
    page.SetItemText(kBase64Edit, FromQt(QString(786432, QLatin1Char('a'))));
    Click(kEncodeButton);
    const QString encoded = ToQt(page.ItemText(kBase64Edit));
    EXPECT_EQ(encoded.size(), 1048576);
    EXPECT_TRUE(encoded.startsWith("YWFh"));
    ServeEvents(20);
    Click(kDecodeButton);
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), QString(786432, QLatin1Char('a')));
    EXPECT_LT(timer.elapsed(), 30000);

    Multi(kBase64Edit)->setPlainText(QString(1048576 + 10, QLatin1Char('A')));
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)).size(), 1048576);
}

// Nothing overlaps but the group boxes around their controls; every control
// lies in one group box inside the page, and every text fits its control.
TEST_F(ToolsPageTest, LayoutKeepsControlsApartInsideTheirGroupsWithTextsThatFit) {
    const QRect pageRect(QPoint(0, 0), QtHost(page)->size());
    std::vector<QWidget*> boxes;
    std::vector<QWidget*> controls;
    for (QWidget* child : QtHost(page)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QGroupBox*>(child))
            boxes.push_back(child);
        else
            controls.push_back(child);
    }
    ASSERT_EQ(boxes.size(), 3u);
    for (QWidget* box : boxes) EXPECT_TRUE(pageRect.contains(box->geometry()));
    for (std::size_t a = 0; a < boxes.size(); ++a)
        for (std::size_t b = a + 1; b < boxes.size(); ++b)
            EXPECT_FALSE(boxes[a]->geometry().intersects(boxes[b]->geometry()));

    for (QWidget* control : controls) {
        const QString name = Describe(control);
        int holders = 0;
        for (QWidget* box : boxes) holders += box->geometry().contains(control->geometry());
        EXPECT_EQ(holders, 1) << name.toStdString();
        for (QWidget* other : controls) {
            if (other == control) continue;
            EXPECT_FALSE(control->geometry().intersects(other->geometry()))
                << name.toStdString() << " / " << Describe(other).toStdString();
        }
        if (const auto* button = qobject_cast<QPushButton*>(control)) {
            // Push buttons ask for a minimum width beyond their text.
            const int textWidth = button->fontMetrics().horizontalAdvance(button->text());
            EXPECT_LE(textWidth + 8, button->width()) << name.toStdString();
        } else if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLabel*>(control)) {
            EXPECT_LE(control->sizeHint().width(), control->width()) << name.toStdString();
        }
        if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLabel*>(control)) {
            EXPECT_LE(control->fontMetrics().height(), control->height()) << name.toStdString();
        }
    }
}

// ---------------------------------------------------------------------------
// Password generator

TEST_F(ToolsPageTest, GenerateWithNoClassTickedChangesNothing) {
    for (int id : {kUpperCheck, kLowerCheck, kDigitsCheck, kSymbolsCheck})
        page.SetChecked(id, false);
    Line(kLengthEdit)->setText("12");
    page.SetItemText(kPasswordEdit, u"keep");
    Click(kGenerateButton);
    EXPECT_EQ(ToQt(page.ItemText(kPasswordEdit)), "keep");
    EXPECT_EQ(ToQt(page.ItemText(kLengthEdit)), "12");
}

TEST_F(ToolsPageTest, GenerateWithUnusableLengthFocusesLengthAndKeepsOutput) {
    // Typed text is digits only, but pasted text is not checked that way.
    for (const char* length : {"", "0", "-5", "x7"}) {
        SCOPED_TRACE(length);
        Line(kLengthEdit)->setText(length);
        page.SetItemText(kPasswordEdit, u"keep");
        page.FocusItem(kBase64Edit);
        Click(kGenerateButton);
        EXPECT_EQ(ToQt(page.ItemText(kPasswordEdit)), "keep");
        EXPECT_EQ(Focused(), QtItem(page, kLengthEdit));
    }
}

TEST_F(ToolsPageTest, GenerateFillsTheOutputWithTheRequestedLength) {
    Line(kLengthEdit)->setText("9999");
    Click(kGenerateButton);
    const QString password = ToQt(page.ItemText(kPasswordEdit));
    EXPECT_EQ(password.size(), 9999);
    EXPECT_EQ(Focused(), QtItem(page, kPasswordEdit));
    for (QChar c : password)
        ASSERT_TRUE(c.isLetterOrNumber() && c.unicode() < 128) << int(c.unicode());

    for (int id : {kUpperCheck, kLowerCheck}) page.SetChecked(id, false);
    Line(kLengthEdit)->setText("1");
    Click(kGenerateButton);
    const QString digit = ToQt(page.ItemText(kPasswordEdit));
    ASSERT_EQ(digit.size(), 1);
    EXPECT_TRUE(digit[0].isDigit());
}

// Each box alone draws only from its own class: the boxes are wired to the
// classes they name.
TEST_F(ToolsPageTest, EachClassBoxAloneGivesOnlyItsCharacters) {
    const struct {
        int box;
        QString characters;
    } classes[] = {
        {kUpperCheck, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {kLowerCheck, "abcdefghijklmnopqrstuvwxyz"},
        {kDigitsCheck, "0123456789"},
        {kSymbolsCheck, "!\"#$%&?"},
    };
    Line(kLengthEdit)->setText("500");
    for (const auto& only : classes) {
        SCOPED_TRACE(only.box);
        for (const auto& other : classes) page.SetChecked(other.box, other.box == only.box);
        Click(kGenerateButton);
        const QString password = ToQt(page.ItemText(kPasswordEdit));
        ASSERT_EQ(password.size(), 500);
        for (QChar c : password) ASSERT_TRUE(only.characters.contains(c)) << int(c.unicode());
    }
}

// ---------------------------------------------------------------------------
// Base64

TEST_F(ToolsPageTest, Base64ButtonsLeaveAnEmptyFieldEmpty) {
    for (int button : {kEncodeButton, kDecodeButton}) {
        page.FocusItem(kLengthEdit);
        Click(button);
        EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), QString());
        EXPECT_EQ(Focused(), QtItem(page, kBase64Edit));
    }
}

// Encoding works on the bytes of the locale's character set: under a UTF-8
// locale a Chinese character takes three bytes.
TEST_F(ToolsPageTest, ChineseTextRoundTripsThroughTheLocaleCharset) {
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    const QString text = QStringLiteral("安全工具：你好，世界 Quorvane\n第二行");
    page.SetItemText(kBase64Edit, FromQt(text));
    Click(kEncodeButton);
    const QString encoded = ToQt(page.ItemText(kBase64Edit));
    EXPECT_EQ(encoded, QString::fromLatin1(text.toUtf8().toBase64()));
    Click(kDecodeButton);
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), text);
    std::setlocale(LC_CTYPE, saved.c_str());
}

// The field's limit holds back what the user types, never the result of a
// button: an encoding longer than the limit is shown whole, and a key pressed
// in a full field is refused instead of pushing the field's end out.
TEST_F(ToolsPageTest, ResultsLongerThanTheLimitStayWholeAndTypingIntoAFullFieldIsRefused) {
    const QString text(786433, QLatin1Char('a'));
    page.SetItemText(kBase64Edit, FromQt(text));
    Click(kEncodeButton);
    const QString encoded = ToQt(page.ItemText(kBase64Edit));
    EXPECT_EQ(encoded.size(), 1048580);
    EXPECT_TRUE(encoded.endsWith(QStringLiteral("YQ==")));
    Click(kDecodeButton);
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), text);

    const QString full = QString(1048575, QLatin1Char('b')) + QLatin1Char('Z');
    Multi(kBase64Edit)->setPlainText(full);
    Multi(kBase64Edit)->moveCursor(QTextCursor::Start);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("X"));
    QCoreApplication::sendEvent(Multi(kBase64Edit), &key);
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), full);
}

// Enter presses the default button "生成" from the length field and from the
// password field, which has no want-return style; the Base64 field wants
// Return and breaks its line.
TEST_F(ToolsPageTest, EnterGeneratesAndBreaksOnlyWantReturnLines) {
    const auto press = [](QWidget* target, int key) {
        target->setFocus();
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    };
    Line(kLengthEdit)->setText(QStringLiteral("12"));
    press(Line(kLengthEdit), Qt::Key_Return);
    const QString first = ToQt(page.ItemText(kPasswordEdit));
    EXPECT_EQ(first.size(), 12);

    press(Multi(kPasswordEdit), Qt::Key_Enter);
    const QString second = ToQt(page.ItemText(kPasswordEdit));
    EXPECT_EQ(second.size(), 12);
    EXPECT_NE(second, first) << "Enter in the output field generates again";

    press(Multi(kBase64Edit), Qt::Key_Return);
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), QStringLiteral("\n"));
}

TEST_F(ToolsPageTest, EncodingAndDecodingCanBeUndone) {
    const auto undo = [this] {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::sendEvent(Multi(kBase64Edit), &event);
    };
    page.SetItemText(kBase64Edit, u"Hello");
    Click(kEncodeButton);
    ASSERT_EQ(ToQt(page.ItemText(kBase64Edit)), QStringLiteral("SGVsbG8="));
    Click(kDecodeButton);
    ASSERT_EQ(ToQt(page.ItemText(kBase64Edit)), QStringLiteral("Hello"));
    undo();
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), QStringLiteral("SGVsbG8="));
    undo();
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), QStringLiteral("Hello"));
}

TEST_F(ToolsPageTest, DecodeReadsWrappedTextAndKeepsTheBytesOfAnUnpaddedGroup) {
    page.SetItemText(kBase64Edit, u"SGVsbG8s\r\nIHdv\ncmxk\tIQ==\n");
    Click(kDecodeButton);
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), "Hello, world!");

    page.SetItemText(kBase64Edit, u"QUJ");
    Click(kDecodeButton);
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), QStringLiteral("AB"));
    page.SetItemText(kBase64Edit, u"Q");
    Click(kDecodeButton);
    EXPECT_EQ(ToQt(page.ItemText(kBase64Edit)), QString());
}

// ---------------------------------------------------------------------------
// Wipe list: rows

TEST_F(ToolsPageTest, RemoveDeletesExactlyTheSelectedRows) {
    for (int i = 0; i < 5; ++i)
        page.InsertWipeRow(i, FromQt(QStringLiteral("/f%1").arg(i)), FromQt(kAdded));
    Click(kRemoveButton);  // nothing selected
    EXPECT_EQ(List()->Count(), 5);

    SelectListRow(*List(), 1, false);
    SelectListRow(*List(), 3, true);
    Click(kRemoveButton);
    EXPECT_EQ(Column(0), QStringList({"/f0", "/f2", "/f4"}));

    Click(kClearButton);
    EXPECT_EQ(List()->Count(), 0);
}

TEST_F(ToolsPageTest, DroppedRowsGoFirstAndAddedRowsLast) {
    ScriptedFileDialogs dialogs;
    dialogs.selections.push_back({"/data", {"a", "b", "c"}});
    dialogs.selections.push_back({"/", {"x", "y"}});
    dialogs.selections.push_back({"", {"/data/one"}});
    Click(kAddButton);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_TRUE(dialogs.requests[0].multiple);
    EXPECT_EQ(dialogs.requests[0].filterName, QStringLiteral("所有文件(*.*)"));

    // What the main window does with a drop of two files.
    page.InsertWipeRow(0, u"/drop/1", FromQt(kDropped));
    page.InsertWipeRow(1, u"/drop/2", FromQt(kDropped));
    Click(kAddButton);
    Click(kAddButton);
    Click(kAddButton);  // cancelled: nothing added

    EXPECT_EQ(Column(0), QStringList({"/drop/1", "/drop/2", "/data/a", "/data/b", "/data/c", "/x",
                                      "/y", "/data/one"}));
    EXPECT_EQ(Column(1),
              QStringList({kDropped, kDropped, kAdded, kAdded, kAdded, kAdded, kAdded, kAdded}));
}

// Paths are kept whole, however long, and any number of rows is wiped.
TEST_F(ToolsPageTest, LongPathsAndManyRowsAreWipedWhole) {
    TempDir dir;
    fs::path deep = dir.path();
    for (int level = 0; level < 4; ++level) deep /= std::string(150, char('a' + level));
    fs::create_directories(deep);
    const fs::path longFile = deep / "file";
    WriteFile(longFile, {1, 2, 3});
    ASSERT_GT(Q(longFile).size(), 600);
    AddRows({longFile});
    for (int i = 0; i < 4100; ++i)
        page.InsertWipeRow(List()->Count(), u"/nonexistent/x", FromQt(kAdded));
    EXPECT_EQ(ToQt(List()->Text(0, 0)), Q(longFile));

    EraseAndWait();
    EXPECT_FALSE(fs::exists(longFile));
    EXPECT_EQ(ToQt(List()->Text(0, 1)), QStringLiteral("已擦除"));
    EXPECT_EQ(ToQt(List()->Text(4100, 1)), QStringLiteral("擦除失败"));
}

// ---------------------------------------------------------------------------
// Wipe list: runs

TEST_F(ToolsPageTest, EraseWithAnEmptyListOnlyTellsSo) {
    ScriptedMessageBoxes boxes;
    Click(kEraseButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("没有添加文件到列表"));
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(QtItem(page, kStopButton)->isEnabled());
    EXPECT_TRUE(WipeIdle());
}

TEST_F(ToolsPageTest, NoToTheWarningLeavesListAndFilesAlone) {
    TempDir dir;
    const auto content = PatternBytes(5000);
    WriteFile(dir / "a", content);
    WriteFile(dir / "b", content);
    AddRows({dir / "a", dir / "b"});

    ScriptedMessageBoxes boxes;
    boxes.answers.push_back(MessageAnswer::No);
    Click(kEraseButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("列表中的文件将会永远丢失！"));
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
    ServeEvents(50);
    EXPECT_FALSE(QtItem(page, kStopButton)->isEnabled());
    EXPECT_TRUE(WipeIdle());
    EXPECT_EQ(Column(1), QStringList({kAdded, kAdded}));
    EXPECT_EQ(ReadFile(dir / "a"), content);
    EXPECT_EQ(ReadFile(dir / "b"), content);
}

// A folder is no file to wipe: its row fails and the run goes on.
TEST_F(ToolsPageTest, AFailedFileDoesNotStopTheRun) {
    TempDir dir;
    WriteFile(dir / "first", PatternBytes(3000));
    fs::create_directory(dir / "folder");
    WriteFile(dir / "folder" / "inside", {7});
    WriteFile(dir / "third", PatternBytes(10));
    AddRows({dir / "first", dir / "folder", dir / "third"});

    EraseAndWait();
    EXPECT_EQ(Column(1), QStringList({"已擦除", "擦除失败", "已擦除"}));
    EXPECT_FALSE(fs::exists(dir / "first"));
    EXPECT_TRUE(fs::exists(dir / "folder" / "inside"));
    EXPECT_FALSE(fs::exists(dir / "third"));
    EXPECT_TRUE(WipeIdle());
    EXPECT_EQ(List()->Count(), 3);
}

// A failed row keeps its short status and tells why in its tooltip; wiped
// again with success, it has none.
TEST_F(ToolsPageTest, AFailedRowTellsWhyInItsTooltip) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    AddRows({dir / "folder", dir / "later"});
    EraseAndWait();
    EXPECT_EQ(Column(1), QStringList({"擦除失败", "擦除失败"}));
    EXPECT_TRUE(StatusTip(0).startsWith(QStringLiteral("不是普通文件")))
        << StatusTip(0).toStdString();
    EXPECT_EQ(StatusTip(1),
              QStringLiteral("无法打开文件：") + QString::fromLocal8Bit(std::strerror(ENOENT)));

    WriteFile(dir / "later", {1});
    EraseAndWait();
    EXPECT_EQ(Column(1), QStringList({"擦除失败", "已擦除"}));
    EXPECT_EQ(StatusTip(1), QString());
}

// Every status a row goes through, in order: the MiB count of each pass from
// 0 (the 3 MiB file has a fourth, empty block), seven times, then the outcome.
TEST_F(ToolsPageTest, ProgressCountsTheMebibytesOfEveryPass) {
    TempDir dir;
    WriteFile(dir / "big", PatternBytes(3 * 1024 * 1024));
    AddRows({dir / "big"});
    page.SetChecked(kSevenPassRadio, true);

    QStringList seen;
    QObject::connect(QtTable(*List()), &QTableWidget::itemChanged, QtHost(page),
                     [&](QTableWidgetItem* item) {
                         if (item->column() == 1) seen << item->text();
                     });
    ScriptedMessageBoxes boxes;
    Click(kEraseButton);
    EXPECT_FALSE(WipeIdle());
    EXPECT_TRUE(QtItem(page, kStopButton)->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return !QtItem(page, kStopButton)->isEnabled(); }));

    QStringList expected;
    for (int pass = 0; pass < 7; ++pass)
        for (int block = 0; block <= 3; ++block)
            expected << QStringLiteral("擦除 %1 MB..").arg(block);
    expected << QStringLiteral("已擦除");
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(fs::exists(dir / "big"));
    EXPECT_TRUE(WipeIdle());
}

// Stop ends the run within a block: the row being wiped shows "已取消", its
// file stays, later rows and files are untouched, and nothing of the run
// arrives afterwards. A row dropped in above during the run takes nothing of
// the statuses meant for the others.
TEST_F(ToolsPageTest, StopCancelsTheCurrentRowAndTouchesNothingAfter) {
    TempDir dir;
    WriteFile(dir / "large", std::vector<uint8_t>(64 * 1024 * 1024, 0x5A));
    const auto later = PatternBytes(2000);
    WriteFile(dir / "later", later);
    AddRows({dir / "large", dir / "later"});
    page.SetChecked(kThirtyFivePassRadio, true);

    ScriptedMessageBoxes boxes;
    Click(kEraseButton);
    ASSERT_TRUE(
        WaitUntil([&] { return ToQt(List()->Text(0, 1)).startsWith(QStringLiteral("擦除 ")); }));
    page.InsertWipeRow(0, u"/dropped/meanwhile", FromQt(kDropped));
    Click(kStopButton);

    EXPECT_FALSE(QtItem(page, kStopButton)->isEnabled());
    EXPECT_TRUE(WipeIdle());
    const QStringList statuses = {kDropped, QStringLiteral("已取消"), kAdded};
    EXPECT_EQ(Column(1), statuses);
    ServeEvents(300);
    EXPECT_EQ(Column(1), statuses);
    JoinAbandonedJobs();
    EXPECT_TRUE(fs::exists(dir / "large"));
    EXPECT_EQ(fs::file_size(dir / "large"), 64u * 1024 * 1024);
    EXPECT_EQ(ReadFile(dir / "later"), later);
}

TEST_F(ToolsPageTest, ErasingRowsWhoseFilesAreGoneFails) {
    TempDir dir;
    WriteFile(dir / "a", {1});
    WriteFile(dir / "b", PatternBytes(100));
    AddRows({dir / "a", dir / "b"});
    EraseAndWait();
    EXPECT_EQ(Column(1), QStringList({"已擦除", "已擦除"}));

    EraseAndWait();
    EXPECT_EQ(Column(1), QStringList({"擦除失败", "擦除失败"}));
    EXPECT_TRUE(WipeIdle());
}

}  // namespace
