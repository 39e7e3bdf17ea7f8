#pragma once
// Inputs read as streams, to their end, whatever kind of file they are: a
// regular file, a device, a named pipe, or a pipe named through /dev/fd.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "platform/system/file_handle.h"

/// Opens `path` for reading with an ordinary (blocking) open, as the standard
/// tools do: a named pipe waits for its writer there, and its reads wait for
/// data instead of taking an empty pipe for its end. The result is closed,
/// with errno set, when the open fails.
FileHandle OpenStreamForReading(const std::filesystem::path& path);

/// True when the open file is a folder, which has no contents to read.
bool IsFolder(const FileHandle& file);

/// What an open input is, asked of the system once: a folder, which has no
/// contents to read, or else an input with a size when it has one (a regular
/// file or a block device; a pipe or a character device has none).
struct StreamShape {
    bool folder = false;
    std::optional<uint64_t> size;
};
StreamShape ShapeOf(FileHandle& file);

/// Opens `path` as a C stream in binary mode ("rb", "wb"): the standard
/// library's fopen takes only narrow names, which on Windows cannot name
/// every file. Null with errno set when the open fails.
std::FILE* OpenBinaryStream(const std::filesystem::path& path, const char* mode);
