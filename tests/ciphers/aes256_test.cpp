#include "ciphers/aes256.h"

#include <gtest/gtest.h>

#include "ciphers/aes_tables.h"
#include "tests/ciphers/block_cipher_checks.h"

namespace {

using cipher_checks::Bytes;
using testing_support::FromHex;
using testing_support::ToHex;

class Aes256Cipher : public cipher_checks::TestCipher {
  public:
    void SetKey(const uint8_t key[32]) override {
        EXPECT_EQ(Aes256SetEncryptKey(&encrypt_, key), 14);
        EXPECT_EQ(Aes256SetDecryptKey(&decrypt_, key), 14);
    }
    void EncryptInPlace(uint8_t block[16]) const override {
        Aes256EncryptBlock(&encrypt_, block, block);
    }
    void DecryptInPlace(uint8_t block[16]) const override {
        Aes256DecryptBlock(&decrypt_, block, block);
    }

  private:
    Aes256Context encrypt_{}, decrypt_{};
};

const Bytes kExampleKey =
    FromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
const Bytes kExamplePlain = FromHex("00112233445566778899aabbccddeeff");
const Bytes kExampleCipher = FromHex("8ea2b7ca516745bfeafc49904b496089");

TEST(Aes256Example, EnciphersAndDeciphersBetweenSeparateArrays) {
    Aes256Context enc, dec;
    ASSERT_EQ(Aes256SetEncryptKey(&enc, kExampleKey.data()), 14);
    ASSERT_EQ(Aes256SetDecryptKey(&dec, kExampleKey.data()), 14);
    uint8_t out[16], back[16];
    Aes256EncryptBlock(&enc, kExamplePlain.data(), out);
    EXPECT_EQ(ToHex(out, 16), ToHex(kExampleCipher));
    Aes256DecryptBlock(&dec, out, back);
    EXPECT_EQ(ToHex(back, 16), ToHex(kExamplePlain));
}

TEST(Aes256Example, WorksInPlace) {
    Aes256Context enc, dec;
    Aes256SetEncryptKey(&enc, kExampleKey.data());
    Aes256SetDecryptKey(&dec, kExampleKey.data());
    Bytes block = kExamplePlain;
    Aes256EncryptBlock(&enc, block.data(), block.data());
    EXPECT_EQ(ToHex(block), ToHex(kExampleCipher));
    Aes256DecryptBlock(&dec, block.data(), block.data());
    EXPECT_EQ(ToHex(block), ToHex(kExamplePlain));
}

TEST(Aes256Tables, MatchPublishedEntries) {
    // First entries of the well-known round tables, and one S-box pair.
    EXPECT_EQ(AesEnc0[0x00], 0xc66363a5u);
    EXPECT_EQ(AesEnc1[0x00], 0xa5c66363u);
    EXPECT_EQ(AesEnc3[0x00], 0x6363a5c6u);
    EXPECT_EQ(AesDec0[0x00], 0x51f4a750u);
    EXPECT_EQ(AesDec2[0x00], 0xa75051f4u);
    EXPECT_EQ(AesEncLast[0x53], 0xededededu);
    EXPECT_EQ(AesDecLast[0xed], 0x53535353u);
}

// A short password leaves a key with a zero tail; it must still be used as a
// full 256-bit key. openssl supplies the independent answer.
TEST(Aes256ZeroTailKey, MatchesOpenssl) {
    const Bytes key = FromHex(
        "70617373776f7264"
        "0000000000000000"
        "0000000000000000"
        "0000000000000000");
    const Bytes plain = testing_support::PatternBytes(64, 7);
    const auto expected = cipher_checks::OpensslEncrypt("aes-256-ecb", key, plain);
    if (!expected) GTEST_SKIP() << "openssl is not available";
    Aes256Cipher cipher;
    cipher.SetKey(key.data());
    EXPECT_EQ(ToHex(cipher_checks::Ecb(cipher, true, plain)), ToHex(*expected));
    EXPECT_EQ(ToHex(cipher_checks::Ecb(cipher, false, *expected)), ToHex(plain));
}

struct VectorFile {
    const char* name;
    std::size_t count;  // records in the file, both sections together
    bool cbc;
};

void PrintTo(const VectorFile& file, std::ostream* os) {
    *os << file.name;
}

std::string FileStem(const testing::TestParamInfo<VectorFile>& param) {
    const std::string name = param.param.name;
    return name.substr(0, name.find('.'));
}

class Aes256KnownAnswer : public testing::TestWithParam<VectorFile> {};

TEST_P(Aes256KnownAnswer, EveryVectorBothDirections) {
    const VectorFile& file = GetParam();
    const auto vectors = cipher_checks::ReadRsp(std::string("ciphers/data/") + file.name);
    ASSERT_EQ(vectors.size(), file.count);
    std::size_t encrypt = 0;
    Aes256Cipher cipher;
    for (const auto& v : vectors) {
        encrypt += v.encrypt;
        cipher_checks::CheckVector(cipher, v, file.cbc);
    }
    EXPECT_EQ(encrypt, file.count / 2);
}

INSTANTIATE_TEST_SUITE_P(Files, Aes256KnownAnswer,
                         testing::Values(VectorFile{"ECBGFSbox256.rsp", 10, false},
                                         VectorFile{"ECBKeySbox256.rsp", 32, false},
                                         VectorFile{"ECBVarKey256.rsp", 512, false},
                                         VectorFile{"ECBVarTxt256.rsp", 256, false},
                                         VectorFile{"ECBMMT256.rsp", 20, false},
                                         VectorFile{"CBCGFSbox256.rsp", 10, true},
                                         VectorFile{"CBCKeySbox256.rsp", 32, true},
                                         VectorFile{"CBCVarKey256.rsp", 512, true},
                                         VectorFile{"CBCVarTxt256.rsp", 256, true},
                                         VectorFile{"CBCMMT256.rsp", 20, true}),
                         FileStem);

class Aes256MonteCarlo : public testing::TestWithParam<VectorFile> {};

TEST_P(Aes256MonteCarlo, EveryCheckpoint) {
    const VectorFile& file = GetParam();
    const auto vectors = cipher_checks::ReadRsp(std::string("ciphers/data/") + file.name);
    ASSERT_EQ(vectors.size(), file.count);
    std::vector<cipher_checks::CipherVector> encrypt, decrypt;
    for (const auto& v : vectors) (v.encrypt ? encrypt : decrypt).push_back(v);
    ASSERT_EQ(encrypt.size(), 100u);
    ASSERT_EQ(decrypt.size(), 100u);
    Aes256Cipher cipher;
    cipher_checks::CheckMonteCarlo(cipher, encrypt, file.cbc);
    cipher_checks::CheckMonteCarlo(cipher, decrypt, file.cbc);
}

INSTANTIATE_TEST_SUITE_P(Files, Aes256MonteCarlo,
                         testing::Values(VectorFile{"ECBMCT256.rsp", 200, false},
                                         VectorFile{"CBCMCT256.rsp", 200, true}),
                         FileStem);

}  // namespace
