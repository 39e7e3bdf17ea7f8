// UTF-8 passwords to key bytes: the conversion accepts exactly well-formed
// UTF-8 (checked against the Unicode standard's table of well-formed byte
// sequences), gives back text that encodes to the same bytes, and the key
// holds the low byte of each of the first 32 units, then zeros.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "encrypt/key_bytes.h"

namespace {

// Length of the well-formed sequence at `s[i]`, or 0 (Unicode, table 3-7).
std::size_t WellFormedLength(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<uint8_t>(s[i + k]); };
    const std::size_t left = s.size() - i;
    const auto in = [](uint8_t v, uint8_t low, uint8_t high) { return v >= low && v <= high; };
    if (b(0) <= 0x7F) return 1;
    if (in(b(0), 0xC2, 0xDF)) return left >= 2 && in(b(1), 0x80, 0xBF) ? 2 : 0;
    if (in(b(0), 0xE0, 0xEF)) {
        if (left < 3) return 0;
        const uint8_t low = b(0) == 0xE0 ? 0xA0 : 0x80;
        const uint8_t high = b(0) == 0xED ? 0x9F : 0xBF;
        return in(b(1), low, high) && in(b(2), 0x80, 0xBF) ? 3 : 0;
    }
    if (in(b(0), 0xF0, 0xF4)) {
        if (left < 4) return 0;
        const uint8_t low = b(0) == 0xF0 ? 0x90 : 0x80;
        const uint8_t high = b(0) == 0xF4 ? 0x8F : 0xBF;
        return in(b(1), low, high) && in(b(2), 0x80, 0xBF) && in(b(3), 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

bool WellFormed(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = WellFormedLength(s, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string ToUtf8(std::u16string_view units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::u16string units;
    const bool converted = Utf8ToUtf16(text, units);
    Check(converted == WellFormed(text));
    if (!converted) {
        Check(units.empty());
        return 0;
    }
    Check(ToUtf8(units) == text);
    uint8_t key[32];
    KeyBytesFromPassword(units, key);
    bool all_zero = true;
    for (std::size_t i = 0; i < 32; ++i) {
        const uint8_t expected = i < units.size() ? static_cast<uint8_t>(units[i] & 0xFF) : 0;
        Check(key[i] == expected);
        all_zero = all_zero && expected == 0;
    }
    Check(KeyBytesAreEmpty(key) == all_zero);
    return 0;
}
