// CBC chaining against published multi-block vectors, and the chain carried
// across calls the way the file procedures use it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "encrypt/cbc.h"
#include "support/test_files.h"

using testing_support::DataPath;
using testing_support::FromHex;
using testing_support::PatternBytes;
using testing_support::ToHex;

namespace {

struct CbcVector {
    bool encrypt = true;
    std::vector<uint8_t> key, iv, plain, cipher;
};

std::vector<CbcVector> ReadVectors(const std::string& file) {
    std::ifstream in(DataPath("encrypt/data/" + file));
    EXPECT_TRUE(in.good()) << file;
    std::vector<CbcVector> out;
    bool encrypt = true;
    std::string line;
    auto value = [&line] { return FromHex(line.substr(line.find('=') + 1)); };
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("[ENCRYPT]", 0) == 0) encrypt = true;
        if (line.rfind("[DECRYPT]", 0) == 0) encrypt = false;
        if (line.rfind("COUNT", 0) == 0) out.push_back({encrypt, {}, {}, {}, {}});
        if (out.empty()) continue;
        if (line.rfind("KEY", 0) == 0) out.back().key = value();
        if (line.rfind("IV", 0) == 0) out.back().iv = value();
        if (line.rfind("PLAINTEXT", 0) == 0) out.back().plain = value();
        if (line.rfind("CIPHERTEXT", 0) == 0) out.back().cipher = value();
    }
    return out;
}

struct AesCbc {
    static void Encrypt(const std::vector<uint8_t>& key, std::vector<uint8_t>& data,
                        uint8_t chain[16]) {
        Aes256Context context;
        Aes256SetEncryptKey(&context, key.data());
        Aes256CbcEncrypt(data.size() / 16, data.data(), &context, chain);
    }
    static void Decrypt(const std::vector<uint8_t>& key, std::vector<uint8_t>& data,
                        uint8_t chain[16]) {
        Aes256Context context;
        Aes256SetDecryptKey(&context, key.data());
        Aes256CbcDecrypt(data.size() / 16, data.data(), &context, chain);
    }
};

struct CamelliaCbc {
    static void Encrypt(const std::vector<uint8_t>& key, std::vector<uint8_t>& data,
                        uint8_t chain[16]) {
        Camellia256Context context;
        Camellia256SetKey(&context, key.data());
        Camellia256CbcEncrypt(data.size() / 16, data.data(), &context, chain);
    }
    static void Decrypt(const std::vector<uint8_t>& key, std::vector<uint8_t>& data,
                        uint8_t chain[16]) {
        Camellia256Context context;
        Camellia256SetKey(&context, key.data());
        Camellia256CbcDecrypt(data.size() / 16, data.data(), &context, chain);
    }
};

template <typename Cbc>
void CheckVectors(const std::string& file) {
    const auto vectors = ReadVectors(file);
    ASSERT_GE(vectors.size(), 5u);
    for (const auto& v : vectors) {
        uint8_t chain[16];
        std::copy(v.iv.begin(), v.iv.end(), chain);
        std::vector<uint8_t> data = v.encrypt ? v.plain : v.cipher;
        if (v.encrypt) {
            Cbc::Encrypt(v.key, data, chain);
            EXPECT_EQ(ToHex(data), ToHex(v.cipher)) << file;
        } else {
            Cbc::Decrypt(v.key, data, chain);
            EXPECT_EQ(ToHex(data), ToHex(v.plain)) << file;
        }
        // Either way the chain ends on the last ciphertext block.
        EXPECT_EQ(ToHex(chain, 16), ToHex(v.cipher.data() + v.cipher.size() - 16, 16)) << file;
    }
}

// Enciphering in pieces must give the same bytes as one call, and a block
// count of 0 must leave buffer and chain alone.
template <typename Cbc>
void CheckSplitCalls() {
    const auto key = PatternBytes(32, 7);
    const auto iv = PatternBytes(16, 8);
    const auto plain = PatternBytes(16 * 9, 9);

    std::vector<uint8_t> whole = plain;
    uint8_t chain[16];
    std::copy(iv.begin(), iv.end(), chain);
    Cbc::Encrypt(key, whole, chain);

    std::vector<uint8_t> pieces;
    std::copy(iv.begin(), iv.end(), chain);
    for (std::size_t blocks : {0, 4, 0, 1, 4}) {
        std::vector<uint8_t> part(plain.begin() + pieces.size(),
                                  plain.begin() + pieces.size() + 16 * blocks);
        Cbc::Encrypt(key, part, chain);
        pieces.insert(pieces.end(), part.begin(), part.end());
    }
    EXPECT_EQ(ToHex(pieces), ToHex(whole));

    std::copy(iv.begin(), iv.end(), chain);
    std::vector<uint8_t> back;
    for (std::size_t blocks : {3, 0, 6}) {
        std::vector<uint8_t> part(whole.begin() + back.size(),
                                  whole.begin() + back.size() + 16 * blocks);
        Cbc::Decrypt(key, part, chain);
        back.insert(back.end(), part.begin(), part.end());
    }
    EXPECT_EQ(ToHex(back), ToHex(plain));
}

}  // namespace

TEST(Aes256Cbc, MatchesPublishedMultiBlockVectors) {
    CheckVectors<AesCbc>("CBCMMT256.rsp");
}

TEST(Camellia256Cbc, MatchesPublishedVectors) {
    CheckVectors<CamelliaCbc>("camellia256_cbc.rsp");
}

TEST(Aes256Cbc, ChainRunsOnAcrossCalls) {
    CheckSplitCalls<AesCbc>();
}

TEST(Camellia256Cbc, ChainRunsOnAcrossCalls) {
    CheckSplitCalls<CamelliaCbc>();
}
