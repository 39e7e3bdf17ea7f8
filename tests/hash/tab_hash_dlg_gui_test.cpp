// The hash page: starting runs from the button and from drops, the exact
// result text, progress per chunk, stopping, and runs that cannot start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <string>

#include "app/quorvane_dlg.h"
#include "hash/tab_hash_dlg.h"
#include "hash/tab_hash_template.h"
#include "support/gui_support.h"
#include "support/test_files.h"

using namespace testing_support;

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

using namespace hash_page_ids;

// The result text as built, with CR LF line ends: the edit shows it with
// plain line breaks.
QString ResultText(const CTabHashDlg& page) {
    return ToQt(page.ItemText(kResultEdit)).replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}
constexpr int kBoxes[] = {kMd5Check, kSha1Check, kSha256Check, kSha512Check, kKeccakCheck};
constexpr uint64_t kMiB = 1 << 20;

QString Text(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// A file of `size` zero bytes without writing them.
std::filesystem::path MakeSparse(const std::filesystem::path& path, uint64_t size) {
    WriteFile(path, {});
    std::filesystem::resize_file(path, size);
    return path;
}

// The digest as coreutils prints it, in capitals.
QString CoreutilsDigest(const char* tool, const std::filesystem::path& path) {
    const RunResult run = RunProgram({std::string("/usr/bin/") + tool, path.string()});
    EXPECT_EQ(run.exit_code, 0) << tool;
    return QString::fromStdString(run.out.substr(0, run.out.find(' '))).toUpper();
}

// Ticks exactly the boxes given.
void Tick(CTabHashDlg& page, std::initializer_list<int> ticked) {
    for (int id : kBoxes) QtItemAs<QCheckBox>(page, id)->setChecked(false);
    for (int id : ticked) QtItemAs<QCheckBox>(page, id)->setChecked(true);
}

// Every value the progress bar takes, in order.
struct ProgressLog {
    explicit ProgressLog(QProgressBar* bar) {
        QObject::connect(bar, &QProgressBar::valueChanged, bar,
                         [this](int value) { values.push_back(value); });
    }
    std::vector<int> values;
};

void ExpectIdle(const CTabHashDlg& page) {
    for (int id : kBoxes) EXPECT_TRUE(QtItem(page, id)->isEnabled()) << id;
    EXPECT_TRUE(QtItem(page, kOpenButton)->isEnabled());
    EXPECT_FALSE(QtItem(page, kStopButton)->isEnabled());
    EXPECT_EQ(QtItemAs<QProgressBar>(page, kProgressBar)->value(), 0);
    EXPECT_FALSE(page.Running());
}

void ExpectRunning(const CTabHashDlg& page) {
    for (int id : kBoxes) EXPECT_FALSE(QtItem(page, id)->isEnabled()) << id;
    EXPECT_FALSE(QtItem(page, kOpenButton)->isEnabled());
    EXPECT_TRUE(QtItem(page, kStopButton)->isEnabled());
}

class HashPageTest : public ::testing::Test {
  protected:
    void SetUp() override { page.Create(nullptr); }

    // Presses "打开..." and answers the dialog with `path`; waits for the run.
    void HashThroughDialog(const std::filesystem::path& path) {
        dialogs.selections.push_back(Selection{{}, {Text(path)}});
        QtItemAs<QPushButton>(page, kOpenButton)->click();
        ASSERT_TRUE(WaitUntil([&] { return !page.Running(); }));
    }

    void StartThroughDialog(const std::filesystem::path& path) {
        dialogs.selections.push_back(Selection{{}, {Text(path)}});
        QtItemAs<QPushButton>(page, kOpenButton)->click();
        ASSERT_TRUE(page.Running());
    }

    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    TempDir dir;
    CTabHashDlg page;
};

TEST_F(HashPageTest, StartsIdleWithAllFiveTickedAndPaintsWhiteButTheResultEdit) {
    for (int id : kBoxes) EXPECT_TRUE(page.IsChecked(id)) << id;
    ExpectIdle(page);
    EXPECT_EQ(QtItemAs<QProgressBar>(page, kProgressBar)->minimum(), 0);
    EXPECT_EQ(QtItemAs<QProgressBar>(page, kProgressBar)->maximum(), 100);
    EXPECT_EQ(ToQt(page.ItemText(kStatusText)), QStringLiteral("就绪."));
    EXPECT_TRUE(ToQt(page.ItemText(kResultEdit)).isEmpty());
    EXPECT_EQ(page.m_pendingDrop, 0);

    EXPECT_EQ(QtHost(page)->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(QtItem(page, kMd5Check)->palette().color(QPalette::Window), QColor(Qt::white));
    QWidget* edit = QtItem(page, kResultEdit);
    EXPECT_EQ(edit->palette().color(QPalette::Base),
              QApplication::palette(edit).color(QPalette::Base));
    EXPECT_FALSE(QtItemAs<QPlainTextEdit>(page, kResultEdit)->isReadOnly());
}

// Like the pages with file lists, the dialog opens where the user was last.
TEST_F(HashPageTest, TheFileDialogStartsInTheFolderOfTheFileHashedLast) {
    const auto folder = dir / "last";
    std::filesystem::create_directory(folder);
    WriteFile(folder / "a.txt", {'a'});
    HashThroughDialog(folder / "a.txt");
    HashThroughDialog(folder / "a.txt");
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].startFolder, QDir::homePath());
    EXPECT_EQ(dialogs.requests[1].startFolder, Text(folder));
}

