#include "encrypt/output_naming.h"

#include <string>
#include <string_view>
#include <system_error>

namespace {

// A stripped name that would name a folder ("sub/" from "sub/.aes256", or
// "docs" when "docs" is a folder) cannot take the output.
bool NamesAFolder(const std::filesystem::path& path) {
    const std::filesystem::path name = path.filename();
    std::error_code error;
    return name.empty() || name == "." || name == ".." ||
           std::filesystem::is_directory(path, error);
}

}  // namespace

std::filesystem::path OutputPathFor(const std::filesystem::path& input, bool camellia,
                                    bool decrypt) {
    const std::string_view extension = camellia ? kCamellia256Extension : kAes256Extension;
    const std::string& text = input.native();
    if (!decrypt) return std::filesystem::path(text + std::string(extension));
    if (text.size() > extension.size() && text.ends_with(extension)) {
        std::filesystem::path stripped(text.substr(0, text.size() - extension.size()));
        if (!NamesAFolder(stripped)) return stripped;
    }
    return std::filesystem::path(text + kDecryptedSuffix);
}
