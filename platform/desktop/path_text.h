#pragma once
// Conversion between the texts the windows show and the paths the core opens.
// File names are the system's bytes; they are decoded the way the file system
// does.

#include <filesystem>
#include <string>

std::filesystem::path ToPath(const std::u16string& text);

/// The full path of `text`, for a path given relative to the current folder too.
std::u16string AbsolutePathText(const std::u16string& text);
