#include "platform/system/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "platform/system/file_sync.h"
#include "platform/system/random.h"

namespace {

bool DestinationMayBeReplaced(const std::filesystem::path& destination) {
    struct stat status {};
    if (stat(destination.c_str(), &status) != 0) return errno == ENOENT;
    return S_ISREG(status.st_mode);
}

// A hidden name that never depends on the destination's name, so that it
// always fits the file system's name length limit.
std::filesystem::path TemporaryNameIn(const std::filesystem::path& folder) {
    uint8_t random[8];
    if (!SystemRandomBytes(random, sizeof random)) return {};
    char name[40];
    std::snprintf(name, sizeof name, ".quorvane-%02x%02x%02x%02x%02x%02x%02x%02x.part", random[0],
                  random[1], random[2], random[3], random[4], random[5], random[6], random[7]);
    return folder / name;
}

}  // namespace

ReplacingFile::ReplacingFile(std::filesystem::path destination)
    : destination_(std::move(destination)) {
    if (!DestinationMayBeReplaced(destination_)) return;
    const std::filesystem::path folder = destination_.parent_path();
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::filesystem::path candidate = TemporaryNameIn(folder.empty() ? "." : folder);
        if (candidate.empty()) return;
        // 0666 lets the umask decide the permissions, as for any new file.
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temporary_ = std::move(candidate);
            file_ = FileHandle::Adopt(fd);
            // A file that is replaced keeps its permissions: a private file
            // must not become readable by others through a new run.
            struct stat existing {};
            if (stat(destination_.c_str(), &existing) == 0 &&
                fchmod(file_.descriptor(), existing.st_mode & 0777) != 0) {
                Discard();
            }
            return;
        }
        if (errno != EEXIST) return;
    }
}

ReplacingFile::~ReplacingFile() {
    Discard();
}

bool ReplacingFile::Write(const uint8_t* data, std::size_t size) {
    return IsOpen() && file_.WriteAll(data, size);
}

bool ReplacingFile::Commit() {
    if (!IsOpen()) return false;
    // The data must be on the device before the rename makes it the
    // destination: a caller may wipe the source right after a commit.
    if (!file_.Sync() || !file_.Close() ||
        std::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        Discard();
        return false;
    }
    temporary_.clear();
    SyncFolder(destination_.parent_path());
    return true;
}

void ReplacingFile::Discard() {
    file_.Close();
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
}
