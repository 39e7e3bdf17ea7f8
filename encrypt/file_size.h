#pragma once
// The size column of the file lists.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

/// The size of a file that can be opened for reading, or nothing when it
/// cannot (missing, a folder, unreadable, not a regular file).
std::optional<uint64_t> QueryFileSize(const std::filesystem::path& path);

/// "<size / 1024> KB" (rounded down), or "打开文件失败" for a file that could not
/// be opened. UTF-8.
std::string FormatSizeText(std::optional<uint64_t> size);
