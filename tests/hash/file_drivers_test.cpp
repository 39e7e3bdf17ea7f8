// The five file drivers on real files: digests against the engines fed in one
// call, progress per chunk, and the outcomes for files that cannot be opened,
// measure other than they read, or are stopped.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <stop_token>
#include <thread>

#include "hash/digest_text.h"
#include "hash/file_drivers.h"
#include "hash/hash_algorithm.h"
#include "support/test_files.h"

using testing_support::PatternBytes;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

constexpr std::size_t kMiB = 1 << 20;

void RecordProgress(int32_t value, void* context) {
    static_cast<std::vector<int32_t>*>(context)->push_back(value);
}

std::vector<uint8_t> DigestInOneCall(HashAlgorithm algorithm, const std::vector<uint8_t>& bytes) {
    Digest stream(algorithm);
    stream.Update(bytes.data(), bytes.size());
    return stream.Final();
}

// A progress callback that asks to stop at a chosen report.
struct StopAtReport {
    std::size_t at_report = 0;
    std::stop_source* stop = nullptr;
    std::size_t reports = 0;

    static void Callback(int32_t, void* context) {
        auto* self = static_cast<StopAtReport*>(context);
        if (self->reports++ == self->at_report) self->stop->request_stop();
    }
};

class FileDrivers : public testing::TestWithParam<HashAlgorithm> {
  protected:
    TempDir dir_;
};

struct SizeCase {
    std::size_t size;
    std::vector<int32_t> progress;
};

}  // namespace

TEST_P(FileDrivers, DigestAndProgressForEachChunkLayout) {
    const std::vector<SizeCase> cases = {
        {0, {100}},        {kMiB, {50, 100}}, {kMiB * 5 / 2, {33, 66, 100}}, {kMiB + 60, {50, 100}},
        {kMiB - 4, {100}},  // MD5's length block lies past the end of the chunk buffer
        {kMiB - 8, {100}}, {kMiB - 9, {100}},
    };
    for (const auto& c : cases) {
        const auto bytes = PatternBytes(c.size, uint32_t(c.size));
        const auto path = dir_ / "file.bin";
        WriteFile(path, bytes);
        std::vector<int32_t> progress;
        std::vector<uint8_t> digest;
        EXPECT_EQ(HashFileWith(GetParam(), path, digest, RecordProgress, &progress), FileResult{});
        EXPECT_EQ(DigestHex(digest), DigestHex(DigestInOneCall(GetParam(), bytes)))
            << "size " << c.size;
        EXPECT_EQ(progress, c.progress) << "size " << c.size;
    }
}

TEST_P(FileDrivers, MissingFileFolderPipeAndCharacterDeviceCannotBeOpened) {
    std::vector<std::pair<std::filesystem::path, FileResult>> cases = {
        {dir_ / "missing", {FileOutcome::kCannotOpen, ENOENT}},
        {dir_.path(), {FileOutcome::kNotRegularFile, EISDIR}},
    };
#if !defined(_WIN32)
    const auto pipe = dir_ / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);  // opening it would wait for a writer
    // /dev/zero measures as 0 bytes: its digest would be the empty file's.
    cases.push_back({pipe, {FileOutcome::kNotRegularFile, 0}});
    cases.push_back({"/dev/zero", {FileOutcome::kNotRegularFile, 0}});
#endif
    for (const auto& [path, outcome] : cases) {
        std::vector<int32_t> progress;
        std::vector<uint8_t> digest;
        EXPECT_EQ(HashFileWith(GetParam(), path, digest, RecordProgress, &progress), outcome)
            << path;
        EXPECT_TRUE(progress.empty());
        EXPECT_TRUE(digest.empty());
    }
}

TEST_P(FileDrivers, FileMeasuredAsEmptyIsReadToItsEnd) {
    // Files of /proc measure as 0 bytes but have contents; what is read is
    // hashed, as sha256sum does, whatever the size measured at open.
#if defined(_WIN32)
    GTEST_SKIP() << "Linux only: files of /proc";
#endif
    std::vector<int32_t> progress;
    std::vector<uint8_t> digest;
    ASSERT_EQ(HashFileWith(GetParam(), "/proc/self/status", digest, RecordProgress, &progress),
              FileResult{});
    EXPECT_NE(DigestHex(digest), DigestHex(DigestInOneCall(GetParam(), {})));
    EXPECT_EQ(progress, std::vector<int32_t>{100});
}

TEST_P(FileDrivers, StopRequestEndsBeforeTheNextChunk) {
    const auto path = dir_ / "big.bin";
    WriteFile(path, PatternBytes(kMiB * 5 / 2));
    std::stop_source stop;
    StopAtReport meddler{0, &stop};
    std::vector<uint8_t> digest;
    EXPECT_EQ(
        HashFileWith(GetParam(), path, digest, StopAtReport::Callback, &meddler, stop.get_token()),
        (FileResult{FileOutcome::kStopped, 0}));
    EXPECT_EQ(meddler.reports, 1u);
    EXPECT_TRUE(digest.empty());

    // A stop asked before the start reads nothing and reports nothing.
    std::vector<int32_t> progress;
    EXPECT_EQ(HashFileWith(GetParam(), path, digest, RecordProgress, &progress, stop.get_token()),
              (FileResult{FileOutcome::kStopped, 0}));
    EXPECT_TRUE(progress.empty());
}

std::string AlgorithmName(const testing::TestParamInfo<HashAlgorithm>& param) {
    static const char* const kNames[] = {"Md5", "Sha1", "Sha256", "Sha512", "Keccak"};
    return kNames[int(param.param)];
}

INSTANTIATE_TEST_SUITE_P(AllDigests, FileDrivers, testing::ValuesIn(kAllHashAlgorithms),
                         AlgorithmName);

