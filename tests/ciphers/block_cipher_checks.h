#pragma once
// Shared helpers of the block-cipher tests: readers for the published vector
// files, ECB and CBC chains built on a single-block cipher, and the AESAVS
// Monte Carlo procedure. Header-only because every test file is its own
// program.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/test_files.h"

namespace cipher_checks {

using Bytes = std::vector<uint8_t>;
using Block = std::array<uint8_t, 16>;

/// One known-answer record. `encrypt` tells which section it came from.
struct CipherVector {
    bool encrypt = true;
    int count = -1;
    Bytes key, iv, plaintext, ciphertext;
    std::string where;  // file and line, for failure messages
};

/// A 256-bit block cipher seen through one key at a time. Block operations
/// are always called in place, as the file procedures do.
class TestCipher {
  public:
    virtual ~TestCipher() = default;
    virtual void SetKey(const uint8_t key[32]) = 0;
    virtual void EncryptInPlace(uint8_t block[16]) const = 0;
    virtual void DecryptInPlace(uint8_t block[16]) const = 0;
};

inline std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

/// Reads a CAVP-style block-cipher file ([ENCRYPT]/[DECRYPT] sections,
/// records of COUNT, KEY, IV, PLAINTEXT, CIPHERTEXT).
inline std::vector<CipherVector> ReadRsp(const std::string& relative) {
    std::ifstream in(testing_support::DataPath(relative));
    EXPECT_TRUE(in.good()) << "cannot open " << relative;
    std::vector<CipherVector> vectors;
    bool encrypt = true;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line == "[ENCRYPT]" || line == "[DECRYPT]") {
            encrypt = line == "[ENCRYPT]";
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        if (name == "COUNT") {
            vectors.push_back({encrypt,
                               std::stoi(value),
                               {},
                               {},
                               {},
                               {},
                               relative + ":" + std::to_string(number)});
            continue;
        }
        if (vectors.empty()) continue;
        CipherVector& v = vectors.back();
        if (name == "KEY") v.key = testing_support::FromHex(value);
        if (name == "IV") v.iv = testing_support::FromHex(value);
        if (name == "PLAINTEXT") v.plaintext = testing_support::FromHex(value);
        if (name == "CIPHERTEXT") v.ciphertext = testing_support::FromHex(value);
    }
    return vectors;
}

// Reads the designers' list: "K No.nnn : bytes" starts a key, followed by
// "P No.nnn : bytes" / "C No.nnn : bytes" pairs.
inline std::vector<CipherVector> ReadDesignersList(const std::string& relative) {
    std::ifstream in(testing_support::DataPath(relative));
    EXPECT_TRUE(in.good()) << "cannot open " << relative;
    std::vector<CipherVector> vectors;
    Bytes key;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto colon = line.find(" : ");
        if (colon == std::string::npos || line.size() < 2 || line[1] != ' ') continue;
        const Bytes value = testing_support::FromHex(line.substr(colon + 3));
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

/// Enciphers or deciphers whole blocks independently, in place.
inline Bytes Ecb(const TestCipher& cipher, bool encrypt, Bytes data) {
    for (std::size_t i = 0; i + 16 <= data.size(); i += 16) {
        if (encrypt) {
            cipher.EncryptInPlace(data.data() + i);
        } else {
            cipher.DecryptInPlace(data.data() + i);
        }
    }
    return data;
}

inline void XorBlock(uint8_t* target, const uint8_t* source) {
    for (int i = 0; i < 16; ++i) target[i] ^= source[i];
}

/// CBC encryption of whole blocks, in place.
inline Bytes CbcEncrypt(const TestCipher& cipher, const Bytes& iv, Bytes data) {
    const uint8_t* chain = iv.data();
    for (std::size_t i = 0; i + 16 <= data.size(); i += 16) {
        XorBlock(data.data() + i, chain);
        cipher.EncryptInPlace(data.data() + i);
        chain = data.data() + i;
    }
    return data;
}

/// CBC decryption of whole blocks, in place.
inline Bytes CbcDecrypt(const TestCipher& cipher, const Bytes& iv, Bytes data) {
    Block chain{}, next{};
    std::copy(iv.begin(), iv.end(), chain.begin());
    for (std::size_t i = 0; i + 16 <= data.size(); i += 16) {
        std::copy_n(data.data() + i, 16, next.begin());
        cipher.DecryptInPlace(data.data() + i);
        XorBlock(data.data() + i, chain.data());
        chain = next;
    }
    return data;
}

/// Checks one record in both directions (whichever section it came from).
inline void CheckVector(TestCipher& cipher, const CipherVector& v, bool cbc) {
    using testing_support::ToHex;
    ASSERT_EQ(v.key.size(), 32u) << v.where;
    ASSERT_EQ(v.plaintext.size(), v.ciphertext.size()) << v.where;
    ASSERT_FALSE(v.plaintext.empty()) << v.where;
    ASSERT_EQ(v.plaintext.size() % 16, 0u) << v.where;
    cipher.SetKey(v.key.data());
    const Bytes enciphered =
        cbc ? CbcEncrypt(cipher, v.iv, v.plaintext) : Ecb(cipher, true, v.plaintext);
    const Bytes deciphered =
        cbc ? CbcDecrypt(cipher, v.iv, v.ciphertext) : Ecb(cipher, false, v.ciphertext);
    EXPECT_EQ(ToHex(enciphered), ToHex(v.ciphertext)) << v.where << " (enciphering)";
    EXPECT_EQ(ToHex(deciphered), ToHex(v.plaintext)) << v.where << " (deciphering)";
}

inline Block ToBlock(const Bytes& bytes) {
    Block block{};
    EXPECT_EQ(bytes.size(), 16u);
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 16), block.begin());
    return block;
}

