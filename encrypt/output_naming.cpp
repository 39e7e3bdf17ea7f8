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
    // In the system's own characters (UTF-16 on Windows); the suffixes are
    // ASCII, the same in every encoding.
    using Text = std::filesystem::path::string_type;
    const std::string_view ascii = camellia ? kCamellia256Extension : kAes256Extension;
    const Text extension(ascii.begin(), ascii.end());
    const std::string_view decrypted(kDecryptedSuffix);
    const Text& text = input.native();
    if (!decrypt) return std::filesystem::path(text + extension);
    if (text.size() > extension.size() && text.ends_with(extension)) {
        std::filesystem::path stripped(text.substr(0, text.size() - extension.size()));
        if (!NamesAFolder(stripped)) return stripped;
    }
    return std::filesystem::path(text + Text(decrypted.begin(), decrypted.end()));
}
