#pragma once
// Conversion between UTF-16 text and the bytes of a character set: by default
// the character set of the user's locale (LC_CTYPE), which takes the place of
// the system's ANSI code page (UTF-8 on most systems, GBK under zh_CN.GBK).

#include <string>
#include <string_view>

/// Adopts the user's locale for character classification and conversion
/// (setlocale(LC_CTYPE, "")). Called once at program start, before threads.
void UseUserLocaleCharset();

/// Name of the current locale's character set (nl_langinfo(CODESET)), for
/// example "UTF-8", "GBK" or "ANSI_X3.4-1968" in the C locale.
std::string LocaleCharset();

/// Converts UTF-16 text into bytes of `charset` (empty: the locale's). A
/// character the set cannot represent, and an unpaired surrogate, becomes "?".
/// A charset the system does not know is treated as UTF-8.
std::string Utf16ToCodePage(std::u16string_view text, std::string_view charset = {});

/// Converts bytes of `charset` (empty: the locale's) into UTF-16. Every byte
/// that does not begin a valid sequence, including an incomplete sequence at
/// the end, becomes U+FFFD and conversion goes on with the next byte. A
/// charset the system does not know is treated as UTF-8.
std::u16string CodePageToUtf16(std::string_view bytes, std::string_view charset = {});