// The drivers themselves write their digest place only when they succeed.
TEST(FileDriverPlaces, FailureLeavesTheDigestPlaceUntouched) {
    TempDir dir;
    uint32_t words[4] = {1, 2, 3, 4};
    EXPECT_EQ(HashFileMd5(dir / "missing", words, nullptr, nullptr).outcome,
              FileOutcome::kCannotOpen);
    EXPECT_EQ(words[0], 1u);
    EXPECT_EQ(words[3], 4u);
    uint8_t bytes[64];
    std::fill(bytes, bytes + 64, 0xAB);
    EXPECT_FALSE(HashFileSha1(dir.path(), bytes, nullptr, nullptr).done());
    EXPECT_FALSE(HashFileSha256(dir.path(), bytes, nullptr, nullptr).done());
    EXPECT_FALSE(HashFileSha512(dir.path(), bytes, nullptr, nullptr).done());
    EXPECT_FALSE(HashFileKeccak(dir.path(), bytes, nullptr, nullptr).done());
    EXPECT_EQ(std::count(bytes, bytes + 64, 0xAB), 64);
}

// The MD5 driver hands over words that print with "%08X" as the digest.
TEST(FileDriverPlaces, Md5WordsPrintAsTheStandardDigest) {
    TempDir dir;
    WriteFile(dir / "abc", {'a', 'b', 'c'});
    uint32_t words[4];
    ASSERT_EQ(HashFileMd5(dir / "abc", words, nullptr, nullptr), FileResult{});
    char text[33];
    std::snprintf(text, sizeof text, "%08X%08X%08X%08X", words[0], words[1], words[2], words[3]);
    EXPECT_STREQ(text, "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(Md5WordsHex(words), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(Md5WordsHex(words, HexCase::kLower), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(MultiDigestReader, OneReadGivesWhatEachDriverGives) {
    TempDir dir;
    const auto path = dir / "file.bin";
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{63}, std::size_t{64},
                             kMiB - 1, 3 * kMiB + 5}) {
        WriteFile(path, PatternBytes(size, uint32_t(size)));
        std::vector<Digest> all(std::begin(kAllHashAlgorithms), std::end(kAllHashAlgorithms));
        std::vector<int32_t> progress;
        ASSERT_EQ(HashFileInto(path, all, RecordProgress, &progress, {}), FileResult{});
        for (Digest& digest : all) {
            std::vector<uint8_t> alone;
            ASSERT_EQ(HashFileWith(digest.algorithm(), path, alone, nullptr, nullptr),
                      FileResult{});
            EXPECT_EQ(DigestHex(digest.Final()), DigestHex(alone)) << "size " << size;
        }
        EXPECT_EQ(progress.back(), 100);
    }
}

TEST(MultiDigestReader, StopAndReadFailure) {
    TempDir dir;
    const auto path = dir / "big.bin";
    WriteFile(path, PatternBytes(3 * kMiB));
    std::vector<Digest> all(std::begin(kAllHashAlgorithms), std::end(kAllHashAlgorithms));
    std::stop_source stop;
    StopAtReport meddler{1, &stop};
    EXPECT_EQ(HashFileInto(path, all, StopAtReport::Callback, &meddler, stop.get_token()),
              (FileResult{FileOutcome::kStopped, 0}));
#if !defined(_WIN32)
    // Reading this process's memory from address 0 fails with an I/O error.
    EXPECT_EQ(HashFileInto("/proc/self/mem", all, nullptr, nullptr, {}),
              (FileResult{FileOutcome::kReadError, EIO}));
#endif
}

// Read as a stream, anything but a folder is hashed to its end, as the
// checksum tools do: devices, named pipes (which wait for their writer) and
// pipes named through /dev/fd.
TEST(StreamInput, PipesAndDevicesAreReadToTheirEnd) {
#if defined(_WIN32)
    GTEST_SKIP() << "Linux only: named pipes made with mkfifo, /dev/fd";
#else
    TempDir dir;
    const auto pipe = dir / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const auto bytes = PatternBytes(3 * kMiB + 7);
    std::thread writer([&] { WriteFile(pipe, bytes); });
    Digest digest(HashAlgorithm::kSha256);
    std::vector<int32_t> progress;
    EXPECT_EQ(HashFileInto(pipe, {&digest, 1}, RecordProgress, &progress, {}, HashInput::kStream),
              FileResult{});
    writer.join();
    EXPECT_EQ(DigestHex(digest.Final()), DigestHex(DigestInOneCall(HashAlgorithm::kSha256, bytes)));
    EXPECT_TRUE(progress.empty());  // no size, no percentages

    Digest md5(HashAlgorithm::kMd5);
    const std::span<Digest> empty(&md5, 1);
    EXPECT_EQ(HashFileInto("/dev/null", empty, nullptr, nullptr, {}, HashInput::kStream),
              FileResult{});
    EXPECT_EQ(DigestHex(md5.Final()), DigestHex(DigestInOneCall(HashAlgorithm::kMd5, {})));

    EXPECT_EQ(HashFileInto(dir.path(), empty, nullptr, nullptr, {}, HashInput::kStream),
              (FileResult{FileOutcome::kNotRegularFile, EISDIR}));
    EXPECT_EQ(HashFileInto(dir / "missing", empty, nullptr, nullptr, {}, HashInput::kStream),
              (FileResult{FileOutcome::kCannotOpen, ENOENT}));
#endif
}

TEST(StreamInput, NoDigestsFailsWithoutReading) {
    EXPECT_EQ(HashFileInto("/dev/zero", {}, nullptr, nullptr, {}, HashInput::kStream),
              (FileResult{FileOutcome::kSystemError, EINVAL}));
}
