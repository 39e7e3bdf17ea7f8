#pragma once
// The Base64 field of the tools page: its text is encoded from, and decoded
// into, the bytes of the locale's character set (see platform/system/code_page.h).

#include <optional>
#include <string>
#include <string_view>

/// "编码": the field's text as one unbroken line of Base64 of its bytes in
/// `charset` (empty: the locale's); characters the set cannot represent are
/// encoded as "?". Returns nullopt, meaning "leave the field unchanged", when
/// the field is empty.
std::optional<std::u16string> EncodeFieldText(std::u16string_view field,
                                              std::string_view charset = {});

/// "解码": the field's text decoded leniently (white space skipped, other
/// characters outside the alphabet count as 0, an unpadded last group of two
/// or three characters gives its one or two bytes) and the bytes read in
/// `charset` (empty: the locale's). Zero bytes are left out, since the field
/// cannot hold them; invalid byte sequences become U+FFFD. Returns
/// nullopt, meaning "leave the field unchanged", when the field is empty.
std::optional<std::u16string> DecodeFieldText(std::u16string_view field,
                                              std::string_view charset = {});