TEST_F(HashPageTest, UnopenableFileGivesOneFailureSectionPerAlgorithmInTableOrder) {
    const auto missing = dir / "missing.bin";
    ProgressLog progress(QtItemAs<QProgressBar>(page, kProgressBar));
    HashThroughDialog(missing);

    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].owner, &page);
    EXPECT_EQ(dialogs.requests[0].filterName, QStringLiteral("所有文件(*.*)"));
    EXPECT_FALSE(dialogs.requests[0].multiple);
    EXPECT_EQ(ResultText(page), QStringLiteral("文件路径: ") + Text(missing) +
                                    "\r\n\r\nMD5:\r\n打开文件失败"
                                    "\r\n\r\nSHA-1:\r\n打开文件失败"
                                    "\r\n\r\nSHA256:\r\n打开文件失败"
                                    "\r\n\r\nSHA512:\r\n打开文件失败"
                                    "\r\n\r\nKeccak:\r\n打开文件失败");
    EXPECT_TRUE(progress.values.empty());
    EXPECT_EQ(ToQt(page.ItemText(kStatusText)), QStringLiteral("就绪"));
    ExpectIdle(page);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(HashPageTest, OnlySha512GivesThePathLineAnEmptyLineAndTheDigest) {
    const auto file = dir / "data.bin";
    WriteFile(file, PatternBytes(kMiB + 60, 7));
    Tick(page, {kSha512Check});
    HashThroughDialog(file);

    const QString digest = CoreutilsDigest("sha512sum", file);
    ASSERT_EQ(digest.size(), 128);
    EXPECT_EQ(ResultText(page), "文件路径: " + Text(file) + "\r\n\r\nSHA512:\r\n" + digest);
    // The edit shows the same text line by line, so that is what a user copies.
    EXPECT_EQ(ToQt(page.ItemText(kResultEdit)),
              "文件路径: " + Text(file) + "\n\nSHA512:\n" + digest);
}

TEST_F(HashPageTest, DigestsMatchCoreutilsForAFileOfOddLength) {
    const auto file = dir / "odd.bin";
    WriteFile(file, PatternBytes(kMiB * 2 + 63, 3));
    Tick(page, {kMd5Check, kSha1Check, kSha256Check});
    HashThroughDialog(file);
    EXPECT_EQ(ResultText(page), "文件路径: " + Text(file) + "\r\n\r\nMD5:\r\n" +
                                    CoreutilsDigest("md5sum", file) + "\r\n\r\nSHA-1:\r\n" +
                                    CoreutilsDigest("sha1sum", file) + "\r\n\r\nSHA256:\r\n" +
                                    CoreutilsDigest("sha256sum", file));
}

