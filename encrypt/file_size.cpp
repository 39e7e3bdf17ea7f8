#include "encrypt/file_size.h"

#include <fstream>

std::optional<uint64_t> QueryFileSize(const std::filesystem::path& path) {
    std::error_code error;
    // Only regular files: a folder or a device has no size to encrypt.
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream probe(path, std::ios::binary);
    if (!probe) return std::nullopt;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    return static_cast<uint64_t>(size);
}

std::string FormatSizeText(std::optional<uint64_t> size) {
    if (!size) return "打开文件失败";
    return std::to_string(*size / 1024) + " KB";
}
