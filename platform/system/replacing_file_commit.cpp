// What every system's temporary output does alike: writing, and the commit
// that syncs it, checks its close and only then puts it in its place.
#include <cerrno>
#include <utility>

#include "platform/system/file_sync.h"
#include "platform/system/replacing_file.h"

namespace fs = std::filesystem;

ReplacingFile::~ReplacingFile() {
    Discard();
}

bool ReplacingFile::Write(const uint8_t* data, std::size_t size) {
    if (!IsOpen()) return false;
    if (file_.WriteAll(data, size)) return true;
    failure_ = FailureFromErrno(FileOutcome::kWriteError);
    return false;
}

FileResult ReplacingFile::Commit(bool sync_folder) {
    if (!IsOpen()) return failure_;
    const fs::path parent = destination_.parent_path();
    const fs::path folder = parent.empty() ? fs::path(".") : parent;
    // The data must be on the device before the rename makes it the
    // destination: a caller may wipe the source right after a commit. A
    // second handle keeps the file (for its name, its final access, and on
    // Windows its deletion mark) while the first one's close is checked, so
    // that a failed close never leaves the destination replaced.
    FileHandle keeper = file_.Duplicate();
    if (!file_.Sync() || !keeper.IsOpen() || !file_.Close()) {
        failure_ = FailureFromErrno(FileOutcome::kWriteError);
        file_ = std::move(keeper);
        Discard();
        return failure_;
    }
    file_ = std::move(keeper);
    if (const FileResult published = Publish(folder); !published.done()) {
        failure_ = published;
        Discard();
        return failure_;
    }
    temporary_.clear();
    MakeFinal();
    // Synced and published: a failing close of the last handle cannot lose
    // anything any more.
    file_.Close();
    if (sync_folder && !SyncFolder(folder)) return FailureFromErrno(FileOutcome::kWriteError);
    return {};
}
