#include "ciphers/camellia256.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ciphers/camellia_round.h"
#include "tests/ciphers/block_cipher_checks.h"

namespace {

using cipher_checks::Bytes;
using cipher_checks::CipherVector;
using testing_support::FromHex;
using testing_support::ToHex;

class Camellia256Cipher : public cipher_checks::TestCipher {
  public:
    void SetKey(const uint8_t key[32]) override { Camellia256SetKey(&context_, key); }
    void EncryptInPlace(uint8_t block[16]) const override {
        Camellia256EncryptBlock(block, block, &context_);
    }
    void DecryptInPlace(uint8_t block[16]) const override {
        Camellia256DecryptBlock(block, block, &context_);
    }

  private:
    Camellia256Context context_{};
};

const Bytes kExampleKey =
    FromHex("0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff");
const Bytes kExamplePlain = FromHex("0123456789abcdeffedcba9876543210");
const Bytes kExampleCipher = FromHex("9acc237dff16d76c20ef7c919e3a7509");

TEST(Camellia256Example, EnciphersAndDeciphersBetweenSeparateArrays) {
    Camellia256Context context;
    Camellia256SetKey(&context, kExampleKey.data());
    uint8_t out[16], back[16];
    Camellia256EncryptBlock(kExamplePlain.data(), out, &context);
    EXPECT_EQ(ToHex(out, 16), ToHex(kExampleCipher));
    Camellia256DecryptBlock(out, back, &context);
    EXPECT_EQ(ToHex(back, 16), ToHex(kExamplePlain));
}

TEST(Camellia256Example, WorksInPlace) {
    Camellia256Context context;
    Camellia256SetKey(&context, kExampleKey.data());
    Bytes block = kExamplePlain;
    Camellia256EncryptBlock(block.data(), block.data(), &context);
    EXPECT_EQ(ToHex(block), ToHex(kExampleCipher));
    Camellia256DecryptBlock(block.data(), block.data(), &context);
    EXPECT_EQ(ToHex(block), ToHex(kExamplePlain));
}

TEST(Camellia256KeySchedule, IntermediateKeysAndSubkeyOrder) {
    uint8_t ka[16], kb[16];
    Camellia256DeriveKaKb(kExampleKey.data(), ka, kb);
    EXPECT_EQ(ToHex(ka, 16), "17d1b5b046df07fac9bb914b7f1937ee");
    EXPECT_EQ(ToHex(kb, 16), "3815214280a4d3c01848fd9ac7b1fe60");

    // The table opens with kw1 || kw2 = KL and k1 || k2 = KB.
    Camellia256Context context;
    Camellia256SetKey(&context, kExampleKey.data());
    EXPECT_EQ(ToHex(&context.subkeys[0][0], 16), ToHex(kExampleKey.data(), 16));
    EXPECT_EQ(ToHex(&context.subkeys[2][0], 16), ToHex(kb, 16));
}

TEST(Camellia256Round, FLLayerIsUndoneBySwappedLayer) {
    // FL with one key on the left and FL^-1 with the other on the right; the
    // same layer with halves and keys swapped must restore the block.
    const Bytes k1 = FromHex("0f1e2d3c4b5a6978"), k2 = FromHex("8796a5b4c3d2e1f0");
    const Bytes original = testing_support::PatternBytes(16, 3);
    Bytes block = original;
    CamelliaFL(block.data(), k1.data(), k2.data());
    EXPECT_NE(ToHex(block), ToHex(original));
    Bytes swapped(block.begin() + 8, block.end());
    swapped.insert(swapped.end(), block.begin(), block.begin() + 8);
    CamelliaFL(swapped.data(), k2.data(), k1.data());
    EXPECT_EQ(ToHex(swapped.data() + 8, 8) + ToHex(swapped.data(), 8), ToHex(original));
}

TEST(Camellia256Round, FXorsIntoTheOtherHalf) {
    // One call is one half-round: applying it twice restores y.
    const Bytes x = FromHex("0123456789abcdef"), k = FromHex("a09e667f3bcc908b");
    const Bytes original = FromHex("fedcba9876543210");
    Bytes y = original;
    CamelliaF(x.data(), k.data(), y.data());
    EXPECT_NE(ToHex(y), ToHex(original));
    CamelliaF(x.data(), k.data(), y.data());
    EXPECT_EQ(ToHex(y), ToHex(original));
}

// A password of 16 characters or fewer leaves KR = 0: still a 256-bit key.
TEST(Camellia256ZeroTailKey, MatchesOpenssl) {
    const Bytes key = FromHex(
        "70617373776f7264"
        "3132333435363738"
        "0000000000000000"
        "0000000000000000");
    const Bytes plain = testing_support::PatternBytes(64, 9);
    const auto expected = cipher_checks::OpensslEncrypt("camellia-256-ecb", key, plain);
    if (!expected) GTEST_SKIP() << "openssl is not available";
    Camellia256Cipher cipher;
    cipher.SetKey(key.data());
    EXPECT_EQ(ToHex(cipher_checks::Ecb(cipher, true, plain)), ToHex(*expected));
    EXPECT_EQ(ToHex(cipher_checks::Ecb(cipher, false, *expected)), ToHex(plain));
}

// Reads the designers' list: "K No.nnn : bytes" starts a key, followed by
// "P No.nnn : bytes" / "C No.nnn : bytes" pairs.
std::vector<CipherVector> ReadDesignersList(const std::string& relative) {
    std::ifstream in(testing_support::DataPath(relative));
    EXPECT_TRUE(in.good()) << "cannot open " << relative;
    std::vector<CipherVector> vectors;
    Bytes key;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto colon = line.find(" : ");
        if (colon == std::string::npos || line.size() < 2 || line[1] != ' ') continue;
        const Bytes value = FromHex(line.substr(colon + 3));
        if (line[0] == 'K') key = value;
        if (line[0] == 'P') {
            vectors.push_back({true,
                               static_cast<int>(vectors.size()),
                               key,
                               {},
                               value,
                               {},
                               relative + ":" + std::to_string(number)});
        }
        if (line[0] == 'C' && !vectors.empty()) vectors.back().ciphertext = value;
    }
    return vectors;
}

struct VectorFile {
    const char* name;
    std::size_t count;
    bool cbc;
    bool designersList;
};

void PrintTo(const VectorFile& file, std::ostream* os) {
    *os << file.name;
}

std::string FileStem(const testing::TestParamInfo<VectorFile>& param) {
    const std::string name = param.param.name;
    return name.substr(0, name.find('.'));
}

class Camellia256KnownAnswer : public testing::TestWithParam<VectorFile> {};

TEST_P(Camellia256KnownAnswer, EveryVectorBothDirections) {
    const VectorFile& file = GetParam();
    const std::string path = std::string("ciphers/data/") + file.name;
    const auto vectors =
        file.designersList ? ReadDesignersList(path) : cipher_checks::ReadRsp(path);
    ASSERT_EQ(vectors.size(), file.count);
    Camellia256Cipher cipher;
    for (const auto& v : vectors) cipher_checks::CheckVector(cipher, v, file.cbc);
}

INSTANTIATE_TEST_SUITE_P(Files, Camellia256KnownAnswer,
                         testing::Values(VectorFile{"camellia256_ecb.rsp", 12, false, false},
                                         VectorFile{"camellia256_cbc.rsp", 5, true, false},
                                         VectorFile{"camellia256_ntt_t_camellia.txt", 1280, false,
                                                    true}),
                         FileStem);

}  // namespace
