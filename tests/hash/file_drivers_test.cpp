// The five file drivers on real files: digests against the engines fed in one
// call, progress per chunk, and the outcomes for files that cannot be opened,
// change while being read, or are stopped.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <stop_token>

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

// A progress callback that does something to the file at a chosen report.
struct FileMeddler {
    std::filesystem::path path;
    std::size_t at_report = 0;
    uint64_t shrink_to = 0;
    std::stop_source* stop = nullptr;
    std::size_t reports = 0;

    static void Callback(int32_t, void* context) {
        auto* self = static_cast<FileMeddler*>(context);
        if (self->reports++ != self->at_report) return;
        if (self->stop != nullptr) {
            self->stop->request_stop();
        } else {
            std::filesystem::resize_file(self->path, self->shrink_to);
        }
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
        EXPECT_EQ(HashFileWith(GetParam(), path, digest, RecordProgress, &progress), kHashDone);
        EXPECT_EQ(DigestHex(digest), DigestHex(DigestInOneCall(GetParam(), bytes)))
            << "size " << c.size;
        EXPECT_EQ(progress, c.progress) << "size " << c.size;
    }
}

TEST_P(FileDrivers, MissingFileFolderPipeAndCharacterDeviceCannotBeOpened) {
    const auto pipe = dir_ / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);  // opening it would wait for a writer
    // /dev/zero measures as 0 bytes: its digest would be the empty file's.
    for (const auto& path :
         {dir_ / "missing", dir_.path(), pipe, std::filesystem::path("/dev/zero")}) {
        std::vector<int32_t> progress;
        std::vector<uint8_t> digest;
        EXPECT_EQ(HashFileWith(GetParam(), path, digest, RecordProgress, &progress),
                  kHashCannotOpen)
            << path;
        EXPECT_TRUE(progress.empty());
        EXPECT_TRUE(digest.empty());
    }
}

TEST_P(FileDrivers, FileThatChangesWhileReadIsHashedToItsEnd) {
    struct Change {
        std::size_t size;
        std::size_t at_report;
        uint64_t resize_to;
    };
    // Shrinks before the first full chunk and before the short last chunk;
    // grows past a chunk boundary. What is read is what is hashed, as
    // sha256sum does: the size measured at open only paces the progress.
    for (const Change& c : {Change{kMiB * 5 / 2, 0, 100}, Change{kMiB + 60, 1, kMiB + 10},
                            Change{kMiB - 10, 0, kMiB * 3}}) {
        const auto path = dir_ / "changing.bin";
        WriteFile(path, PatternBytes(c.size));
        FileMeddler meddler{path, c.at_report, c.resize_to};
        std::vector<uint8_t> digest;
        std::vector<int32_t> progress;
        EXPECT_EQ(HashFileWith(GetParam(), path, digest, FileMeddler::Callback, &meddler),
                  kHashDone);
        auto expected = PatternBytes(c.size);
        expected.resize(c.resize_to);  // a file grows with zero bytes
        EXPECT_EQ(DigestHex(digest), DigestHex(DigestInOneCall(GetParam(), expected)));
    }
}

TEST_P(FileDrivers, FileMeasuredAsEmptyIsReadToItsEnd) {
    // Files of /proc measure as 0 bytes but have contents.
    std::vector<int32_t> progress;
    std::vector<uint8_t> digest;
    ASSERT_EQ(HashFileWith(GetParam(), "/proc/self/status", digest, RecordProgress, &progress),
              kHashDone);
    EXPECT_NE(DigestHex(digest), DigestHex(DigestInOneCall(GetParam(), {})));
    EXPECT_EQ(progress, std::vector<int32_t>{100});
}

TEST_P(FileDrivers, StopRequestEndsBeforeTheNextChunk) {
    const auto path = dir_ / "big.bin";
    WriteFile(path, PatternBytes(kMiB * 5 / 2));
    std::stop_source stop;
    FileMeddler meddler{path, 0, 0, &stop};
    std::vector<uint8_t> digest;
    EXPECT_EQ(
        HashFileWith(GetParam(), path, digest, FileMeddler::Callback, &meddler, stop.get_token()),
        kHashStopped);
    EXPECT_EQ(meddler.reports, 1u);
    EXPECT_TRUE(digest.empty());

    // A stop asked before the start reads nothing and reports nothing.
    std::vector<int32_t> progress;
    EXPECT_EQ(HashFileWith(GetParam(), path, digest, RecordProgress, &progress, stop.get_token()),
              kHashStopped);
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
    EXPECT_EQ(HashFileMd5(dir / "missing", words, nullptr, nullptr), kHashCannotOpen);
    EXPECT_EQ(words[0], 1u);
    EXPECT_EQ(words[3], 4u);
    uint8_t bytes[64];
    std::fill(bytes, bytes + 64, 0xAB);
    EXPECT_EQ(HashFileSha1(dir.path(), bytes, nullptr, nullptr), kHashCannotOpen);
    EXPECT_EQ(HashFileSha256(dir.path(), bytes, nullptr, nullptr), kHashCannotOpen);
    EXPECT_EQ(HashFileSha512(dir.path(), bytes, nullptr, nullptr), kHashCannotOpen);
    EXPECT_EQ(HashFileKeccak(dir.path(), bytes, nullptr, nullptr), kHashCannotOpen);
    EXPECT_EQ(std::count(bytes, bytes + 64, 0xAB), 64);
}

// The MD5 driver hands over words that print with "%08X" as the digest.
TEST(FileDriverPlaces, Md5WordsPrintAsTheStandardDigest) {
    TempDir dir;
    WriteFile(dir / "abc", {'a', 'b', 'c'});
    uint32_t words[4];
    ASSERT_EQ(HashFileMd5(dir / "abc", words, nullptr, nullptr), kHashDone);
    char text[33];
    std::snprintf(text, sizeof text, "%08X%08X%08X%08X", words[0], words[1], words[2], words[3]);
    EXPECT_STREQ(text, "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(Md5WordsHex(words), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(Md5WordsHex(words, HexCase::kLower), "900150983cd24fb0d6963f7d28e17f72");
}
