// The encryption page driven through its real widgets: list handling, the
// messages and focus, output naming, real runs with both ciphers, the erase
// option, stopping, and rows inserted while a run goes on.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "app/quorvane_dlg.h"
#include "encrypt/container_padding.h"
#include "encrypt/tab_aes256_dlg.h"
#include "encrypt/tab_aes256_template.h"
#include "platform/desktop/command_line.h"
#include "platform/desktop/file_manager.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view.h"
#include "support/gui_support.h"
#include "support/test_files.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

using namespace encryption_page_ids;
constexpr int kMiB = 1 << 20;

// "f<i>", built by appending (g++ 12 warns falsely on "f" + std::string).
std::string NumberedName(std::size_t i) {
    std::string name = "f";
    name += std::to_string(i);
    return name;
}

const QString kReady = QStringLiteral("就绪");
const QString kEncrypted = QStringLiteral("加密完成");
const QString kDecrypted = QStringLiteral("解密完成");

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

/// Files in a folder, by name.
std::set<std::string> NamesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void MakeSparseFile(const fs::path& path, uintmax_t size) {
    WriteFile(path, {});
    fs::resize_file(path, size);
}

class RecordingFileManager : public FileManagerService {
  public:
    RecordingFileManager() { SetFileManagerService(this); }
    ~RecordingFileManager() override { SetFileManagerService(nullptr); }
    bool ShowFile(const std::u16string& path) override {
        shown << ToQt(path);
        return true;
    }
    QStringList shown;
};

class EncryptionPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host.resize(900, 560);
        CreateInside(page, &host);
        QtHost(page)->setGeometry(0, 0, 880, 540);
        QtHost(page)->show();
        host.show();
    }

    void Click(int id) { QtItemAs<QAbstractButton>(page, id)->click(); }
    void SetKey(const QString& key) { QtItemAs<QLineEdit>(page, kKeyEdit)->setText(key); }
    ListView* List() { return page.FileList(); }
    QString Status(int row) { return ToQt(List()->Text(row, 2)); }
    QString StatusTip(int row) { return CellToolTip(*List(), row, 2); }
    QString PathAt(int row) { return ToQt(List()->Text(row, 0)); }

    fs::path MakeFile(const std::string& name, std::size_t size, uint32_t seed = 7) {
        const fs::path path = dir / name;
        WriteFile(path, PatternBytes(size, seed));
        return path;
    }
    void AddRow(const fs::path& path) {
        page.InsertFileRow(List()->Count(), FromQt(Q(path)), SizeTextOf(FromQt(Q(path))),
                           FromQt(kReady));
    }
    /// Presses the action button and waits until the run has ended.
    void RunToEnd() {
        Click(kActionButton);
        ASSERT_TRUE(WaitUntil([&] { return !page.IsRunning(); }, 120000)) << "run did not end";
        ServeEvents(20);
    }
    void RunOnRows(const std::vector<fs::path>& paths, bool decrypt, bool camellia,
                   const QString& key) {
        Click(kClearButton);
        for (const fs::path& path : paths) AddRow(path);
        if (page.IsChecked(kDecryptCheck) != decrypt) Click(kDecryptCheck);
        QtItemAs<QAbstractButton>(page, camellia ? kCamelliaRadio : kAesRadio)->click();
        SetKey(key);
        RunToEnd();
    }

    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    TempDir dir;
    QWidget host;
    CTabAES256Dlg page;  // after `host`, so it goes first
};

// --- The idle page and its list -------------------------------------------

