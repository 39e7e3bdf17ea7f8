// MD5 and SHA-1 against the RFC 1321 suite and the NIST SHAVS files on every
// implementation path, plus the SHA-1 context rules.
#include <gtest/gtest.h>

#include <cstring>

#include "hash/engines/engine_path_cases.h"
#include "hash/engines/md5.h"
#include "hash/engines/sha1.h"
#include "hash/hash_algorithm.h"
#include "hash/vector_files.h"

using hash_vectors::ReadMessageVectors;
using testing_support::FromHex;
using testing_support::ToHex;

namespace {

std::vector<uint8_t> Md5Of(const std::vector<uint8_t>& message) {
    Digest stream(HashAlgorithm::kMd5);
    stream.Update(message.data(), message.size());
    return stream.Final();
}

Sha1Context FreshSha1() {
    Sha1Context context{};
    std::memcpy(context.h, kSha1InitialValues, sizeof context.h);
    return context;
}

std::vector<uint8_t> Sha1Of(const std::vector<uint8_t>& message) {
    Sha1Context context = FreshSha1();
    Sha1Update(context, message.data(), message.size());
    std::vector<uint8_t> digest(20);
    Sha1Final(context, digest.data());
    return digest;
}

bool AllZero(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

class Md5OnEachPath : public engine_paths_testing::OnEachPath {};
class Sha1OnEachPath : public engine_paths_testing::OnEachPath {};

}  // namespace

TEST_P(Md5OnEachPath, Rfc1321Suite) {
    const auto vectors = ReadMessageVectors("hash/data/MD5_RFC1321.rsp");
    ASSERT_EQ(vectors.size(), 7u);
    for (const auto& v : vectors) {
        EXPECT_EQ(ToHex(Md5Of(v.message)), ToHex(v.digest)) << "length " << v.message.size();
    }
}

TEST_P(Md5OnEachPath, TransformLeavesBlockWordsAndGivesPrintableWords) {
    // "abc" padded by hand into one block.
    uint8_t block[64] = {'a', 'b', 'c', 0x80};
    block[56] = 24;
    uint32_t words[16];
    Md5BlockToWords(block, words);
    uint32_t copy[16];
    std::memcpy(copy, words, sizeof words);
    uint32_t state[4] = {kMd5InitialState[0], kMd5InitialState[1], kMd5InitialState[2],
                         kMd5InitialState[3]};
    Md5Transform(state, words);
    EXPECT_EQ(std::memcmp(copy, words, sizeof words), 0);

    uint32_t digest_words[4];
    Md5StateToDigestWords(state, digest_words);
    char text[33];
    std::snprintf(text, sizeof text, "%08X%08X%08X%08X", digest_words[0], digest_words[1],
                  digest_words[2], digest_words[3]);
    EXPECT_STREQ(text, "900150983CD24FB0D6963F7D28E17F72");
}

TEST_P(Sha1OnEachPath, ShortAndLongMessages) {
    const auto short_vectors = ReadMessageVectors("hash/data/SHA1ShortMsg.rsp");
    const auto long_vectors = ReadMessageVectors("hash/data/SHA1LongMsg.rsp");
    ASSERT_EQ(short_vectors.size(), 65u);
    ASSERT_EQ(long_vectors.size(), 64u);
    for (const auto* set : {&short_vectors, &long_vectors}) {
        for (const auto& v : *set) {
            EXPECT_EQ(ToHex(Sha1Of(v.message)), ToHex(v.digest)) << "length " << v.message.size();
        }
    }
}

TEST_P(Sha1OnEachPath, MonteCarlo) {
    const auto monte = hash_vectors::ReadMonteVectors("hash/data/SHA1Monte.rsp");
    ASSERT_EQ(monte.seed.size(), 20u);
    ASSERT_EQ(monte.checkpoints.size(), 100u);
    EXPECT_EQ(hash_vectors::RunMonte(monte.seed, Sha1Of), monte.checkpoints);
}

TEST(Sha1, FinalClearsTheWholeContextWithOrWithoutOutput) {
    const auto message = testing_support::PatternBytes(100);
    Sha1Context context = FreshSha1();
    Sha1Update(context, message.data(), message.size());
    uint8_t digest[20];
    Sha1Final(context, digest);
    EXPECT_TRUE(AllZero(&context, sizeof context));
    EXPECT_EQ(ToHex(digest, 20), ToHex(Sha1Of(message)));

    Sha1Context unfinished = FreshSha1();
    Sha1Update(unfinished, message.data(), 30);
    Sha1Final(unfinished, nullptr);
    EXPECT_TRUE(AllZero(&unfinished, sizeof unfinished));
}

TEST(Sha1, CountsBytesAndKeepsWholeBlocksOutOfTheBuffer) {
    const auto message = testing_support::PatternBytes(64 * 3 + 5);
    Sha1Context context = FreshSha1();
    Sha1Update(context, message.data(), message.size());
    EXPECT_EQ(context.total, message.size());
    EXPECT_EQ(context.count, 5u);
    EXPECT_EQ(std::memcmp(context.block, message.data() + 192, 5), 0);
}

INSTANTIATE_TEST_SUITE_P(Paths, Md5OnEachPath,
                         testing::ValuesIn(engine_paths_testing::PathCases({HashAlgorithm::kMd5})),
                         engine_paths_testing::CaseName);
INSTANTIATE_TEST_SUITE_P(Paths, Sha1OnEachPath,
                         testing::ValuesIn(engine_paths_testing::PathCases({HashAlgorithm::kSha1})),
                         engine_paths_testing::CaseName);
