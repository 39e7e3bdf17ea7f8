// Every implementation behind the CBC functions that this processor can run:
// the published vectors through each, and each against the portable path on
// random chains. A path the processor lacks is skipped.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ciphers/cbc_paths.h"
#include "tests/ciphers/block_cipher_checks.h"

namespace {

using cipher_checks::Bytes;
using testing_support::ToHex;

// One path seen through the test cipher interface. Single blocks go through
// the path's CBC functions with a zero chain, which makes them plain block
// operations; Cbc() runs the bulk functions themselves.
class PathCipher : public cipher_checks::TestCipher {
  public:
    virtual void Cbc(bool encrypt, std::size_t blocks, uint8_t* buffer,
                     uint8_t chain[16]) const = 0;
    void EncryptInPlace(uint8_t block[16]) const override {
        uint8_t zero[16] = {};
        Cbc(true, 1, block, zero);
    }
    void DecryptInPlace(uint8_t block[16]) const override {
        uint8_t zero[16] = {};
        Cbc(false, 1, block, zero);
    }
};

class AesPath : public PathCipher {
  public:
    explicit AesPath(const AesCbcPath& path) : path_(path) {}
    void SetKey(const uint8_t key[32]) override {
        Aes256SetEncryptKey(&encrypt_, key);
        Aes256SetDecryptKey(&decrypt_, key);
    }
    void Cbc(bool encrypt, std::size_t blocks, uint8_t* buffer, uint8_t chain[16]) const override {
        encrypt ? path_.encrypt(blocks, buffer, &encrypt_, chain)
                : path_.decrypt(blocks, buffer, &decrypt_, chain);
    }

  private:
    AesCbcPath path_;
    Aes256Context encrypt_{}, decrypt_{};
};

class CamelliaPath : public PathCipher {
  public:
    explicit CamelliaPath(const CamelliaCbcPath& path) : path_(path) {}
    void SetKey(const uint8_t key[32]) override { Camellia256SetKey(&context_, key); }
    void Cbc(bool encrypt, std::size_t blocks, uint8_t* buffer, uint8_t chain[16]) const override {
        encrypt ? path_.encrypt(blocks, buffer, &context_, chain)
                : path_.decrypt(blocks, buffer, &context_, chain);
    }

  private:
    CamelliaCbcPath path_;
    Camellia256Context context_{};
};

struct VectorFile {
    const char* name;
    bool cbc;
    bool monteCarlo = false;
    bool designersList = false;
};

struct PathChoice {
    bool camellia;
    std::size_t index;  // into AesCbcPaths() or CamelliaCbcPaths()