TEST_F(EncryptionPageTest, StartsIdleWithItsColumnsAesSelectedAndAKeyLimit) {
    EXPECT_EQ(List()->ColumnCount(), 3);
    EXPECT_EQ(ColumnHeader(*List(), 0), QStringLiteral("文件路径"));
    EXPECT_EQ(ColumnHeader(*List(), 1), QStringLiteral("文件大小"));
    EXPECT_EQ(ColumnHeader(*List(), 2), QStringLiteral("状态"));
    EXPECT_EQ(List()->ColumnWidth(0), 410);
    EXPECT_EQ(List()->ColumnWidth(1), 110);
    EXPECT_EQ(List()->ColumnWidth(2), 120);
    EXPECT_EQ(List()->Count(), 0) << "no command-line file";
    EXPECT_TRUE(page.IsChecked(kAesRadio));
    EXPECT_FALSE(page.IsChecked(kCamelliaRadio));
    EXPECT_EQ(QtItemAs<QLineEdit>(page, kKeyEdit)->maxLength(), 32);
    EXPECT_EQ(QtItemAs<QLineEdit>(page, kKeyEdit)->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(QtHost(page)->palette().color(QPalette::Window), QColor(Qt::white));
    for (int id : {kAddButton, kClearButton, kLocationButton, kRemoveButton, kActionButton,
                   kEraseCheck, kDecryptCheck, kKeyEdit, kAesRadio, kCamelliaRadio})
        EXPECT_TRUE(QtItem(page, id)->isEnabled()) << id;
    EXPECT_FALSE(QtItem(page, kStopButton)->isEnabled());
}

TEST_F(EncryptionPageTest, DecryptTogglesTheEraseOptionAndTheActionText) {
    page.SetChecked(kEraseCheck, true);
    Click(kDecryptCheck);
    EXPECT_FALSE(page.IsChecked(kEraseCheck));
    EXPECT_FALSE(QtItem(page, kEraseCheck)->isEnabled());
    EXPECT_EQ(ToQt(page.ItemText(kActionButton)), QStringLiteral("解密"));
    Click(kDecryptCheck);
    EXPECT_FALSE(page.IsChecked(kEraseCheck));
    EXPECT_TRUE(QtItem(page, kEraseCheck)->isEnabled());
    EXPECT_EQ(ToQt(page.ItemText(kActionButton)), QStringLiteral("加密"));
}

TEST_F(EncryptionPageTest, EmptyListOrEmptyKeyIsReportedAndFocusesTheControlToCorrect) {
    SetKey(QStringLiteral("key"));
    Click(kActionButton);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("列表为空."));
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(QtHost(page)->focusWidget(), QtItem(page, kFileList));
    EXPECT_FALSE(page.IsRunning());

    AddRow(MakeFile("a.txt", 10));
    SetKey(QString());
    Click(kActionButton);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, QStringLiteral("请输入加密密钥."));
    EXPECT_EQ(boxes.shown[1].caption, QStringLiteral("提示"));
    EXPECT_EQ(boxes.shown[1].icon, MessageIcon::Exclamation);
    EXPECT_EQ(QtHost(page)->focusWidget(), QtItem(page, kKeyEdit));
    EXPECT_FALSE(page.IsRunning());
    EXPECT_FALSE(QtItem(page, kStopButton)->isEnabled());
    ServeEvents(50);
    EXPECT_EQ(Status(0), kReady);
    EXPECT_FALSE(fs::exists(dir / "a.txt.aes256"));

    // Keys that are empty in disguise: their key bytes are all zero.
    for (const QString& key : {QString(QChar(0x4E00)), QString(QChar(0x0100))}) {
        SetKey(key);
        Click(kActionButton);
        EXPECT_EQ(boxes.shown.back().text, QStringLiteral("请输入加密密钥.")) << key.toStdString();
        EXPECT_FALSE(page.IsRunning());
    }
    EXPECT_FALSE(fs::exists(dir / "a.txt.aes256"));
}

