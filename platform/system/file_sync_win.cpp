#include "platform/system/file_sync.h"

#include <io.h>
#include <windows.h>

#include "platform/system/injected_faults.h"
#include "platform/system/windows_errors.h"

bool SyncFileDescriptor(int fd) {
    const intptr_t handle = _get_osfhandle(fd);
    if (handle == -1) {
        errno = EBADF;
        return false;
    }
    return FlushFileBuffers(reinterpret_cast<HANDLE>(handle)) != 0 || FailWithLastError();
}

bool SyncFolder(const std::filesystem::path& folder) {
    // NTFS journals a folder's changes itself; flushing the folder's handle
    // writes the journal out where the system allows it (an administrator's
    // handle), and is not needed for the rename to last otherwise. A folder
    // that cannot be opened is a failure.
    const std::filesystem::path where = folder.empty() ? std::filesystem::path(".") : folder;
    HANDLE handle = CreateFileW(where.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        handle = CreateFileW(where.c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return FailWithLastError();
    } else {
        FlushFileBuffers(handle);
    }
    const bool failed = injected_faults::SyncFails(handle);
    if (failed) FailWithLastError();
    CloseHandle(handle);
    return !failed;
}
