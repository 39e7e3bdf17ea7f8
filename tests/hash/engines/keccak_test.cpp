// The Keccak-f[1600] permutation against the Keccak team's intermediate
// values, and the sponge with its own parameters (rate 512, pad10*1), on
// every implementation path.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "hash/digest_text.h"
#include "hash/engines/engine_path_cases.h"
#include "hash/engines/keccak.h"
#include "support/test_files.h"

using testing_support::FromHex;
using testing_support::ToHex;

namespace {

struct PermutationExample {
    std::vector<uint8_t> input;
    std::vector<uint8_t> output;
};

// The 200 state bytes follow each "Input of permutation:" and "State after
// permutation:" line, on one line.
std::vector<PermutationExample> ReadPermutationExamples() {
    std::ifstream in(testing_support::DataPath("hash/data/KeccakF-1600-IntermediateValues.txt"));
    std::vector<PermutationExample> examples;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Input of permutation:", 0) == 0 && std::getline(in, line)) {
            examples.push_back({FromHex(line), {}});
        } else if (line.rfind("State after permutation:", 0) == 0 && std::getline(in, line) &&
                   !examples.empty()) {
            examples.back().output = FromHex(line);
        }
    }
    return examples;
}

std::string KeccakHex(const std::vector<uint8_t>& message) {
    KeccakContext context{};
    KeccakUpdate(context, message.data(), uint64_t(message.size()) * 8);
    uint8_t digest[64];
    KeccakFinal(context, digest);
    return DigestHex(digest, 64);
}

std::vector<uint8_t> Counting(std::size_t size) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i);
    return bytes;
}

class KeccakOnEachPath : public engine_paths_testing::OnEachPath {};

}  // namespace

TEST_P(KeccakOnEachPath, PermutationMatchesTheIntermediateValues) {
    const auto examples = ReadPermutationExamples();
    ASSERT_EQ(examples.size(), 2u);
    for (const auto& example : examples) {
        ASSERT_EQ(example.input.size(), 200u);
        ASSERT_EQ(example.output.size(), 200u);
        KeccakContext context{};
        std::copy(example.input.begin(), example.input.end(), context.state);
        KeccakPermute(context, 0, nullptr);
        EXPECT_EQ(ToHex(context.state, 200), ToHex(example.output));
    }
}

TEST_P(KeccakOnEachPath, PermuteXorsLanesBeforePermuting) {
    const auto lanes = testing_support::PatternBytes(64);
    KeccakContext by_lanes{};
    KeccakPermute(by_lanes, 8, lanes.data());
    KeccakContext by_hand{};
    std::copy(lanes.begin(), lanes.end(), by_hand.state);
    KeccakPermute(by_hand, 0, nullptr);
    EXPECT_EQ(ToHex(by_lanes.state, 200), ToHex(by_hand.state, 200));
}

TEST_P(KeccakOnEachPath, KnownDigests) {
    EXPECT_EQ(KeccakHex({}),
              "AAD7F242B4DE8C8199FE1A3BEB1EF27DA1285BDD84B0EC41F5D0DF8AEDEC3BCED14213505C465C8A"
              "99CFF3935A395326AA9C9C79F57F89A2BDB3922676C3336E");
    EXPECT_EQ(KeccakHex({'a', 'b', 'c'}),
              "636ECA7C8C49B921F2A10FEBB17617419FBB949AD903D14693034A8D7834FB0DE00307A907D88EBD"
              "B50B4AD55A853BC33AD674C618C3CA93A2F5230CC9FF2939");
    // One whole block: the padding fills a second block of its own.
    EXPECT_EQ(KeccakHex(Counting(64)),
              "66A13077F99108AD58A84E1862B370A772A509B2454C788482583716032F635C1343856C02F2867A"
              "447223ECC97DA90024CDC7C0E59AE3489B8C76959B27D7BD");
}

TEST_P(KeccakOnEachPath, PiecesGiveTheSameDigest) {
    const auto message = testing_support::PatternBytes(134);
    KeccakContext context{};
    KeccakUpdate(context, message.data(), 3 * 8);
    KeccakUpdate(context, message.data() + 3, 61 * 8);
    KeccakUpdate(context, message.data() + 64, 70 * 8);
    uint8_t digest[64];
    KeccakFinal(context, digest);
    EXPECT_EQ(DigestHex(digest, 64), KeccakHex(message));
}

TEST_P(KeccakOnEachPath, PositionOneBitShortOfTheBlockNeedsTwoPermutations) {
    // 63 bytes and the top 7 bits of 0xA5 leave the position at 511.
    auto message = Counting(63);
    message.push_back(0xA5);
    KeccakContext context{};
    KeccakUpdate(context, message.data(), 63 * 8 + 7);
    EXPECT_EQ(context.position, 511);
    uint8_t digest[64];
    KeccakFinal(context, digest);
    EXPECT_EQ(DigestHex(digest, 64),
              "3CC276AF0B4EFA1A74919B8469805047D8C22DABB3DC846DB3E5C80E8120704D4F7A0E5F0BE5B3FB"
              "5C3A313641225C1902F2DA81FC655093F8B48570B8024D63");
}

TEST(Keccak, TrailingPartialByteUsesItsHighBits) {
    const uint8_t byte = 0x63;
    KeccakContext context{};
    KeccakUpdate(context, &byte, 4);
    EXPECT_EQ(context.state[0], 0x06);
    EXPECT_EQ(context.position, 4);
    uint8_t digest[64];
    KeccakFinal(context, digest);
    EXPECT_EQ(DigestHex(digest, 64),
              "76F6801D093D9B20D57A81759A6BBED8AB05965C4BAC51F4D7C0A5FBBE390E61772D88FFE7BA9EF0"
              "A1DF9FBF1301C4BE74319EF9E34D05794D02E5F1AF6D85EE");
}

TEST(Keccak, MisuseIsIgnoredSilently) {
    const auto message = testing_support::PatternBytes(10);
    // An update after a partial byte changes nothing.
    KeccakContext partial{};
    KeccakUpdate(partial, message.data(), 12);
    const KeccakContext after_partial = partial;
    KeccakUpdate(partial, message.data(), 64);
    EXPECT_EQ(ToHex(partial.state, 200), ToHex(after_partial.state, 200));
    EXPECT_EQ(partial.position, after_partial.position);

    // A finished context ignores updates and finals and leaves the output alone.
    KeccakContext finished{};
    uint8_t digest[64];
    KeccakFinal(finished, digest);
    EXPECT_EQ(finished.position, -1);
    const KeccakContext done = finished;
    KeccakUpdate(finished, message.data(), 80);
    uint8_t untouched[64];
    std::fill(untouched, untouched + 64, 0xEE);
    KeccakFinal(finished, untouched);
    EXPECT_EQ(ToHex(finished.state, 200), ToHex(done.state, 200));
    EXPECT_EQ(finished.position, -1);
    EXPECT_EQ(std::count(untouched, untouched + 64, 0xEE), 64);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, KeccakOnEachPath,
    testing::ValuesIn(engine_paths_testing::PathCases({HashAlgorithm::kKeccak})),
    engine_paths_testing::CaseName);