TEST_F(EncryptionPageTest, AddedFilesFromAFolderEndingWithASeparatorGetOneSeparator) {
    MakeFile("a.bin", 1024);
    MakeFile("b.bin", 5000);
    const QString folder = Q(dir.path()) + QLatin1Char('/');
    dialogs.selections.push_back({folder, {QStringLiteral("a.bin"), QStringLiteral("b.bin")}});
    dialogs.selections.push_back({QString(), {Q(dir / "c.missing")}});
    Click(kAddButton);
    Click(kAddButton);
    Click(kAddButton);  // cancelled: nothing added

    ASSERT_EQ(dialogs.requests.size(), 3u);
    EXPECT_EQ(dialogs.requests[0].filterName, QStringLiteral("所有文件(*.*)"));
    EXPECT_TRUE(dialogs.requests[0].multiple);
    EXPECT_EQ(dialogs.requests[0].owner, &page);
    ASSERT_EQ(List()->Count(), 3);
    EXPECT_EQ(PathAt(0), Q(dir / "a.bin"));
    EXPECT_EQ(PathAt(1), Q(dir / "b.bin"));
    EXPECT_EQ(PathAt(2), Q(dir / "c.missing"));
    EXPECT_EQ(ToQt(List()->Text(0, 1)), QStringLiteral("1 KB"));
    EXPECT_EQ(ToQt(List()->Text(1, 1)), QStringLiteral("4 KB"));
    EXPECT_EQ(ToQt(List()->Text(2, 1)), QStringLiteral("打开文件失败"));
    for (int row = 0; row < 3; ++row) EXPECT_EQ(Status(row), kReady);
}

TEST_F(EncryptionPageTest, RemoveDeletesTheSelectedRowsAndClearEmptiesTheList) {
    for (int i = 0; i < 5; ++i) AddRow(dir / NumberedName(i));
    Click(kRemoveButton);  // nothing selected
    EXPECT_EQ(List()->Count(), 5);
    SelectListRow(*List(), 1, false);
    SelectListRow(*List(), 3, true);
    Click(kRemoveButton);
    ASSERT_EQ(List()->Count(), 3);
    EXPECT_EQ(PathAt(0), Q(dir / "f0"));
    EXPECT_EQ(PathAt(1), Q(dir / "f2"));
    EXPECT_EQ(PathAt(2), Q(dir / "f4"));
    Click(kClearButton);
    EXPECT_EQ(List()->Count(), 0);
}

TEST_F(EncryptionPageTest, OpenLocationShowsTheLatestSelectedFile) {
    RecordingFileManager fileManager;
    for (int i = 0; i < 3; ++i) AddRow(dir / NumberedName(i));
    Click(kLocationButton);
    EXPECT_TRUE(fileManager.shown.isEmpty()) << "nothing selected, nothing shown";
    SelectListRow(*List(), 0, false);
    SelectListRow(*List(), 2, true);
    Click(kLocationButton);
    EXPECT_EQ(fileManager.shown, QStringList{Q(dir / "f2")});
}

TEST(EncryptionPageCommandLine, TheNamedFileIsRowZeroReadyEvenWhenUnreadable) {
    TempDir dir;
    WriteFile(dir / "named file.txt", std::vector<uint8_t>(2048, 1));
    const fs::path missing = dir / "gone.txt";
    for (const auto& [path, sizeText] : std::vector<std::pair<fs::path, QString>>{
             {dir / "named file.txt", "2 KB"}, {missing, QStringLiteral("打开文件失败")}}) {
        // Wrapped in quotes the way some launchers pass it; later arguments are ignored.
        SetCommandLineArguments(
            {(QLatin1Char('"') + Q(path) + QLatin1Char('"')).toStdU16String(), u"other"});
        QWidget host;
        auto* page = new CTabAES256Dlg;
        CreateInside(*page, &host);
        SetCommandLineArguments({});
        ASSERT_EQ(page->FileList()->Count(), 1);
        EXPECT_EQ(ToQt(page->FileList()->Text(0, 0)), Q(path));
        EXPECT_EQ(ToQt(page->FileList()->Text(0, 1)), sizeText);
        EXPECT_EQ(ToQt(page->FileList()->Text(0, 2)), kReady);
    }
}

