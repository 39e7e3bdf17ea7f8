// WipeFile on real files: the callback sequences, the bytes after every pass,
// what is refused untouched, and failures that must keep the file.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <functional>
#include <stop_token>
#include <vector>

#include "platform/system/file_handle.h"
#include "support/test_files.h"
#include "tools/wipe.h"

namespace fs = std::filesystem;
using testing_support::PatternBytes;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

constexpr std::size_t kMiB = 1 << 20;

#if defined(_WIN32)
const fs::path kNullDevice = "NUL";
#else
const fs::path kNullDevice = "/dev/null";
#endif

void Record(int32_t value, void* context) {
    static_cast<std::vector<int32_t>*>(context)->push_back(value);
}

std::vector<int32_t> Repeated(std::vector<int32_t> pass, int passes) {
    std::vector<int32_t> all;
    for (int i = 0; i < passes; ++i) all.insert(all.end(), pass.begin(), pass.end());
    return all;
}

bool AllBytesAre(const std::vector<uint8_t>& bytes, uint8_t value) {
    return std::all_of(bytes.begin(), bytes.end(), [value](uint8_t b) { return b == value; });
}

}  // namespace

TEST(WipeFile, CallbackSequencesAndDeletion) {
    TempDir dir;
    struct Case {
        std::size_t size;
        int passes;
        std::vector<int32_t> expected;
    } cases[] = {
        {0, 7, {}},                                // empty: no writes, no callbacks
        {10, 1, {0}},                              // one short block
        {10, 3, {0, 0, 0}},                        // once per pass
        {3 * kMiB, 1, {0, 1, 2, 3}},               // the empty fourth block is announced
        {3 * kMiB, 2, Repeated({0, 1, 2, 3}, 2)},  // restarts with every pass
        {kMiB + 1, 1, {0, 1}},
        {100, 0, {}},    // no passes: deleted without overwriting
        {100, 256, {}},  // only the low 8 bits count
        {100, 257, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " bytes, " << c.passes << " passes");
        WriteFile(dir / "victim", PatternBytes(c.size));
        std::vector<int32_t> seen;
        EXPECT_TRUE(WipeFile(dir / "victim", c.passes, Record, &seen).done());
        EXPECT_EQ(seen, c.expected);
        EXPECT_FALSE(fs::exists(dir / "victim"));
    }
    // No callback at all is fine too.
    WriteFile(dir / "victim", PatternBytes(5000));
    EXPECT_TRUE(WipeFile(dir / "victim", 1, nullptr, nullptr).done());
    EXPECT_FALSE(fs::exists(dir / "victim"));
}

TEST(WipeFile, SevenPassesAlternateFillBytesAtFixedLength) {
    TempDir dir;
    const fs::path victim = dir / "victim";
    const std::size_t size = 2 * kMiB + 1234;
    WriteFile(victim, PatternBytes(size));
    struct Watch {
        fs::path path;
        int passes_seen = 0;
        std::vector<std::vector<uint8_t>> after_pass;
    } watch{WipeLeftoverPath(victim), 0, {}};
    // Block 0 is announced at the start of every pass: the file (by now
    // under its hidden name) then shows what the previous pass left.
    auto callback = [](int32_t block, void* context) {
        auto* w = static_cast<Watch*>(context);
        if (block != 0) return;
        if (w->passes_seen++ > 0) w->after_pass.push_back(ReadFile(w->path));
    };
    ASSERT_TRUE(WipeFile(victim, 7, callback, &watch).done());
    EXPECT_EQ(watch.passes_seen, 7);
    ASSERT_EQ(watch.after_pass.size(), 6u);
    for (std::size_t p = 0; p < watch.after_pass.size(); ++p) {
        SCOPED_TRACE(p + 1);
        EXPECT_EQ(watch.after_pass[p].size(), size);
        EXPECT_TRUE(AllBytesAre(watch.after_pass[p], p % 2 == 0 ? 0xFF : 0x00));
    }
    EXPECT_FALSE(fs::exists(victim));
}

TEST(WipeFile, RefusesWhatIsNotARegularFileAndTouchesNothing) {
    TempDir dir;
    const auto content = PatternBytes(3000);
    WriteFile(dir / "target", content);
    std::error_code no_links;
    fs::create_symlink(dir / "target", dir / "link", no_links);
    fs::create_directory(dir / "folder");
    WriteFile(dir / "folder" / "inside", content);
    std::vector<int32_t> seen;
    EXPECT_FALSE(WipeFile(dir / "link", 1, Record, &seen).done());
    EXPECT_FALSE(WipeFile(dir / "folder", 1, Record, &seen).done());
    EXPECT_FALSE(WipeFile(dir / "missing", 1, Record, &seen).done());
    EXPECT_FALSE(WipeFile(kNullDevice, 1, Record, &seen).done());
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(ReadFile(dir / "target"), content);
    EXPECT_EQ(ReadFile(dir / "folder" / "inside"), content);
#if !defined(_WIN32)
    EXPECT_TRUE(fs::is_character_file(kNullDevice));
#endif
    // Windows makes symbolic links for administrators and developers only.
    if (no_links) GTEST_SKIP() << "cannot make a symbolic link here: " << no_links.message();
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
}