    const char* Name() const {
        return camellia ? CamelliaCbcPaths()[index].name : AesCbcPaths()[index].name;
    }
    bool Available() const {
        return camellia ? CamelliaCbcPaths()[index].available() : AesCbcPaths()[index].available();
    }
    std::unique_ptr<PathCipher> Make() const {
        if (camellia) return std::make_unique<CamelliaPath>(CamelliaCbcPaths()[index]);
        return std::make_unique<AesPath>(AesCbcPaths()[index]);
    }
    std::unique_ptr<PathCipher> MakePortable() const {
        if (camellia) return std::make_unique<CamelliaPath>(CamelliaCbcPaths().back());
        return std::make_unique<AesPath>(AesCbcPaths().back());
    }
    std::vector<VectorFile> Files() const {
        if (camellia) {
            return {{"camellia256_ecb.rsp", false},
                    {"camellia256_cbc.rsp", true},
                    {"camellia256_ntt_t_camellia.txt", false, false, true}};
        }
        return {{"ECBGFSbox256.rsp", false},    {"ECBKeySbox256.rsp", false},
                {"ECBVarKey256.rsp", false},    {"ECBVarTxt256.rsp", false},
                {"ECBMMT256.rsp", false},       {"CBCGFSbox256.rsp", true},
                {"CBCKeySbox256.rsp", true},    {"CBCVarKey256.rsp", true},
                {"CBCVarTxt256.rsp", true},     {"CBCMMT256.rsp", true},
                {"ECBMCT256.rsp", false, true}, {"CBCMCT256.rsp", true, true}};
    }
};

void PrintTo(const PathChoice& choice, std::ostream* os) {
    *os << (choice.camellia ? "camellia " : "aes ") << choice.Name();
}

std::vector<PathChoice> AllPaths() {
    std::vector<PathChoice> paths;
    for (std::size_t i = 0; i < AesCbcPaths().size(); ++i) paths.push_back({false, i});
    for (std::size_t i = 0; i < CamelliaCbcPaths().size(); ++i) paths.push_back({true, i});
    return paths;
}

std::string PathLabel(const testing::TestParamInfo<PathChoice>& info) {
    std::string label = std::string(info.param.camellia ? "camellia_" : "aes_") + info.param.Name();
    for (char& c : label) {
        if (c == '-') c = '_';
    }
    return label;
}

class CbcPaths : public testing::TestWithParam<PathChoice> {
  protected:
    void SetUp() override {
        if (!GetParam().Available()) {
            GTEST_SKIP() << GetParam().Name()
                         << ": not available (the processor lacks the instructions, or "
                            "QUORVANE_CPU=portable)";
        }
    }
};

// The multi-block vectors also run through one bulk call in each direction,
// which must leave the last ciphertext block as the chain value.
void CheckBulk(const PathCipher& cipher, const cipher_checks::CipherVector& v) {
    for (bool encrypt : {true, false}) {
        Bytes data = encrypt ? v.plaintext : v.ciphertext;
        uint8_t chain[16];
        std::copy(v.iv.begin(), v.iv.end(), chain);
        cipher.Cbc(encrypt, data.size() / 16, data.data(), chain);
        EXPECT_EQ(ToHex(data), ToHex(encrypt ? v.ciphertext : v.plaintext)) << v.where;
        EXPECT_EQ(ToHex(chain, 16), ToHex(v.ciphertext.data() + v.ciphertext.size() - 16, 16))
            << v.where;
    }
}

TEST_P(CbcPaths, PublishedVectors) {
    const auto cipher = GetParam().Make();
    for (const VectorFile& file : GetParam().Files()) {
        const std::string path = std::string("ciphers/data/") + file.name;
        const auto vectors = file.designersList ? cipher_checks::ReadDesignersList(path)
                                                : cipher_checks::ReadRsp(path);
        ASSERT_FALSE(vectors.empty()) << path;
        if (file.monteCarlo) {
            std::vector<cipher_checks::CipherVector> encrypt, decrypt;
            for (const auto& v : vectors) (v.encrypt ? encrypt : decrypt).push_back(v);
            cipher_checks::CheckMonteCarlo(*cipher, encrypt, file.cbc);
            cipher_checks::CheckMonteCarlo(*cipher, decrypt, file.cbc);
            continue;
        }
        for (const auto& v : vectors) {
            cipher_checks::CheckVector(*cipher, v, file.cbc);
            if (file.cbc) CheckBulk(*cipher, v);
        }
    }
}

// Chains of every length from 1 to 70 blocks (past the widest group of 64),
// at an unaligned place in the buffer, in place, in one call and split over
// two calls at a random point: the bytes and the chain value must be the
// portable path's.
TEST_P(CbcPaths, MatchesPortableOnRandomChains) {
    const auto cipher = GetParam().Make();
    const auto portable = GetParam().MakePortable();
    std::mt19937 random(20261207);
    auto randomBytes = [&random](std::size_t size) {
        Bytes bytes(size);
        for (auto& b : bytes) b = static_cast<uint8_t>(random());
        return bytes;
    };
    for (std::size_t blocks = 1; blocks <= 70; ++blocks) {
        const Bytes key = randomBytes(32), iv = randomBytes(16);
        cipher->SetKey(key.data());
        portable->SetKey(key.data());
        const std::size_t offset = random() % 16, randomSplit = random() % (blocks + 1);
        const Bytes original =
            randomBytes(offset + 16 * blocks);  // no slack: overruns show under ASan
        for (const auto& [encrypt, split] :
             {std::pair{true, blocks}, std::pair{false, blocks}, std::pair{true, randomSplit},
              std::pair{false, randomSplit}}) {
            SCOPED_TRACE((encrypt ? "encrypt, " : "decrypt, ") + std::to_string(blocks) +
                         " blocks at offset " + std::to_string(offset) + ", split at " +
                         std::to_string(split));
            Bytes expected = original, actual = original;
            uint8_t expectedChain[16], actualChain[16];
            std::copy(iv.begin(), iv.end(), expectedChain);
            std::copy(iv.begin(), iv.end(), actualChain);
            portable->Cbc(encrypt, blocks, expected.data() + offset, expectedChain);
            cipher->Cbc(encrypt, split, actual.data() + offset, actualChain);
            cipher->Cbc(encrypt, blocks - split, actual.data() + offset + 16 * split, actualChain);
            ASSERT_EQ(ToHex(actual), ToHex(expected));
            ASSERT_EQ(ToHex(actualChain, 16), ToHex(expectedChain, 16));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, CbcPaths, testing::ValuesIn(AllPaths()), PathLabel);

}  // namespace
