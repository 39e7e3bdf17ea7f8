#include "platform/system/file_handle.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/system/file_sync.h"

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

FileHandle FileHandle::OpenRegularForUpdate(const std::filesystem::path& path) {
    // Look before opening: opening a device or a pipe can have effects of its
    // own, and a link must not lead the overwrite to another file.
    struct stat before {};
    if (lstat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode)) return FileHandle();
    FileHandle file(open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen()) return file;
    // The name may have been swapped between the look and the open.
    struct stat opened {};
    if (fstat(file.fd_, &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_dev != before.st_dev || opened.st_ino != before.st_ino) {
        return FileHandle();
    }
    return file;
}

std::optional<FileHandle::Stamp> FileHandle::ReadStamp() const {
    struct stat status {};
    if (fd_ < 0 || fstat(fd_, &status) != 0) return std::nullopt;
    const auto ns = [](const timespec& t) { return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return Stamp{static_cast<uint64_t>(status.st_size), ns(status.st_mtim), ns(status.st_ctim)};
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
        if (put == 0) return false;
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
