// The system part of the platform layer: random source and secret wiping.
#include <gtest/gtest.h>

#include <time.h>

#include <array>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/system/chunk_reader.h"
#include "platform/system/cpu_features.h"
#include "platform/system/file_handle.h"
#include "platform/system/progress.h"
#include "support/test_files.h"

#include "platform/system/random.h"
#include "platform/system/secure_wipe.h"

TEST(SystemRandomBytes, FillsLargeBuffersAndNeverRepeats) {
    std::set<std::array<uint8_t, 16>> seen;
    for (int i = 0; i < 64; ++i) {
        std::array<uint8_t, 16> block{};
        ASSERT_TRUE(SystemRandomBytes(block.data(), block.size()));
        EXPECT_TRUE(seen.insert(block).second) << "two 16-byte draws were equal";
    }
    // A request larger than getrandom's single-call limit is still filled.
    std::vector<uint8_t> big(40 * 1024 * 1024, 0);
    ASSERT_TRUE(SystemRandomBytes(big.data(), big.size()));
    std::size_t zeros = 0;
    for (std::size_t i = big.size() - 4096; i < big.size(); ++i) zeros += big[i] == 0;
    EXPECT_LT(zeros, 64u) << "the tail of the buffer was not filled";
}

// Each rule keeps its own rounding: the values shown are fixed.
TEST(Percent, EachRuleKeepsItsRoundingAndBounds) {
    EXPECT_EQ(PercentDone(0, 0), 0);
    EXPECT_EQ(PercentDone(2, 3), 66);
    EXPECT_EQ(PercentDone(29, 100), 29);
    EXPECT_EQ(PercentDone(5, 4), 100);
    EXPECT_EQ(PercentAtUnitStart(0, 0), 0);
    EXPECT_EQ(PercentAtUnitStart(28, 100), 28);  // 29 / 100 × 100 is just under 29
    EXPECT_EQ(PercentAtUnitStart(0, 4), 25);
    EXPECT_EQ(PercentAtUnitStart(7, 4), 100);
    EXPECT_EQ(PercentAheadUncapped(0, 0), 0);
    EXPECT_EQ(PercentAheadUncapped(10, 10), 110);
    EXPECT_EQ(PercentAheadUncapped(1u << 20, 3u << 20), 33);
}

TEST(SecureWipe, ZeroesObjectsAndToleratesEmptyInput) {
    struct Secret {
        uint32_t words[8];
        uint8_t tail[3];
    } secret;
    std::memset(&secret, 0xAB, sizeof secret);
    SecureWipeObject(secret);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&secret);
    for (std::size_t i = 0; i < sizeof secret; ++i) ASSERT_EQ(bytes[i], 0) << i;
    SecureWipe(nullptr, 0);
    SecureWipe(&secret, 0);
}

#if defined(__linux__) && defined(__x86_64__)
// The probe agrees with the kernel on every feature a fast path needs.
TEST(CpuFeatures, AgreeWithTheKernelsFlags) {
    std::ifstream info("/proc/cpuinfo");
    std::string line;
    std::set<std::string> flags;
    while (std::getline(info, line)) {
        if (!line.starts_with("flags")) continue;
        std::istringstream words(line.substr(line.find(':') + 1));
        for (std::string word; words >> word;) flags.insert(word);
        break;
    }
    if (flags.empty()) GTEST_SKIP() << "no flags in /proc/cpuinfo";
    const cpu::Features& f = cpu::Detected();
    const std::pair<const char*, bool> expected[] = {
        {"sse4_1", f.sse41},      {"ssse3", f.ssse3},
        {"aes", f.aesni},         {"pclmulqdq", f.pclmul},
        {"avx", f.avx},           {"avx2", f.avx2},
        {"bmi1", f.bmi1},         {"bmi2", f.bmi2},
        {"sha_ni", f.sha},        {"avx512f", f.avx512f},
        {"avx512vl", f.avx512vl}, {"avx512bw", f.avx512bw},
        {"vaes", f.vaes},         {"vpclmulqdq", f.vpclmulqdq},
        {"gfni", f.gfni}};
    for (const auto& [flag, detected] : expected)
        EXPECT_EQ(flags.count(flag) == 1, detected) << flag;
}
#endif

// Nothing that a reader is asked for after the end hangs or succeeds.
TEST(ChunkReader, AsksAfterTheEndFailCleanly) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "f", testing_support::PatternBytes(3000));
    for (const uint64_t total : {uint64_t{3000}, ChunkReader::kToFileEnd}) {
        FileHandle file = FileHandle::OpenForReading(dir / "f");
        ChunkReader reader(file, total, 1024, /*closing_chunk=*/false, 1024);
        std::size_t read = 0;
        for (ChunkReader::Chunk chunk = reader.Next(); chunk.ok; chunk = reader.Next()) {
            read += chunk.size;
            if (chunk.last) break;
        }
        EXPECT_EQ(read, 3000u);
        EXPECT_FALSE(reader.Next().ok);
        EXPECT_FALSE(reader.Next().ok);
    }
}

// A stamp is taken only once the last change lies a timestamp tick back, so
// that a write under way then cannot leave it unchanged.
TEST(FileHandle, SettledStampWaitsForAFreshChangeToAge) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "f", {1, 2, 3});
    FileHandle file = FileHandle::OpenForReading(dir / "f");
    const std::optional<FileHandle::Stamp> stamp = file.ReadSettledStamp();
    ASSERT_TRUE(stamp.has_value());
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    timespec tick{};
    clock_getres(CLOCK_REALTIME_COARSE, &tick);
    const int64_t age = (int64_t(now.tv_sec) * 1000000000 + now.tv_nsec) - stamp->modified_ns;
    EXPECT_GT(age, int64_t(tick.tv_sec) * 1000000000 + tick.tv_nsec);
}
