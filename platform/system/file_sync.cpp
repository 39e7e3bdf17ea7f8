#include "platform/system/file_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

bool SyncFileDescriptor(int fd) {
    while (fsync(fd) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

bool SyncFolder(const std::filesystem::path& folder) {
    const std::filesystem::path where = folder.empty() ? std::filesystem::path(".") : folder;
    int fd = open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool synced = SyncFileDescriptor(fd);
    close(fd);
    return synced;
}