TEST(EncryptionPageInWindow, ButtonRowsGoAfterDroppedRows) {
    TempDir dir;
    ScriptedFileDialogs dialogs;
    CQuorvaneDlg window;
    window.Create(nullptr);
    CTabAES256Dlg* page = window.EncryptionPage();
    dialogs.selections.push_back({QString(), {Q(dir / "added1")}});
    dialogs.selections.push_back({QString(), {Q(dir / "added2")}});
    QtItemAs<QAbstractButton>(*page, kAddButton)->click();
    window.OnDropFiles(FromQt(QStringList{Q(dir / "drop1"), Q(dir / "drop2")}));
    QtItemAs<QAbstractButton>(*page, kAddButton)->click();

    ListView* list = page->FileList();
    ASSERT_EQ(list->Count(), 4);
    EXPECT_EQ(ToQt(list->Text(0, 0)), Q(dir / "drop1"));
    EXPECT_EQ(ToQt(list->Text(1, 0)), Q(dir / "drop2"));
    EXPECT_EQ(ToQt(list->Text(2, 0)), Q(dir / "added1"));
    EXPECT_EQ(ToQt(list->Text(3, 0)), Q(dir / "added2"));
    EXPECT_EQ(ToQt(list->Text(0, 2)), QStringLiteral("就绪."));
    EXPECT_EQ(ToQt(list->Text(3, 2)), kReady);
}

// --- Runs ------------------------------------------------------------------

TEST_F(EncryptionPageTest, BothCiphersRoundTripFilesOfManySizes) {
    const std::vector<std::size_t> sizes = {0,        1,    15,        16,          17,
                                            kMiB - 1, kMiB, kMiB + 17, 3 * kMiB + 5};
    for (bool camellia : {false, true}) {
        SCOPED_TRACE(camellia ? "Camellia-256" : "AES-256");
        const std::string extension = camellia ? ".cam256" : ".aes256";
        std::vector<fs::path> sources, containers;
        std::map<fs::path, std::vector<uint8_t>> originals;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            sources.push_back(
                MakeFile(NumberedName(i) + ".dat", sizes[i], static_cast<uint32_t>(i + 1)));
            originals[sources.back()] = ReadFile(sources.back());
            containers.push_back(sources.back().string() + extension);
        }
        const QString key = QStringLiteral("correct horse 电池");
        RunOnRows(sources, /*decrypt=*/false, camellia, key);
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            EXPECT_EQ(Status(static_cast<int>(i)), kEncrypted) << i;
            ASSERT_TRUE(fs::exists(containers[i]));
            EXPECT_EQ(fs::file_size(containers[i]), 16 + PaddedLength(sizes[i])) << i;
            fs::remove(sources[i]);
        }

        RunOnRows(containers, /*decrypt=*/true, camellia, key);
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            EXPECT_EQ(Status(static_cast<int>(i)), kDecrypted) << i;
            EXPECT_EQ(ReadFile(sources[i]), originals[sources[i]]) << i;
            fs::remove(containers[i]);
            fs::remove(sources[i]);
        }
        EXPECT_TRUE(QtItem(page, kActionButton)->isEnabled());
        EXPECT_FALSE(QtItem(page, kStopButton)->isEnabled());
    }
}

TEST_F(EncryptionPageTest, OutputNamesFollowTheCipherAndTheExactExtension) {
    const fs::path source = MakeFile("a.txt", 100);
    const std::vector<uint8_t> original = ReadFile(source);
    RunOnRows({source}, false, /*camellia=*/true, QStringLiteral("k"));
    EXPECT_TRUE(fs::exists(dir / "a.txt.cam256"));
    RunOnRows({source}, false, /*camellia=*/false, QStringLiteral("k"));
    ASSERT_TRUE(fs::exists(dir / "a.txt.aes256"));
    fs::remove(source);

    // Decrypting strips ".aes256" only; other endings get ".decrypted". The
    // AES container is copied under each name so every decryption succeeds.
    for (const char* name : {"b.txt.AES256", "c.txt.cam256", "x.aes256", ".aes256"})
        fs::copy_file(dir / "a.txt.aes256", dir / name);
    const fs::path oldCwd = fs::current_path();
    fs::current_path(dir.path());  // so that relative paths of 7 and 8 characters work
    RunOnRows(
        {dir / "a.txt.aes256", dir / "b.txt.AES256", dir / "c.txt.cam256", "x.aes256", ".aes256"},
        /*decrypt=*/true, /*camellia=*/false, QStringLiteral("k"));
    fs::current_path(oldCwd);
    for (int row = 0; row < 5; ++row) EXPECT_EQ(Status(row), kDecrypted) << row;
    for (const char* name :
         {"a.txt", "b.txt.AES256.decrypted", "c.txt.cam256.decrypted", "x", ".aes256.decrypted"})
        EXPECT_EQ(ReadFile(dir / name), original) << name;
}

