// Properties every digest must have, checked for all five on every
// implementation path in one suite: the digest does not depend on how the
// message is cut into pieces, the lengths around each padding boundary give
// the known digests, and each fast path agrees with the portable one.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "hash/digest_text.h"
#include "hash/engines/engine_path_cases.h"
#include "hash/hash_algorithm.h"
#include "support/test_files.h"

using testing_support::PatternBytes;

namespace {

std::string HexOf(HashAlgorithm algorithm, const std::vector<std::vector<uint8_t>>& pieces) {
    Digest stream(algorithm);
    for (const auto& piece : pieces) stream.Update(piece.data(), piece.size());
    return DigestHex(stream.Final(), HexCase::kLower);
}

std::string HexOf(HashAlgorithm algorithm, const std::vector<uint8_t>& message) {
    return HexOf(algorithm, std::vector<std::vector<uint8_t>>{message});
}

std::size_t BlockSize(HashAlgorithm algorithm) {
    return algorithm == HashAlgorithm::kSha512 ? 128 : 64;
}

// The message of the boundary table: byte i is (31 i + 7) mod 256.
std::vector<uint8_t> BoundaryMessage(std::size_t size) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 31 + 7);
    return bytes;
}

struct Expected {
    std::string empty;
    std::map<std::size_t, std::string> boundary;  // message length -> digest
};

// Empty digests and boundary digests from independent implementations
// (Python hashlib; for Keccak a bit-level model of the sponge).
const std::map<HashAlgorithm, Expected>& ExpectedDigests() {
    static const std::map<HashAlgorithm, Expected> table = {
        {HashAlgorithm::kMd5,
         {"d41d8cd98f00b204e9800998ecf8427e",
          {{55, "c9e512626618c9980ef21a96597af94c"},
           {56, "ecde7caa08e9f5657c863df107cac60a"},
           {63, "2f0301069e1c40af7f6c8f843b1b13f2"},
           {64, "b6bf87c24b1bc334e2541387a92b981b"},
           {65, "f168246f08b6134d66bd2a10343fa9f1"}}}},
        {HashAlgorithm::kSha1,
         {"da39a3ee5e6b4b0d3255bfef95601890afd80709",
          {{55, "749bbefb28edc4638b28b2b9a9e03ab9a4032b90"},
           {56, "a5b6e9c29d201c774753ff8e7fb64931656f5e63"},
           {63, "d1a454409359fc372b4d22b3cea6488d6ba1be00"},
           {64, "39a0d8b645ad85f1f976731ed112ac9455e28b78"},
           {65, "d0c96e18890114a14716e9686528d2e3fdba8d9e"}}}},
        {HashAlgorithm::kSha256,
         {"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
          {{55, "8aa994584139d128848eeebc4e815639ba5ab6e6e39574195a63ac4f14f7c43b"},
           {56, "ad574708f75c044c9b85de64cb568ee7711ff4f36448c6242f053ba8f6cc2b63"},
           {63, "280ed3e8ff1df845b2e7dfe6ac6cee817bef20e783cc65abc41b818b4d2fe076"},
           {64, "c6ab9724ade5b6a7a1edfffb12f3aa9181351355af8fd08c919952ad211339dd"},
           {65, "788367c73c7ddf4c53f65e68cc0d943e6227ab55b0e78ba63ace822b1c6301c0"}}}},
        {HashAlgorithm::kSha512,
         {"cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce47d0d13c5d85f2b0ff8318d"
          "2877eec2f63b931bd47417a81a538327af927da3e",
          {{111,
            "da780d8338a8a920ceb6892cb4ecbb0cc0c66956269aadd5dd0f48790a00857bd975890f3b2955a3"
            "17738cc7a770820c29f922ffbc22020f1909d594cc987d1b"},
           {112,
            "053182f7fa4e59f8636e415a77ed4fdc650f0a43834c9d35adf899599c3ab9c4153f02ff50bd0188"
            "8060cd36a6fa12d9db242fc35164c80135613514186d5843"},
           {127,
            "a7a75593826fd37d4e60f6101eabb9f8ab1cf4d5319ebc805266d5da8deb5097de1a235fc5d9d3d7"
            "3c50ac100ffc75089fb454674ab61232091bd19cbdc67396"},
           {128,
            "df007a08f3aaae47e0c92ef840ecd43645ae6098c819f2a4a66174ef1cd49e5c6dfccf0616895e57"
            "0b7564af641de5863dff9f89c752913d30cf0ecf678e1635"},
           {129,
            "a10ea769b79831bca33e9efb29fc501ded6e9c88885d079acb76eecaa8ac58d68bdc7e00103053e1"
            "519352c0d064c87accc3d553a6039decc2c4f1e7667eef79"}}}},
        {HashAlgorithm::kKeccak,
         {"aad7f242b4de8c8199fe1a3beb1ef27da1285bdd84b0ec41f5d0df8aedec3bced14213505c465c8a99cff39"
          "35a395326aa9c9c79f57f89a2bdb3922676c3336e",
          {{63,
            "a22d493bd58ee01922949856e30714431d2d83969ace8b221071bd0558558c3dce528d5b0e5375b97"
            "5abc95591d97fd777c66627dfdcc5918095ec34eb6f403b"},
           {64,
            "ca4cd5cc954676ba42aacd074c0af555d46b05df346028f96b533ebab4f0d91d4de8d6bacdfe035ce"
            "30a2a1ed512e8bd21603232f505e27ec92cf149122f85ba"},
           {65,
            "5600d98b2a5b6db990ffa6c8388dc092dd71df2d4c6d47737d6c0bfca1266cd53aeaa656b0f887772"
            "8839d58948c508f4386e53006b2752e9059415d7678e978"}}}},
    };
    return table;
}

