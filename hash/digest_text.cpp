#include "hash/digest_text.h"

namespace {

const char* Digits(HexCase letter_case) {
    return letter_case == HexCase::kUpper ? "0123456789ABCDEF" : "0123456789abcdef";
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string DigestHex(const uint8_t* digest, std::size_t size, HexCase letter_case) {
    const char* digits = Digits(letter_case);
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        text.push_back(digits[digest[i] >> 4]);
        text.push_back(digits[digest[i] & 0x0f]);
    }
    return text;
}

std::string Md5WordsHex(const uint32_t digest_words[4], HexCase letter_case) {
    uint8_t bytes[16];
    Md5WordsToBytes(digest_words, bytes);
    return DigestHex(bytes, sizeof bytes, letter_case);
}

void Md5WordsToBytes(const uint32_t digest_words[4], uint8_t digest[16]) {
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < 4; ++i) digest[4 * k + i] = uint8_t(digest_words[k] >> (24 - 8 * i));
    }
}

bool ParseDigestHex(std::string_view text, std::vector<uint8_t>& digest) {
    digest.clear();
    if (text.size() % 2 != 0) return false;
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(uint8_t(high << 4 | low));
    }
    digest = std::move(bytes);
    return true;
}