TEST(WipeFile, WriteErrorKeepsTheFile) {
    TempDir dir;
    const fs::path victim = dir / "victim";
    WriteFile(victim, PatternBytes(3 * kMiB));
#if defined(_WIN32)
    // The file service fails the second block of the first pass as a
    // failing medium does.
    {
        testing_support::InjectedFaults faults({"QUORVANE_FAULT_PATH=" + dir.path().string(),
                                                "QUORVANE_FAULT_OP=write",
                                                "QUORVANE_FAULT_AFTER=" + std::to_string(kMiB)});
        EXPECT_FALSE(WipeFile(victim, 3, nullptr, nullptr).done());
    }
#else
    // In a child whose files may not reach beyond 1 MiB, the second block of
    // the first pass fails as on a failing medium.
    pid_t pid = fork();
    if (pid == 0) {
        rlimit limit{kMiB, kMiB};
        setrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, SIG_IGN);
        _exit(WipeFile(victim, 3, nullptr, nullptr).done() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
#endif
    ASSERT_TRUE(fs::exists(victim));
    const auto left = ReadFile(victim);
    EXPECT_EQ(left.size(), 3 * kMiB);
    EXPECT_TRUE(AllBytesAre({left.begin(), left.begin() + kMiB}, 0xFF));
}

TEST(WipeFile, StopKeepsThePartlyWipedFile) {
    TempDir dir;
    WriteFile(dir / "victim", PatternBytes(3 * kMiB));
    struct StopAt {
        std::stop_source source;
        std::vector<int32_t> seen;
    } stop_at;
    auto callback = [](int32_t block, void* context) {
        auto* s = static_cast<StopAt*>(context);
        s->seen.push_back(block);
        if (block == 1) s->source.request_stop();
    };
    EXPECT_FALSE(
        WipeFile(dir / "victim", 7, callback, &stop_at, stop_at.source.get_token()).done());
    EXPECT_EQ(stop_at.seen, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(fs::file_size(dir / "victim"), 3 * kMiB);
}

TEST(WipeFile, BlocksPerPass) {
    EXPECT_EQ(WipeBlocksPerPass(0), 1u);
    EXPECT_EQ(WipeBlocksPerPass(10), 1u);
    EXPECT_EQ(WipeBlocksPerPass(3 * kMiB), 4u);
    EXPECT_EQ(WipeBlocksPerPass(3 * kMiB - 1), 3u);
}

TEST(WipeFileReporting, TwoPassesAnnounceEveryBlockAndEachPassEnd) {
    TempDir dir;
    const auto path = dir / "two.bin";
    WriteFile(path, PatternBytes(kMiB + 10));
    std::vector<std::vector<uint64_t>> seen;  // {pass, blocks written, blocks, percent}
    ASSERT_TRUE(WipeFileReporting(path, 2, [&](const WipePosition& p) {
                    seen.push_back({uint64_t(p.pass), p.blocks_written, p.blocks,
                                    uint64_t(p.PassPercent()), uint64_t(p.TotalPercent())});
                }).done());
    EXPECT_EQ(seen, (std::vector<std::vector<uint64_t>>{{1, 0, 2, 0, 0},
                                                        {1, 1, 2, 50, 25},
                                                        {1, 2, 2, 100, 50},
                                                        {2, 0, 2, 0, 50},
                                                        {2, 1, 2, 50, 75},
                                                        {2, 2, 2, 100, 100}}));
    EXPECT_FALSE(fs::exists(path));
}

TEST(WipeFile, FileLockedByAReaderIsLeftUntouched) {
    // A run encrypting the file holds a shared lock on it while it reads.
    TempDir dir;
    const auto path = dir / "read.bin";
    WriteFile(path, PatternBytes(1000));
#if defined(_WIN32)
    FileHandle reader = FileHandle::OpenForReading(path);
    ASSERT_TRUE(reader.IsOpen());
    ASSERT_TRUE(reader.TryLock(FileHandle::Lock::kShared));
    EXPECT_FALSE(WipeFile(path, 1, nullptr, nullptr).done());
    EXPECT_EQ(ReadFile(path), PatternBytes(1000));
    reader.Close();
#else
    const int reader = open(path.c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(flock(reader, LOCK_SH), 0);
    EXPECT_FALSE(WipeFile(path, 1, nullptr, nullptr).done());
    EXPECT_EQ(ReadFile(path), PatternBytes(1000));
    close(reader);
#endif
    EXPECT_TRUE(WipeFile(path, 1, nullptr, nullptr).done());
}
