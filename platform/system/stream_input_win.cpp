#include "platform/system/stream_input.h"

#include <windows.h>

#include <string>

#include "platform/system/windows_errors.h"

FileHandle OpenStreamForReading(const std::filesystem::path& path) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        FailWithLastError();
        return FileHandle();
    }
    return FileHandle::Adopt(reinterpret_cast<FileHandle::Native>(handle));
}

bool IsFolder(const FileHandle& file) {
    FILE_BASIC_INFO info{};
    return file.IsOpen() &&
           GetFileInformationByHandleEx(reinterpret_cast<HANDLE>(file.descriptor()), FileBasicInfo,
                                        &info, sizeof info) &&
           (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

StreamShape ShapeOf(FileHandle& file) {
    StreamShape shape;
    shape.folder = IsFolder(file);
    if (!shape.folder && (file.IsRegularFile() || file.IsBlockDevice()))
        shape.size = file.MeasureSize();
    return shape;
}

std::FILE* OpenBinaryStream(const std::filesystem::path& path, const char* mode) {
    const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(path.c_str(), wide_mode.c_str());
}
