#include "encrypt/key_bytes.h"

#include <cstring>

#include "platform/system/secure_wipe.h"

void KeyBytesFromPassword(std::u16string_view password, uint8_t key[32]) {
    std::memset(key, 0, 32);
    for (std::size_t i = 0; i < password.size() && i < 32; ++i) {
        key[i] = static_cast<uint8_t>(password[i] & 0xFF);
    }
}

bool KeyBytesAreEmpty(const uint8_t key[32]) {
    uint8_t any = 0;
    for (std::size_t i = 0; i < 32; ++i) any |= key[i];
    return any == 0;
}

namespace {

// Decodes one character starting at `text[i]`; returns its length in bytes, or
// 0 when the bytes there are not a valid UTF-8 character.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& code) {
    const auto lead = static_cast<uint8_t>(text[i]);
    std::size_t length;
    char32_t smallest;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, smallest = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, smallest = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, smallest = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - i < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<uint8_t>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

template <typename U16String>
bool ConvertUtf8ToUtf16(std::string_view utf8, U16String& out) {
    out.clear();
    // Never more units than bytes: reserving up front means the string never
    // reallocates and leaves no stray copy of a password in freed memory.
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        const std::size_t length = DecodeUtf8(utf8, i, code);
        if (length == 0) {
            SecureWipe(out.data(), out.size() * sizeof(char16_t));
            out.clear();
            return false;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += length;
    }
    return true;
}

}  // namespace

bool Utf8ToUtf16(std::string_view utf8, std::u16string& out) {
    return ConvertUtf8ToUtf16(utf8, out);
}

bool Utf8ToUtf16(std::string_view utf8, SecretU16String::String& out) {
    return ConvertUtf8ToUtf16(utf8, out);
}
