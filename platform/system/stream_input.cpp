#include "platform/system/stream_input.h"

#include <fcntl.h>
#include <sys/stat.h>

FileHandle OpenStreamForReading(const std::filesystem::path& path) {
    return FileHandle::Adopt(open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

bool IsFolder(const FileHandle& file) {
    struct stat status {};
    return file.IsOpen() && fstat(file.descriptor(), &status) == 0 && S_ISDIR(status.st_mode);
}

StreamShape ShapeOf(FileHandle& file) {
    struct stat status {};
    StreamShape shape;
    if (!file.IsOpen() || fstat(file.descriptor(), &status) != 0) return shape;
    shape.folder = S_ISDIR(status.st_mode);
    if (S_ISREG(status.st_mode)) shape.size = static_cast<uint64_t>(status.st_size);
    if (S_ISBLK(status.st_mode)) shape.size = file.MeasureSize();
    return shape;
}

std::FILE* OpenBinaryStream(const std::filesystem::path& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}
