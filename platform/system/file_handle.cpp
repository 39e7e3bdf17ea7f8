#include "platform/system/file_handle.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <thread>
#include <utility>

#include "platform/system/file_sync.h"

namespace {

int64_t Nanoseconds(const timespec& t) {
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// How far apart two file times must be to tell two moments apart: the tick of
// the coarse clock the kernel stamps files with, and 2 s on FAT file systems.
int64_t TimestampGranularityNs(int fd) {
    constexpr long kMsdosMagic = 0x4d44;
    constexpr long kExfatMagic = 0x2011BAB0;
    struct statfs system {};
    if (fstatfs(fd, &system) == 0 && (system.f_type == kMsdosMagic || system.f_type == kExfatMagic))
        return 2'000'000'000;
    timespec tick{};
    if (clock_getres(CLOCK_REALTIME_COARSE, &tick) != 0) return 10'000'000;
    return std::max<int64_t>(Nanoseconds(tick), 1'000'000);
}

}  // namespace

FileHandle::~FileHandle() {
    Close();
}

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileHandle FileHandle::OpenForReading(const std::filesystem::path& path) {
    return FileHandle(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
}

bool FileHandle::IsRegularFile() const {
    struct stat status {};
    return fd_ >= 0 && fstat(fd_, &status) == 0 && S_ISREG(status.st_mode);
}

bool FileHandle::IsBlockDevice() const {
    struct stat status {};
    return fd_ >= 0 && fstat(fd_, &status) == 0 && S_ISBLK(status.st_mode);
}

namespace {

// Opens the regular file `path` with `flags`, looking before opening: opening
// a device or a pipe can have effects of its own, and a link must not lead an
// overwrite to another file. errno tells why the result is closed.
int OpenRegularWithoutLinks(const std::filesystem::path& path, int flags) {
    struct stat before {};
    if (lstat(path.c_str(), &before) != 0) return -1;
    if (!S_ISREG(before.st_mode)) {
        errno = S_ISDIR(before.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    const int fd = open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    // The name may have been swapped between the look and the open.
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != before.st_dev ||
        opened.st_ino != before.st_ino) {
        close(fd);
        errno = ESTALE;
        return -1;
    }
    return fd;
}

}  // namespace

FileHandle FileHandle::OpenRegularForWipe(const std::filesystem::path& path) {
    const int fd = OpenRegularWithoutLinks(path, O_RDONLY);
    if (fd >= 0 || errno != EACCES) return FileHandle(fd);
    return FileHandle(OpenRegularWithoutLinks(path, O_WRONLY));
}

FileHandle FileHandle::OpenRegularForUpdate(const std::filesystem::path& path) {
    return FileHandle(OpenRegularWithoutLinks(path, O_WRONLY));
}

std::optional<FileHandle::Identity> FileHandle::ReadIdentity() const {
    struct stat status {};
    if (fd_ < 0 || fstat(fd_, &status) != 0) return std::nullopt;
    return Identity{static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
}

bool FileHandle::HasName() const {
    struct stat status {};
    return fd_ >= 0 && fstat(fd_, &status) == 0 && status.st_nlink > 0;
}

bool FileHandle::IsNamedBy(const std::filesystem::path& path, bool follow_links) const {
    struct stat named {};
    const std::optional<Identity> own = ReadIdentity();
    const int looked = follow_links ? stat(path.c_str(), &named) : lstat(path.c_str(), &named);
    return own && looked == 0 &&
           *own ==
               Identity{static_cast<uint64_t>(named.st_dev), static_cast<uint64_t>(named.st_ino)};
}

std::optional<unsigned> FileHandle::PermissionBits() const {
    struct stat status {};
    if (fd_ < 0 || fstat(fd_, &status) != 0) return std::nullopt;
    return static_cast<unsigned>(status.st_mode & 07777);
}

bool FileHandle::DeleteName(const std::filesystem::path& path) const {
    if (!IsNamedBy(path)) {
        errno = ESTALE;
        return false;
    }
    return unlink(path.c_str()) == 0;
}

FileHandle FileHandle::Duplicate() const {
    return FileHandle(fd_ >= 0 ? fcntl(fd_, F_DUPFD_CLOEXEC, 0) : -1);
}

FileHandle FileHandle::ReopenForWriting() const {
    // Through the descriptor's own entry, which leads to the open file even
    // when its name has been given to another one meanwhile.
    const std::string own = "/proc/self/fd/" + std::to_string(fd_);
    FileHandle file(open(own.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.IsOpen() && file.ReadIdentity() != ReadIdentity()) {
        errno = ESTALE;
        return FileHandle();
    }
    return file;
}

std::optional<FileHandle::Stamp> FileHandle::ReadStamp() const {
    struct stat status {};
    if (fd_ < 0 || fstat(fd_, &status) != 0) return std::nullopt;
    return Stamp{static_cast<uint64_t>(status.st_size), Nanoseconds(status.st_mtim),
                 Nanoseconds(status.st_ctim)};
}

int64_t FileHandle::TimestampGranularityNs() const {
    return ::TimestampGranularityNs(fd_);
}

int64_t FileHandle::FileClockNowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

std::optional<uint64_t> FileHandle::MeasureSize() {
    // A regular file's size is what the file system says: files of /proc
    // cannot seek to their end (and measure as 0 bytes).
    struct stat status {};
    if (fstat(fd_, &status) != 0) return std::nullopt;
    if (S_ISREG(status.st_mode)) return static_cast<uint64_t>(status.st_size);
    off_t end = lseek(fd_, 0, SEEK_END);
    if (end < 0 || !SeekToStart()) return std::nullopt;
    return static_cast<uint64_t>(end);
}

void FileHandle::AdviseSequential() {
    if (fd_ >= 0) posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

bool FileHandle::SeekToStart() {
    return lseek(fd_, 0, SEEK_SET) == 0;
}

int64_t FileHandle::ReadUpTo(uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t got = read(fd_, buffer + done, size - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<int64_t>(done);
}

bool FileHandle::WriteAll(const uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t put = write(fd_, data + done, size - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool FileHandle::TryLock(Lock kind) {
    const int operation = (kind == Lock::kShared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    for (;;) {
        if (flock(fd_, operation) == 0) return true;
        if (errno != EINTR) return false;
    }
}

bool FileHandle::Sync() {
    return SyncFileDescriptor(fd_);
}

bool FileHandle::Close() {
    if (fd_ < 0) return true;
    int fd = std::exchange(fd_, -1);
    // On Linux the descriptor is gone even when close reports EINTR, so it is
    // never retried.
    return close(fd) == 0;
}