TEST_F(HashPageTest, EmptyFileGivesTheEmptyMessageDigests) {
    const auto file = dir / "empty";
    WriteFile(file, {});
    HashThroughDialog(file);
    EXPECT_EQ(
        ResultText(page),
        "文件路径: " + Text(file) +
            "\r\n\r\nMD5:\r\nD41D8CD98F00B204E9800998ECF8427E"
            "\r\n\r\nSHA-1:\r\nDA39A3EE5E6B4B0D3255BFEF95601890AFD80709"
            "\r\n\r\nSHA256:\r\nE3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855"
            "\r\n\r\nSHA512:\r\nCF83E1357EEFB8BDF1542850D66D8007D620E4050B5715DC83F4A921D36CE9CE"
            "47D0D13C5D85F2B0FF8318D2877EEC2F63B931BD47417A81A538327AF927DA3E"
            "\r\n\r\nKeccak:\r\nAAD7F242B4DE8C8199FE1A3BEB1EF27DA1285BDD84B0EC41F5D0DF8AEDEC3BCE"
            "D14213505C465C8A99CFF3935A395326AA9C9C79F57F89A2BDB3922676C3336E");
}

TEST_F(HashPageTest, CancelledDialogOrNoBoxTickedChangesNothing) {
    const auto file = dir / "a";
    WriteFile(file, {1, 2, 3});
    HashThroughDialog(file);
    const QString before = ResultText(page);

    QtItemAs<QPushButton>(page, kOpenButton)->click();  // no selection queued: cancelled
    EXPECT_FALSE(page.Running());
    EXPECT_EQ(dialogs.requests.size(), 2u);

    Tick(page, {});
    QtItemAs<QPushButton>(page, kOpenButton)->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("没有选择算法"));
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(boxes.shown[0].owner, &page);
    EXPECT_EQ(dialogs.requests.size(), 2u);  // no dialog after the message
    ServeEvents(50);
    EXPECT_FALSE(page.Running());
    EXPECT_EQ(ResultText(page), before);
    EXPECT_EQ(ToQt(page.ItemText(kStatusText)), QStringLiteral("就绪"));
    ExpectIdle(page);
}

TEST_F(HashPageTest, ProgressClimbsOncePerChunkAndPassThenReturnsToZero) {
    struct Case {
        uint64_t size;
        std::initializer_list<int> ticked;
        std::vector<int> values;
    };
    const Case cases[] = {
        {kMiB, {kSha256Check}, {50, 100, 0}},
        {kMiB * 5 / 2, {kSha256Check}, {33, 66, 100, 0}},
        {kMiB, {kMd5Check, kSha1Check}, {50, 100, 50, 100, 0}},
        {10, {kSha1Check}, {100, 0}},
    };
    for (const Case& c : cases) {
        const auto file = MakeSparse(dir / "sized.bin", c.size);
        Tick(page, c.ticked);
        ProgressLog progress(QtItemAs<QProgressBar>(page, kProgressBar));
        HashThroughDialog(file);
        EXPECT_EQ(progress.values, c.values) << c.size;
        QtItemAs<QProgressBar>(page, kProgressBar)->disconnect();
    }
}

TEST_F(HashPageTest, StopKeepsThePreviousResultAndNothingOfTheRunArrivesLater) {
    const auto small = dir / "small";
    WriteFile(small, {'a', 'b', 'c'});
    HashThroughDialog(small);
    const QString previous = ResultText(page);
    const QString shown = ToQt(page.ItemText(kResultEdit));

    const auto large = MakeSparse(dir / "large.bin", 256 * kMiB);
    StartThroughDialog(large);
    ExpectRunning(page);
    ASSERT_TRUE(WaitUntil([&] { return QtItemAs<QProgressBar>(page, kProgressBar)->value() > 0; }));
    QtItemAs<QPushButton>(page, kStopButton)->click();

    EXPECT_EQ(ToQt(page.ItemText(kStatusText)), QStringLiteral("已取消"));
    ExpectIdle(page);
    EXPECT_EQ(ResultText(page), previous);
    EXPECT_EQ(ToQt(page.ItemText(kResultEdit)), shown);
    ServeEvents(300);
    EXPECT_EQ(ToQt(page.ItemText(kStatusText)), QStringLiteral("已取消"));
    EXPECT_EQ(QtItemAs<QProgressBar>(page, kProgressBar)->value(), 0);
    EXPECT_EQ(ResultText(page), previous);
    EXPECT_EQ(ToQt(page.ItemText(kResultEdit)), shown);
    ExpectIdle(page);

    // The page runs again after a stop.
    HashThroughDialog(small);
    EXPECT_EQ(ResultText(page), previous);
    EXPECT_EQ(ToQt(page.ItemText(kStatusText)), QStringLiteral("就绪"));
}

class HashPageDropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.Create(nullptr);
        TabBarOf(window)->setCurrentIndex(1);
        ASSERT_EQ(window.CurrentPage(), 1);
    }
    CTabHashDlg& page() { return *window.HashPage(); }

    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    TempDir dir;
    CQuorvaneDlg window;
};

TEST_F(HashPageDropTest, SeveralDroppedFilesHashOnlyTheFirstWithoutADialog) {
    const auto first = dir / "first", second = dir / "second";
    WriteFile(first, PatternBytes(100, 1));
    WriteFile(second, PatternBytes(200, 2));
    Tick(page(), {kSha256Check});
    window.OnDropFiles(FromQt(QStringList{Text(first), Text(second)}));
    ASSERT_TRUE(WaitUntil([&] { return !page().Running(); }));
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_EQ(page().m_pendingDrop, 0);
    EXPECT_EQ(ResultText(page()), "文件路径: " + Text(first) + "\r\n\r\nSHA256:\r\n" +
                                      CoreutilsDigest("sha256sum", first));
    ServeEvents(50);
    EXPECT_FALSE(page().Running());
}

TEST_F(HashPageDropTest, DropWithNoBoxTickedStaysPendingForTheNextOpen) {
    const auto file = dir / "dropped";
    WriteFile(file, PatternBytes(5000, 4));
    Tick(page(), {});
    window.OnDropFiles(FromQt(QStringList{Text(file)}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("没有选择算法"));
    EXPECT_EQ(page().m_pendingDrop, 1);
    EXPECT_FALSE(page().Running());

    Tick(page(), {kMd5Check});
    QtItemAs<QPushButton>(page(), kOpenButton)->click();
    ASSERT_TRUE(WaitUntil([&] { return !page().Running(); }));
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_EQ(page().m_pendingDrop, 0);
    EXPECT_EQ(ResultText(page()),
              "文件路径: " + Text(file) + "\r\n\r\nMD5:\r\n" + CoreutilsDigest("md5sum", file));

    // Used once: the next press asks for a file again.
    QtItemAs<QPushButton>(page(), kOpenButton)->click();
    EXPECT_EQ(dialogs.requests.size(), 1u);
}

TEST_F(HashPageDropTest, DropDuringARunStartsNothing) {
    const auto large = MakeSparse(dir / "large.bin", 256 * kMiB);
    const auto other = dir / "other";
    WriteFile(other, {1});
    Tick(page(), {kSha1Check});
    ProgressLog progress(QtItemAs<QProgressBar>(page(), kProgressBar));
    window.OnDropFiles(FromQt(QStringList{Text(large)}));
    ASSERT_TRUE(page().Running());
    window.OnDropFiles(FromQt(QStringList{Text(other)}));
    EXPECT_TRUE(page().Running());
    EXPECT_EQ(page().m_pendingDrop, 0);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(dialogs.requests.empty());
    ExpectRunning(page());

    ASSERT_TRUE(WaitUntil([&] { return !page().Running(); }, 120000));
    ServeEvents(100);
    EXPECT_FALSE(page().Running());
    EXPECT_EQ(std::count(progress.values.begin(), progress.values.end(), 100), 1);
    EXPECT_EQ(ResultText(page()), "文件路径: " + Text(large) + "\r\n\r\nSHA-1:\r\n" +
                                      CoreutilsDigest("sha1sum", large));
    // The ignored drop is not hashed later either: "打开..." asks for a file.
    QtItemAs<QPushButton>(page(), kOpenButton)->click();
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_FALSE(page().Running());
}

}  // namespace
