#pragma once
// The 32 key bytes of a password, taken without hashing or stretching, and the
// text conversion that lets a UTF-8 password give the same key as one typed
// into the window.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system/secret_buffer.h"

/// Largest password, in UTF-16 code units, that fits the 32 key bytes.
inline constexpr std::size_t kMaxPasswordUnits = 32;

/// Fills `key`: byte i is the low 8 bits of UTF-16 code unit i of `password`,
/// and the bytes after the last unit are 0x00. So characters that differ only
/// above their low byte give the same key, as does a password followed by
/// units whose low byte is zero. Units beyond the 32nd are ignored (callers
/// refuse such passwords first).
void KeyBytesFromPassword(std::u16string_view password, uint8_t key[32]);

/// True when all 32 bytes of `key` are zero: the key of an empty password,
/// which a password of only NULs, or of characters whose low byte is zero
/// ("\u4E00", "\u0100"), also gives. Callers refuse such a key as they refuse
/// an empty password.
bool KeyBytesAreEmpty(const uint8_t key[32]);

/// Converts UTF-8 text to UTF-16 in `out` (characters above U+FFFF become
/// surrogate pairs). Returns false, with `out` empty, for text that is not
/// valid UTF-8 (stray continuation bytes, overlong forms, surrogates, values
/// above U+10FFFF, a cut-off sequence). `out` is sized once up front, so no
/// copy of the text is left behind in released memory.
bool Utf8ToUtf16(std::string_view utf8, std::u16string& out);
/// The same, into text that is wiped when released (a password).
bool Utf8ToUtf16(std::string_view utf8, SecretU16String::String& out);
