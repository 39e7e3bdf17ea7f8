#include "ciphers/camellia256.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ciphers/camellia_affine.h"
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

// What GF2P8AFFINEQB computes on one byte: output bit i is the parity of the
// input ANDed with byte 7 - i of the matrix, plus bit i of the constant.
uint8_t Affine(uint64_t matrix, uint8_t x, uint8_t constant) {
    uint8_t out = 0;
    for (int i = 0; i < 8; ++i) {
        const unsigned row = static_cast<unsigned>(matrix >> (8 * (7 - i))) & x;
        out |= static_cast<uint8_t>((__builtin_popcount(row) & 1) << i);
    }
    return out ^ constant;
}

uint8_t AesFieldInverse(uint8_t x) {
    auto multiply = [](uint8_t a, uint8_t b) {
        uint8_t product = 0;
        for (; b != 0; b >>= 1) {
            if (b & 1) product ^= a;
            a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1b : 0));
        }
        return product;
    };
    for (int y = 1; y < 256; ++y) {
        if (multiply(x, static_cast<uint8_t>(y)) == 1) return static_cast<uint8_t>(y);
    }
    return 0;
}

// The affine forms the vector path computes its S-boxes with, against the
// published SBOX1 and the RFC's definitions of SBOX2, SBOX3 and SBOX4.
TEST(Camellia256Sboxes, AffineFormsMatchTheTable) {
    using camellia_affine::RotateLeft;
    for (int value = 0; value < 256; ++value) {
        const auto x = static_cast<uint8_t>(value);
        const uint8_t expected[4] = {CamelliaSbox1(x), RotateLeft(CamelliaSbox1(x), 1),
                                     RotateLeft(CamelliaSbox1(x), 7),
                                     CamelliaSbox1(RotateLeft(x, 1))};
        for (int box = 0; box < 4; ++box) {
            const camellia_affine::SboxAffine& form = camellia_affine::kSboxes[box];
            const uint8_t inner = Affine(form.pre, x, form.preConstant);
            EXPECT_EQ(Affine(form.post, AesFieldInverse(inner), form.postConstant), expected[box])
                << "SBOX" << box + 1 << " at " << value;
        }
    }
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
        file.designersList ? cipher_checks::ReadDesignersList(path) : cipher_checks::ReadRsp(path);
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
