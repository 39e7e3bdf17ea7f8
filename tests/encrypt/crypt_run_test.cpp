// The run both faces share: naming, the wipe policy, the event sequence and
// what a stop leaves on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <stop_token>
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

TEST(CryptRun, AfterAFailedFileNoLaterSourceIsWiped) {
    TempDir dir;
    const auto first = dir / "one.txt", third = dir / "three.txt";
    WriteFile(first, PatternBytes(100, 1));
    WriteFile(third, PatternBytes(200, 3));
    const std::vector<fs::path> sources = {first, dir / "two.missing", third};
    Recorded seen;
    EXPECT_TRUE(RunCryptFiles(sources, kKey, Encrypting(SourceWipePolicy::kWipeUntilFirstFailure),
                              [&](const CryptRunEvent& event) {
                                  if (event.kind == CryptRunEvent::Kind::kFileFinished)
                                      seen.outcomes.push_back(event.outcome);
                              }));
    EXPECT_EQ(seen.outcomes, (std::vector{CryptFileOutcome::kDoneWiped, CryptFileOutcome::kFailed,
                                          CryptFileOutcome::kDone}));
    EXPECT_FALSE(fs::exists(first));
    EXPECT_TRUE(fs::exists(dir / "one.txt.aes256"));
    EXPECT_EQ(ReadFile(third), PatternBytes(200, 3));
    EXPECT_TRUE(fs::exists(dir / "three.txt.aes256"));
}

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