TEST_F(EncryptionPageTest, KeyBytesAreTheLowBytesOfTheKeyText) {
    const fs::path source = MakeFile("a.txt", 3000);
    const std::vector<uint8_t> original = ReadFile(source);
    RunOnRows({source}, false, false, QStringLiteral("k"));
    fs::remove(source);
    // U+016B has the low byte of "k" (0x6B), and a trailing U+0100 adds a
    // zero byte, which the padding of a short key holds anyway.
    RunOnRows({dir / "a.txt.aes256"}, true, false, QStringLiteral("\u016B\u0100"));
    EXPECT_EQ(Status(0), kDecrypted);
    EXPECT_EQ(ReadFile(source), original);
}

TEST_F(EncryptionPageTest, AWrongKeyFailsAndLeavesAnExistingOutputFileAlone) {
    const fs::path source = MakeFile("a.txt", 5000);
    const std::vector<uint8_t> keep = {'k', 'e', 'e', 'p'};
    // A wrong key passes the padding check about once in 256 tries, with a
    // fresh IV each time; a few encryptions make that practically impossible.
    for (int attempt = 0; attempt < 4; ++attempt) {
        WriteFile(source, PatternBytes(5000, 3));
        RunOnRows({source}, false, false, QStringLiteral("right key"));
        WriteFile(source, keep);
        RunOnRows({dir / "a.txt.aes256"}, true, false, QStringLiteral("wrong key"));
        if (Status(0) == QStringLiteral("解密失败")) break;
    }
    EXPECT_EQ(Status(0), QStringLiteral("解密失败"));
    EXPECT_EQ(StatusTip(0), QStringLiteral("密码或算法错误（填充校验失败）"));
    EXPECT_EQ(ReadFile(source), keep);
    EXPECT_EQ(NamesIn(dir.path()), (std::set<std::string>{"a.txt", "a.txt.aes256"}));
}

// A failed row keeps its short status and tells why in its tooltip; run again
// with success, it has none.
TEST_F(EncryptionPageTest, AFailedRowTellsWhyInItsTooltip) {
    const fs::path later = dir / "later.txt";
    RunOnRows({later}, false, false, QStringLiteral("key"));
    EXPECT_EQ(Status(0), QStringLiteral("加密失败"));
    EXPECT_EQ(StatusTip(0),
              QStringLiteral("无法打开文件：") + QString::fromLocal8Bit(std::strerror(ENOENT)));

    MakeFile("later.txt", 100);
    RunToEnd();
    EXPECT_EQ(Status(0), kEncrypted);
    EXPECT_EQ(StatusTip(0), QString());

    RunOnRows({MakeFile("short.aes256", 5)}, true, false, QStringLiteral("key"));
    EXPECT_EQ(Status(0), QStringLiteral("解密失败"));
    EXPECT_EQ(StatusTip(0), QStringLiteral("不是加密文件（大小不符）"));
}

