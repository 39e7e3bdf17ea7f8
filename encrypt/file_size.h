#pragma once
// The size of a file as the file lists show it.

#include <cstdint>
#include <filesystem>
#include <optional>

/// The size of a file that can be opened for reading, or nothing when it
/// cannot (missing, a folder, unreadable, not a regular file).
std::optional<uint64_t> QueryFileSize(const std::filesystem::path& path);
