#pragma once
// Names in a folder: renaming without replacing what is there, and paths as
// the UTF-8 text that the command line and its output use.

#include <filesystem>
#include <string>
#include <string_view>

/// Renames `from` to `to` in one step unless `to` exists (errno EEXIST then);
/// false with errno set on any failure.
bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

/// The path named by UTF-8 `text`. On POSIX the bytes are the name as they
/// are; on Windows they become the UTF-16 name the system uses (a byte that
/// is not UTF-8 becomes U+FFFD).
std::filesystem::path PathFromUtf8(std::string_view text);

/// `path` as UTF-8 text for messages and output lines: on POSIX the name's
/// bytes as they are; on Windows every character of the name (an unpaired
/// surrogate becomes U+FFFD).
std::string PathToUtf8(const std::filesystem::path& path);