class DigestProperties : public engine_paths_testing::OnEachPath {};

}  // namespace

TEST_P(DigestProperties, EmptyInputGivesTheKnownDigest) {
    const Expected& expected = ExpectedDigests().at(Algorithm());
    EXPECT_EQ(HexOf(Algorithm(), std::vector<uint8_t>{}), expected.empty);
    // Empty pieces in between change nothing.
    EXPECT_EQ(HexOf(Algorithm(), std::vector<std::vector<uint8_t>>{{}, {}, {}}), expected.empty);
}

TEST_P(DigestProperties, LengthsAroundThePaddingBoundary) {
    for (const auto& [length, digest] : ExpectedDigests().at(Algorithm()).boundary) {
        EXPECT_EQ(HexOf(Algorithm(), BoundaryMessage(length)), digest) << "length " << length;
    }
}

TEST_P(DigestProperties, AnySplitIntoTwoPiecesEqualsOneCall) {
    const auto message = PatternBytes(3 * BlockSize(Algorithm()) + 17, 5);
    const std::string whole = HexOf(Algorithm(), message);
    for (std::size_t cut = 0; cut <= message.size(); ++cut) {
        const std::vector<uint8_t> head(message.begin(), message.begin() + long(cut));
        const std::vector<uint8_t> tail(message.begin() + long(cut), message.end());
        ASSERT_EQ(HexOf(Algorithm(), {head, tail}), whole) << "cut at " << cut;
    }
}

TEST_P(DigestProperties, ByteByByteAndBlockMinusOneThenTwo) {
    const std::size_t block = BlockSize(Algorithm());
    const auto message = PatternBytes(block + 1, 9);
    std::vector<std::vector<uint8_t>> bytes;
    for (uint8_t b : message) bytes.push_back({b});
    EXPECT_EQ(HexOf(Algorithm(), bytes), HexOf(Algorithm(), message));
    const std::vector<uint8_t> first(message.begin(), message.begin() + long(block - 1));
    const std::vector<uint8_t> second(message.begin() + long(block - 1), message.end());
    EXPECT_EQ(HexOf(Algorithm(), {first, second}), HexOf(Algorithm(), message));
}

TEST_P(DigestProperties, MebibytePiecesEqualOneCall) {
    const std::size_t mebibyte = 1 << 20;
    const auto message = PatternBytes(2 * mebibyte + 300, 3);
    std::vector<std::vector<uint8_t>> pieces;
    for (std::size_t offset = 0; offset < message.size(); offset += mebibyte) {
        const std::size_t end = std::min(message.size(), offset + mebibyte);
        pieces.emplace_back(message.begin() + long(offset), message.begin() + long(end));
    }
    EXPECT_EQ(HexOf(Algorithm(), pieces), HexOf(Algorithm(), message));
}

TEST_P(DigestProperties, AgreesWithThePortablePathOnRandomPiecesAndLengths) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 60; ++round) {
        const auto message = PatternBytes(random() % 3000, uint32_t(round));
        std::vector<std::vector<uint8_t>> pieces;
        for (std::size_t offset = 0; offset < message.size();) {
            // Mostly small pieces, now and then a run of many whole blocks.
            const std::size_t want = random() % 4 == 0 ? random() % 2048 : random() % 150;
            const std::size_t end = std::min(message.size(), offset + want);
            pieces.emplace_back(message.begin() + long(offset), message.begin() + long(end));
            offset = end;
        }
        const std::string ours = HexOf(Algorithm(), pieces);
        engine_paths_testing::PathCases({Algorithm()}).front().select();  // portable
        const std::string reference = HexOf(Algorithm(), message);
        GetParam().select();
        ASSERT_EQ(ours, reference) << "length " << message.size() << ", round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(AllDigests, DigestProperties,
                         testing::ValuesIn(engine_paths_testing::PathCases()),
                         engine_paths_testing::CaseName);
