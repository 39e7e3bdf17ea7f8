// The run both faces share: naming, the wipe policy, the event sequence and
// what a stop leaves on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

#include "encrypt/crypt_run.h"
#include "support/test_files.h"

namespace fs = std::filesystem;
using testing_support::PatternBytes;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

constexpr uint8_t kKey[32] = {1, 2, 3};
constexpr std::size_t kMiB = 1 << 20;

CryptRunSettings Encrypting(SourceWipePolicy wipe) {
    CryptRunSettings settings;
    settings.wipe = wipe;
    return settings;
}

struct Recorded {
    std::vector<CryptRunEvent::Kind> kinds;
    std::vector<CryptFileOutcome> outcomes;
};

}  // namespace

// Whether files run one after another or several at once, outcomes come in
// list order and no source after a failed file is wiped.
class CryptRunJobs : public testing::TestWithParam<unsigned> {};

TEST_P(CryptRunJobs, AfterAFailedFileNoLaterSourceIsWiped) {
    TempDir dir;
    std::vector<fs::path> sources;
    for (int i = 0; i < 8; ++i) {
        sources.push_back(dir / ("f" + std::to_string(i)));
        // The first file is the largest, so later ones finish before it.
        if (i != 3) WriteFile(sources.back(), PatternBytes(i == 0 ? 3 * kMiB : 100 + i, i));
    }
    CryptRunSettings settings = Encrypting(SourceWipePolicy::kWipeUntilFirstFailure);
    settings.jobs = GetParam();
    std::vector<std::size_t> order;
    std::vector<CryptFileOutcome> outcomes;
    EXPECT_TRUE(RunCryptFiles(sources, kKey, settings, [&](const CryptRunEvent& event) {
        if (event.kind != CryptRunEvent::Kind::kFileFinished) return;
        order.push_back(event.index);
        outcomes.push_back(event.outcome);
    }));
    EXPECT_EQ(order, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    for (std::size_t i = 0; i < sources.size(); ++i) {
        SCOPED_TRACE(i);
        const CryptFileOutcome expected = i < 3    ? CryptFileOutcome::kDoneWiped
                                          : i == 3 ? CryptFileOutcome::kFailed
                                                   : CryptFileOutcome::kDone;
        EXPECT_EQ(outcomes[i], expected);
        EXPECT_EQ(fs::exists(sources[i]), i > 3);
        EXPECT_EQ(fs::exists(sources[i].string() + ".aes256"), i != 3);
    }
}

INSTANTIATE_TEST_SUITE_P(OneOrSeveral, CryptRunJobs, testing::Values(1u, 3u));

TEST(CryptRun, EventsOfOneFileAndTheRoundTripThroughBothCiphers) {
    TempDir dir;
    const auto plain = dir / "a.bin";
    WriteFile(plain, PatternBytes(kMiB + 5));
    for (CryptCipher cipher : {CryptCipher::kAes256, CryptCipher::kCamellia256}) {
        CryptRunSettings settings;
        settings.cipher = cipher;
        std::vector<CryptRunEvent::Kind> kinds;
        fs::path named;
        const auto record = [&](const CryptRunEvent& event) {
            kinds.push_back(event.kind);
            if (event.destination != nullptr) named = *event.destination;
        };
        ASSERT_TRUE(RunCryptFiles(std::vector{plain}, kKey, settings, record));
        using K = CryptRunEvent::Kind;
        EXPECT_EQ(kinds,
                  (std::vector{K::kFileStarted, K::kProgress, K::kProgress, K::kFileFinished}));
        EXPECT_EQ(named, CryptOutputPath(plain, settings));

        settings.direction = CryptDirection::kDecrypt;
        const fs::path container = named;
        fs::remove(plain);
        ASSERT_TRUE(RunCryptFiles(std::vector{container}, kKey, settings, record));
        EXPECT_EQ(ReadFile(plain), PatternBytes(kMiB + 5));
    }
}

TEST(CryptRun, StopWhileWipingDeletesTheDamagedSourceAndKeepsTheContainer) {
    TempDir dir;
    const auto source = dir / "big.bin";
    WriteFile(source, PatternBytes(3 * kMiB));
    std::stop_source stop;
    bool reported_finish = false;
    const bool finished = RunCryptFiles(
        std::vector{source}, kKey, Encrypting(SourceWipePolicy::kWipeUntilFirstFailure),
        [&](const CryptRunEvent& event) {
            if (event.kind == CryptRunEvent::Kind::kWipeProgress && event.wipe.blocks_written == 1)
                stop.request_stop();
            reported_finish |= event.kind == CryptRunEvent::Kind::kFileFinished;
        },
        stop.get_token());
    EXPECT_FALSE(finished);
    EXPECT_FALSE(reported_finish);
    EXPECT_FALSE(fs::exists(source)) << "a partly overwritten source must not stay";
    EXPECT_EQ(fs::file_size(dir / "big.bin.aes256"), 16 + 3 * kMiB + 16);
}
