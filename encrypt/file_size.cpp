#include "encrypt/file_size.h"

#include "platform/system/file_handle.h"

std::optional<uint64_t> QueryFileSize(const std::filesystem::path& path) {
    // Only regular files that can be opened for reading: a folder or a device
    // has no size to encrypt.
    FileHandle file = FileHandle::OpenForReading(path);
    if (!file.IsRegularFile()) return std::nullopt;
    return file.MeasureSize();
}
