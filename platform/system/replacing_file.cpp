#include "platform/system/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "platform/system/file_sync.h"
#include "platform/system/random.h"

namespace fs = std::filesystem;

namespace {

// The process's umask, read once: reading it from /proc leaves it alone,
// whereas setting and restoring it would change it for a moment under every
// other thread.
mode_t ReadUmask() {
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask);
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

mode_t CurrentUmask() {
    static const mode_t mask = ReadUmask();
    return mask;
}

// The permission bits of the file that will replace `destination`, or the
// reason it must not be replaced.
std::optional<mode_t> FinalModeFor(const fs::path& destination,
                                   const ReplacingFile::Options& options, FileResult& refusal) {
    struct stat status {};
    if (stat(destination.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            refusal = FailureFromErrno(FileOutcome::kWriteError);
            return std::nullopt;
        }
        // A dangling link would be replaced; with replacing refused it counts
        // as an existing name.
        if (!options.replace_existing && lstat(destination.c_str(), &status) == 0) {
            refusal = FileResult{FileOutcome::kDestinationRefused, EEXIST};
            return std::nullopt;
        }
        // Made from a private file, the output is private too.
        return options.source_bits.value_or(0666) & 0777 & ~CurrentUmask();
    }
    refusal = FileResult{FileOutcome::kDestinationRefused, EEXIST};
    if (!options.replace_existing || !S_ISREG(status.st_mode)) return std::nullopt;
    // A write-protected file is refused as cp refuses it; root may write
    // anything, as with cp.
    if (faccessat(AT_FDCWD, destination.c_str(), W_OK, AT_EACCESS) != 0) {
        refusal.error = errno;
        return std::nullopt;
    }
    return status.st_mode & 0777;
}

// A hidden name that never depends on the destination's name, so that it
// always fits the file system's name length limit.
fs::path TemporaryNameIn(const fs::path& folder) {
    uint8_t random[8];
    if (!SystemRandomBytes(random, sizeof random)) return {};
    char name[40];
    std::snprintf(name, sizeof name, ".quorvane-%02x%02x%02x%02x%02x%02x%02x%02x.part", random[0],
                  random[1], random[2], random[3], random[4], random[5], random[6], random[7]);
    return folder / name;
}

std::string DescriptorPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace

ReplacingFile::ReplacingFile(fs::path destination, const Options& options)
    : destination_(std::move(destination)), replace_existing_(options.replace_existing) {
    const std::optional<mode_t> mode = FinalModeFor(destination_, options, failure_);
    if (!mode) return;
    final_mode_ = *mode;
    const fs::path parent = destination_.parent_path();
    const fs::path folder = parent.empty() ? fs::path(".") : parent;
    if (!OpenUnnamed(folder) && !OpenNamed(folder))
        failure_ = FailureFromErrno(FileOutcome::kWriteError);
}

bool ReplacingFile::OpenUnnamed(const fs::path& folder) {
#if defined(O_TMPFILE)
    FileHandle file =
        FileHandle::Adopt(open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    // The file gets its name through /proc at the commit: without /proc it
    // could never be named. Asked once: /proc stays as it is during a run.
    static const bool named_through_proc = access("/proc/self/fd", F_OK) == 0;
    if (!file.IsOpen() || !named_through_proc) return false;
    file_ = std::move(file);
    return true;
#else
    (void)folder;
    return false;
#endif
}

bool ReplacingFile::OpenNamed(const fs::path& folder) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        fs::path candidate = TemporaryNameIn(folder);
        if (candidate.empty()) return false;
        // Owner only until the commit: a partial plaintext is nobody else's.
        const int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            temporary_ = std::move(candidate);
            file_ = FileHandle::Adopt(fd);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool ReplacingFile::GiveName(const fs::path& folder) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        fs::path candidate = TemporaryNameIn(folder);
        if (candidate.empty()) return false;
        if (linkat(AT_FDCWD, DescriptorPath(file_.descriptor()).c_str(), AT_FDCWD,
                   candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary_ = std::move(candidate);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

// Puts the complete temporary file in the destination's place: renamed over
// it, or, when no file may be replaced, linked or renamed only where the
// destination does not exist at that very moment.
FileResult ReplacingFile::Publish(const fs::path& folder) {
    if (replace_existing_) {
        if (temporary_.empty() && !GiveName(folder))
            return FailureFromErrno(FileOutcome::kWriteError);
        if (std::rename(temporary_.c_str(), destination_.c_str()) != 0)
            return FailureFromErrno(FileOutcome::kWriteError);
        return {};
    }
    int published = -1;
    if (temporary_.empty()) {
        published = linkat(AT_FDCWD, DescriptorPath(file_.descriptor()).c_str(), AT_FDCWD,
                           destination_.c_str(), AT_SYMLINK_FOLLOW);
    } else {
        published = renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, destination_.c_str(),
                              RENAME_NOREPLACE);
        // File systems without the flag: a link cannot replace a file either.
        if (published != 0 && errno == EINVAL &&
            link(temporary_.c_str(), destination_.c_str()) == 0) {
            unlink(temporary_.c_str());
            published = 0;
        }
    }
    if (published == 0) return {};
    if (errno == EEXIST) return FileResult{FileOutcome::kDestinationRefused, EEXIST};
    return FailureFromErrno(FileOutcome::kWriteError);
}

void ReplacingFile::MakeFinal() {
    // Only the complete file in its place may become readable by others; a
    // run killed before this leaves it private, never more open.
    fchmod(file_.descriptor(), final_mode_);
}

void ReplacingFile::Discard() {
    file_.Close();
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        temporary_.clear();
    }
}
