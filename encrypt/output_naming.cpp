#include "encrypt/output_naming.h"

#include <string>
#include <string_view>

std::filesystem::path OutputPathFor(const std::filesystem::path& input, bool camellia,
                                    bool decrypt) {
    const std::string_view extension = camellia ? kCamellia256Extension : kAes256Extension;
    const std::string& text = input.native();
    if (!decrypt) return std::filesystem::path(text + std::string(extension));
    if (text.size() > extension.size() && text.ends_with(extension)) {
        return std::filesystem::path(text.substr(0, text.size() - extension.size()));
    }
    return std::filesystem::path(text + kDecryptedSuffix);
}
