#include "tools/base64_text.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/system/code_page.h"
#include "tools/base64.h"

std::optional<std::u16string> EncodeFieldText(std::u16string_view field, std::string_view charset) {
    if (field.empty()) return std::nullopt;
    const std::string encoded = Base64Encode(Utf16ToCodePage(field, charset));
    return std::u16string(encoded.begin(), encoded.end());
}

std::optional<std::u16string> DecodeFieldText(std::u16string_view field, std::string_view charset) {
    if (field.empty()) return std::nullopt;
    std::vector<uint8_t> bytes = Base64Decode(field);
    bytes.erase(std::remove(bytes.begin(), bytes.end(), uint8_t{0}), bytes.end());
    return CodePageToUtf16(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), charset);
}