TEST_F(EncryptionPageTest, EraseStopsAfterTheFirstFailureAndShowsARealWipePercentage) {
    std::vector<QString> erasingTexts;
    QObject::connect(QtTable(*List()), &QTableWidget::itemChanged, [&](QTableWidgetItem* item) {
        if (item->column() == 2 && item->text().startsWith(QStringLiteral("擦除中")))
            erasingTexts.push_back(item->text());
    });
    const fs::path first = MakeFile("one.bin", 5 * kMiB + 1);
    const fs::path third = MakeFile("three.bin", 2000);
    page.SetChecked(kEraseCheck, true);
    RunOnRows({first, dir / "two.missing", third}, false, false, QStringLiteral("key"));

    EXPECT_EQ(Status(0), QStringLiteral("完成并已擦除"));
    EXPECT_EQ(Status(1), QStringLiteral("加密失败"));
    EXPECT_EQ(Status(2), kEncrypted);
    EXPECT_FALSE(fs::exists(first));
    EXPECT_TRUE(fs::exists(dir / "one.bin.aes256"));
    EXPECT_TRUE(fs::exists(third)) << "no wiping after a failure";
    EXPECT_TRUE(fs::exists(dir / "three.bin.aes256"));
    // Six blocks (five whole MiB and one byte): a share of the file, not a block index.
    EXPECT_EQ(erasingTexts,
              (std::vector<QString>{"擦除中 0%..", "擦除中 16%..", "擦除中 33%..", "擦除中 50%..",
                                    "擦除中 66%..", "擦除中 83%..", "擦除中 100%.."}));
}

TEST_F(EncryptionPageTest, StopWhileErasingLeavesOnlyTheCompleteContainer) {
    const fs::path source = dir / "big.bin";
    MakeSparseFile(source, 128ull * kMiB);
    bool erasing = false;
    QObject::connect(QtTable(*List()), &QTableWidget::itemChanged, [&](QTableWidgetItem* item) {
        erasing |= item->column() == 2 && item->text().startsWith(QStringLiteral("擦除中"));
    });
    AddRow(source);
    SetKey(QStringLiteral("key"));
    page.SetChecked(kEraseCheck, true);
    Click(kActionButton);
    ASSERT_TRUE(WaitUntil([&] { return erasing; }, 120000));
    Click(kStopButton);
    EXPECT_EQ(Status(0), QStringLiteral("已取消"));
    JoinAbandonedJobs();  // the stopped worker ends its last write
    // The damaged source is gone, so running the list again cannot encrypt it
    // over the good container.
    EXPECT_EQ(NamesIn(dir.path()), (std::set<std::string>{"big.bin.aes256"}));
    EXPECT_EQ(fs::file_size(dir / "big.bin.aes256"), 16 + 128ull * kMiB + 16);
}

TEST_F(EncryptionPageTest, NoRowLimitAndNoPathCut) {
    // 4096 unreadable rows, then a file whose path is far longer than 511
    // characters: all are processed, and the output keeps the whole path.
    const fs::path deep = dir / std::string(200, 'd') / std::string(200, 'e');
    fs::create_directories(deep);
    const fs::path longPath = deep / (std::string(150, 'f') + ".txt");
    WriteFile(longPath, PatternBytes(100));
    ASSERT_GT(longPath.string().size(), 550u);
    for (int i = 0; i < 4096; ++i) AddRow(dir / ("missing" + std::to_string(i)));
    AddRow(longPath);
    SetKey(QStringLiteral("key"));
    RunToEnd();
    EXPECT_EQ(Status(0), QStringLiteral("加密失败"));
    EXPECT_EQ(Status(4095), QStringLiteral("加密失败"));
    EXPECT_EQ(Status(4096), kEncrypted);
    EXPECT_TRUE(fs::exists(longPath.string() + ".aes256"));
    EXPECT_EQ(NamesIn(deep).size(), 2u);
}