/// The last-but-one and the last output block of one outer Monte Carlo step
/// (1000 chained block operations, AESAVS).
struct MonteCarloOutput {
    Block lastButOne{}, last{};
};

inline MonteCarloOutput MonteCarloEcb(const TestCipher& cipher, bool encrypt, Block input) {
    MonteCarloOutput out;
    for (int j = 0; j < 1000; ++j) {
        out.lastButOne = input;
        encrypt ? cipher.EncryptInPlace(input.data()) : cipher.DecryptInPlace(input.data());
    }
    out.last = input;
    return out;
}

// Encryption: CT[j] = E(PT[j] ^ CT[j-1]) with CT[-1] = IV, and the next input
// is IV for j = 0, CT[j-1] after that.
inline MonteCarloOutput MonteCarloCbcEncrypt(const TestCipher& cipher, Block iv, Block input) {
    Block chain = iv;
    for (int j = 0; j < 1000; ++j) {
        const Block nextInput = chain;
        XorBlock(input.data(), chain.data());
        cipher.EncryptInPlace(input.data());
        chain = input;
        input = nextInput;
    }
    return {input, chain};  // input now holds CT[998]
}

// Decryption: PT[j] = D(CT[j]) ^ CT[j-1] with CT[-1] = IV, and the next input
// is IV for j = 0, PT[j-1] after that.
inline MonteCarloOutput MonteCarloCbcDecrypt(const TestCipher& cipher, Block iv, Block input) {
    MonteCarloOutput out;
    Block chain = iv;
    for (int j = 0; j < 1000; ++j) {
        const Block nextInput = j == 0 ? iv : out.last;
        Block block = input;
        cipher.DecryptInPlace(block.data());
        XorBlock(block.data(), chain.data());
        chain = input;
        out.lastButOne = out.last;
        out.last = block;
        input = nextInput;
    }
    return out;
}

/// Runs the Monte Carlo test over the records of one section: every record's
/// output from its own key and inputs, and every next record's key, IV and
/// input derived from the outputs as AESAVS prescribes.
inline void CheckMonteCarlo(TestCipher& cipher, const std::vector<CipherVector>& records,
                            bool cbc) {
    using testing_support::ToHex;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CipherVector& r = records[i];
        ASSERT_EQ(r.key.size(), 32u) << r.where;
        const bool encrypt = r.encrypt;
        const Block input = ToBlock(encrypt ? r.plaintext : r.ciphertext);
        const Bytes& expected = encrypt ? r.ciphertext : r.plaintext;
        cipher.SetKey(r.key.data());
        MonteCarloOutput out;
        if (!cbc) {
            out = MonteCarloEcb(cipher, encrypt, input);
        } else if (encrypt) {
            out = MonteCarloCbcEncrypt(cipher, ToBlock(r.iv), input);
        } else {
            out = MonteCarloCbcDecrypt(cipher, ToBlock(r.iv), input);
        }
        EXPECT_EQ(ToHex(out.last.data(), 16), ToHex(expected)) << r.where;
        if (i + 1 == records.size()) break;

        const CipherVector& next = records[i + 1];
        Bytes nextKey = r.key;
        XorBlock(nextKey.data(), out.lastButOne.data());
        XorBlock(nextKey.data() + 16, out.last.data());
        EXPECT_EQ(ToHex(nextKey), ToHex(next.key)) << next.where << " (key)";
        const Block& nextInput = cbc ? out.lastButOne : out.last;
        EXPECT_EQ(ToHex(nextInput.data(), 16), ToHex(encrypt ? next.plaintext : next.ciphertext))
            << next.where << " (input)";
        if (cbc) {
            EXPECT_EQ(ToHex(out.last.data(), 16), ToHex(next.iv)) << next.where << " (IV)";
        }
    }
}

/// Full path of `name` on PATH, if it is there.
inline std::optional<std::string> FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const auto candidate = std::filesystem::path(dir.empty() ? "." : dir) / name;
        if (std::filesystem::is_regular_file(candidate)) return candidate.string();
    }
    return std::nullopt;
}

/// Enciphers `plaintext` with `openssl enc -<cipher> -nopad -K <key>`; empty
/// when openssl is missing or fails.
inline std::optional<Bytes> OpensslEncrypt(const std::string& cipher, const Bytes& key,
                                           const Bytes& plaintext) {
    const auto openssl = FindProgram("openssl");
    if (!openssl) return std::nullopt;
    const auto result = testing_support::RunProgram(
        {*openssl, "enc", "-" + cipher, "-nopad", "-K", testing_support::ToHex(key)},
        std::string(plaintext.begin(), plaintext.end()));
    if (result.exit_code != 0) return std::nullopt;
    return Bytes(result.out.begin(), result.out.end());
}

}  // namespace cipher_checks
