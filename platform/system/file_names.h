#pragma once
// Names in a folder: renaming without replacing what is there.

#include <filesystem>

/// Renames `from` to `to` in one step unless `to` exists (errno EEXIST then);
/// false with errno set on any failure.
bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
