#include "platform/system/code_page.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

std::string Upper(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// The code page a character set's name stands for: the ANSI code page when
// none is named, UTF-8 for a name the system does not know.
UINT CodePageNamed(std::string_view charset) {
    if (charset.empty()) return GetACP();
    const std::string name = Upper(charset);
    UINT page = CP_UTF8;
    if (name == "GBK" || name == "GB2312" || name == "EUC-CN") {
        page = 936;
    } else if (name == "BIG5") {
        page = 950;
    } else if (name == "SHIFT_JIS" || name == "SJIS") {
        page = 932;
    } else if (name == "ISO-8859-1" || name == "LATIN1") {
        page = 28591;
    } else if (name == "ASCII" || name == "US-ASCII" || name == "ANSI_X3.4-1968") {
        page = 20127;
    } else {
        for (const char* prefix : {"CP", "WINDOWS-"}) {
            const std::string_view p(prefix);
            if (name.size() > p.size() && name.compare(0, p.size(), p) == 0)
                page = static_cast<UINT>(std::strtoul(name.c_str() + p.size(), nullptr, 10));
        }
    }
    return page == CP_UTF8 || IsValidCodePage(page) ? page : CP_UTF8;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Converts `text` (without unpaired surrogates) into `page`; false when a
// character had no place in it.
bool EncodeRun(std::u16string_view text, UINT page, std::string& out) {
    if (text.empty()) return true;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    const bool utf8 = page == CP_UTF8;
    BOOL defaulted = FALSE;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL* defaulted_out = utf8 ? nullptr : &defaulted;
    const char* question = utf8 ? nullptr : "?";
    const int bytes =
        WideCharToMultiByte(page, flags, wide, size, nullptr, 0, question, defaulted_out);
    if (bytes <= 0 || defaulted) return false;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(bytes));
    WideCharToMultiByte(page, flags, wide, size, out.data() + at, bytes, question, defaulted_out);
    return true;
}

// One character at a time, for text holding characters the page lacks.
void EncodeEach(std::u16string_view text, UINT page, std::string& out) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t units = IsHighSurrogate(text[i]) && i + 1 < text.size() ? 2 : 1;
        if (!EncodeRun(text.substr(i, units), page, out)) out.push_back('?');
        i += units;
    }
}

// Decodes UTF-8, one U+FFFD for each byte that does not begin a complete,
// shortest-form sequence of a valid character.
void DecodeUtf8(std::string_view bytes, std::u16string& text) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned lead = b[i];
        std::size_t length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = length > 0 && i + length <= n;
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (b[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (b[i + k] & 0x3F);
        }
        const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && code >= shortest[length] && code <= 0x10FFFF &&
                !(code >= 0xD800 && code <= 0xDFFF);
        if (!valid) {
            text.push_back(kReplacementCharacter);
            ++i;
        } else if (code >= 0x10000) {
            text.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
            i += length;
        } else {
            text.push_back(static_cast<char16_t>(code));
            i += length;
        }
    }
}

bool DecodeRun(std::string_view bytes, UINT page, std::u16string& text) {
    const int size = static_cast<int>(bytes.size());
    const int units =
        MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (units <= 0) return false;
    const std::size_t at = text.size();
    text.resize(at + static_cast<std::size_t>(units));
    MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size,
                        reinterpret_cast<wchar_t*>(text.data() + at), units);
    return true;
}

// A double-byte code page one character at a time: a lead byte with its
// trail byte, or a single byte; what does not convert is one U+FFFD per byte.
void DecodeEach(std::string_view bytes, UINT page, std::u16string& text) {
    for (std::size_t i = 0; i < bytes.size();) {
        const bool lead = IsDBCSLeadByteEx(page, static_cast<BYTE>(bytes[i])) != 0;
        if (lead && i + 1 < bytes.size() && DecodeRun(bytes.substr(i, 2), page, text)) {
            i += 2;
        } else {
            if (lead || !DecodeRun(bytes.substr(i, 1), page, text))
                text.push_back(kReplacementCharacter);
            ++i;
        }
    }
}

}  // namespace

void UseUserLocaleCharset() {
    // The ANSI code page is the process's own from the start.
}

std::string LocaleCharset() {
    const UINT page = GetACP();
    return page == CP_UTF8 ? "UTF-8" : "CP" + std::to_string(page);
}

std::string Utf16ToCodePage(std::u16string_view text, std::string_view charset) {
    std::string out;
    const UINT page = CodePageNamed(charset);
    // Runs between unpaired surrogates, which no code page can hold.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        bool lone = false;
        if (i < text.size()) {
            if (IsHighSurrogate(text[i])) {
                if (i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
                    ++i;
                    continue;
                }
                lone = true;
            } else {
                lone = IsLowSurrogate(text[i]);
            }
            if (!lone) continue;
        }
        const std::u16string_view run = text.substr(start, i - start);
        const std::size_t before = out.size();
        if (!EncodeRun(run, page, out)) {
            out.resize(before);
            EncodeEach(run, page, out);
        }
        if (lone) out.push_back('?');
        start = i + 1;
    }
    return out;
}

std::u16string CodePageToUtf16(std::string_view bytes, std::string_view charset) {
    std::u16string text;
    if (bytes.empty()) return text;
    const UINT page = CodePageNamed(charset);
    if (page == CP_UTF8) {
        DecodeUtf8(bytes, text);
    } else if (!DecodeRun(bytes, page, text)) {
        text.clear();
        DecodeEach(bytes, page, text);
    }
    return text;
}