TEST_F(EncryptionPageTest, StopCancelsTheCurrentFileAndNothingOfTheRunFollows) {
    std::vector<fs::path> files = {MakeFile("1.bin", 1000), MakeFile("2.bin", 2000), dir / "3.bin",
                                   MakeFile("4.bin", 10), MakeFile("5.bin", 20)};
    MakeSparseFile(files[2], 200ull * kMiB);
    for (const fs::path& file : files) AddRow(file);
    SetKey(QStringLiteral("key"));
    Click(kActionButton);
    ASSERT_TRUE(page.IsRunning());
    ASSERT_TRUE(WaitUntil([&] { return Status(2).startsWith(QStringLiteral("加密 ")); }, 60000));
    // During a run only Stop and the list can be used.
    for (int id : {kAddButton, kClearButton, kLocationButton, kRemoveButton, kActionButton,
                   kEraseCheck, kDecryptCheck, kKeyEdit, kAesRadio, kCamelliaRadio})
        EXPECT_FALSE(QtItem(page, id)->isEnabled()) << id;
    EXPECT_TRUE(QtItem(page, kStopButton)->isEnabled());
    EXPECT_TRUE(QtItem(page, kFileList)->isEnabled());

    Click(kStopButton);
    EXPECT_FALSE(page.IsRunning());
    ServeEvents(300);  // anything the stopped run might still deliver
    EXPECT_EQ(Status(0), kEncrypted);
    EXPECT_EQ(Status(1), kEncrypted);
    EXPECT_EQ(Status(2), QStringLiteral("已取消"));
    EXPECT_EQ(Status(3), kReady);
    EXPECT_EQ(Status(4), kReady);
    for (int id : {kAddButton, kClearButton, kLocationButton, kRemoveButton, kActionButton,
                   kEraseCheck, kDecryptCheck, kKeyEdit, kAesRadio, kCamelliaRadio})
        EXPECT_TRUE(QtItem(page, id)->isEnabled()) << id;
    EXPECT_FALSE(QtItem(page, kStopButton)->isEnabled());
    JoinAbandonedJobs();
    EXPECT_EQ(NamesIn(dir.path()),
              (std::set<std::string>{"1.bin", "1.bin.aes256", "2.bin", "2.bin.aes256", "3.bin",
                                     "4.bin", "5.bin"}))
        << "no partial output";
    EXPECT_EQ(fs::file_size(files[2]), 200ull * kMiB);

    // The same list can run again to its end.
    fs::resize_file(files[2], 100);
    RunToEnd();
    for (int row = 0; row < 5; ++row) EXPECT_EQ(Status(row), kEncrypted) << row;
}

TEST(EncryptionPageInWindow, StatusesFollowTheirRowsWhenADropInsertsRowsAbove) {
    TempDir dir;
    ScriptedMessageBoxes boxes;
    CQuorvaneDlg window;
    window.Create(nullptr);
    QtHost(window)->show();
    CTabAES256Dlg* page = window.EncryptionPage();
    MakeSparseFile(dir / "big.bin", 48ull * kMiB);
    WriteFile(dir / "small1.bin", PatternBytes(100));
    WriteFile(dir / "small2.bin", PatternBytes(200));
    WriteFile(dir / "dropped1.bin", PatternBytes(10));
    WriteFile(dir / "dropped2.bin", PatternBytes(20));
    for (const char* name : {"big.bin", "small1.bin", "small2.bin"})
        page->InsertFileRow(page->FileList()->Count(), FromQt(Q(dir / name)), u"0 KB",
                            FromQt(kReady));
    QtItemAs<QLineEdit>(*page, kKeyEdit)->setText(QStringLiteral("key"));
    QtItemAs<QAbstractButton>(*page, kActionButton)->click();
    ASSERT_TRUE(WaitUntil(
        [&] { return ToQt(page->FileList()->Text(0, 2)).startsWith(QStringLiteral("加密 ")); },
        60000));
    window.OnDropFiles(FromQt(QStringList{Q(dir / "dropped1.bin"), Q(dir / "dropped2.bin")}));
    ASSERT_TRUE(WaitUntil([&] { return !page->IsRunning(); }, 120000));

    ListView* list = page->FileList();
    ASSERT_EQ(list->Count(), 5);
    EXPECT_EQ(ToQt(list->Text(0, 0)), Q(dir / "dropped1.bin"));
    EXPECT_EQ(ToQt(list->Text(0, 2)), QStringLiteral("就绪."));
    EXPECT_EQ(ToQt(list->Text(1, 2)), QStringLiteral("就绪."));
    for (int row = 2; row < 5; ++row) EXPECT_EQ(ToQt(list->Text(row, 2)), kEncrypted) << row;
    EXPECT_FALSE(fs::exists(dir / "dropped1.bin.aes256")) << "the run keeps its own paths";
    EXPECT_TRUE(fs::exists(dir / "small2.bin.aes256"));
}

}  // namespace
