// SHA-256 and SHA-512 against the NIST SHAVS files on every implementation
// path, plus what each final leaves in its context.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "hash/engines/engine_path_cases.h"
#include "hash/engines/sha256.h"
#include "hash/engines/sha512.h"
#include "hash/vector_files.h"

using hash_vectors::ReadMessageVectors;
using testing_support::ToHex;

namespace {

Sha256Context FreshSha256() {
    Sha256Context context{};
    std::memcpy(context.h, kSha256InitialValues, sizeof context.h);
    return context;
}

std::vector<uint8_t> Sha256Of(const std::vector<uint8_t>& message) {
    Sha256Context context = FreshSha256();
    Sha256Update(context, message.data(), message.size());
    std::vector<uint8_t> digest(32);
    Sha256Final(context, digest.data());
    return digest;
}

std::vector<uint8_t> Sha512Of(const std::vector<uint8_t>& message) {
    Sha512Context context;
    Sha512Init(context);
    Sha512Update(context, message.data(), message.size());
    std::vector<uint8_t> digest(64);
    Sha512Final(context, digest.data());
    return digest;
}

struct VectorSet {
    const char* short_file;
    std::size_t short_count;
    const char* long_file;
    std::size_t long_count;
    const char* monte_file;
    std::vector<uint8_t> (*hash)(const std::vector<uint8_t>&);
};

void CheckVectorSet(const VectorSet& set) {
    const auto short_vectors = ReadMessageVectors(set.short_file);
    const auto long_vectors = ReadMessageVectors(set.long_file);
    ASSERT_EQ(short_vectors.size(), set.short_count);
    ASSERT_EQ(long_vectors.size(), set.long_count);
    for (const auto* vectors : {&short_vectors, &long_vectors}) {
        for (const auto& v : *vectors) {
            EXPECT_EQ(ToHex(set.hash(v.message)), ToHex(v.digest)) << "length " << v.message.size();
        }
    }
    const auto monte = hash_vectors::ReadMonteVectors(set.monte_file);
    ASSERT_EQ(monte.checkpoints.size(), 100u);
    EXPECT_EQ(hash_vectors::RunMonte(monte.seed, set.hash), monte.checkpoints);
}

class Sha2OnEachPath : public engine_paths_testing::OnEachPath {};

}  // namespace

TEST_P(Sha2OnEachPath, NistVectors) {
    if (Algorithm() == HashAlgorithm::kSha256) {
        CheckVectorSet({"hash/data/SHA256ShortMsg.rsp", 65, "hash/data/SHA256LongMsg.rsp", 64,
                        "hash/data/SHA256Monte.rsp", Sha256Of});
    } else {
        CheckVectorSet({"hash/data/SHA512ShortMsg.rsp", 129, "hash/data/SHA512LongMsg.rsp", 128,
                        "hash/data/SHA512Monte.rsp", Sha512Of});
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Sha2OnEachPath,
                         testing::ValuesIn(engine_paths_testing::PathCases(
                             {HashAlgorithm::kSha256, HashAlgorithm::kSha512})),
                         engine_paths_testing::CaseName);

TEST(Sha256, FinalClearsTheWholeContextWithOrWithoutOutput) {
    const auto message = testing_support::PatternBytes(70);
    for (bool with_output : {true, false}) {
        Sha256Context context = FreshSha256();
        Sha256Update(context, message.data(), message.size());
        uint8_t digest[32];
        Sha256Final(context, with_output ? digest : nullptr);
        const auto* bytes = reinterpret_cast<const uint8_t*>(&context);
        EXPECT_EQ(std::count(bytes, bytes + sizeof context, 0), long(sizeof context));
    }
}

TEST(Sha512, FinalKeepsTheFinalChainingValues) {
    const auto message = testing_support::PatternBytes(200);
    Sha512Context context;
    Sha512Init(context);
    Sha512Update(context, message.data(), message.size());
    uint8_t digest[64];
    Sha512Final(context, digest);
    for (int i = 0; i < 8; ++i) {
        uint64_t word = 0;
        for (int b = 0; b < 8; ++b) word = word << 8 | digest[8 * i + b];
        EXPECT_EQ(context.h[i], word) << "h" << i;
    }
    EXPECT_EQ(context.total, message.size());
}

TEST(Sha512, FinalWithoutOutputLeavesTheContextUntouched) {
    const auto message = testing_support::PatternBytes(150);
    Sha512Context context;
    Sha512Init(context);
    Sha512Update(context, message.data(), message.size());
    const Sha512Context before = context;
    Sha512Final(context, nullptr);
    EXPECT_EQ(context.count, before.count);
    EXPECT_TRUE(std::equal(context.h, context.h + 8, before.h));
    EXPECT_EQ(context.total, before.total);
    EXPECT_TRUE(std::equal(context.block, context.block + 128, before.block));
    // The unfinished context still gives the right digest afterwards.
    uint8_t digest[64];
    Sha512Final(context, digest);
    EXPECT_EQ(ToHex(digest, 64), ToHex(Sha512Of(message)));
}
