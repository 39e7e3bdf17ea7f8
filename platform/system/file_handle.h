#pragma once
// An open file descriptor owned by one procedure: closed on every path, with
// reads that tell an error apart from the end of the file and writes that
// report every short or failed write.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

class FileHandle {
  public:
    FileHandle() = default;
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept;
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    /// Opens `path` for reading. The result is closed (IsOpen() false) when
    /// the file cannot be opened. A pipe does not block the open.
    static FileHandle OpenForReading(const std::filesystem::path& path);

    /// Opens an existing regular file for writing in place, without
    /// truncating it. A folder, a symbolic link (even one to a regular file),
    /// a device, a pipe or a socket is refused before it is opened, so nothing
    /// about it changes; the result is then closed.
    static FileHandle OpenRegularForUpdate(const std::filesystem::path& path);

    /// Takes ownership of an already open descriptor.
    static FileHandle Adopt(int fd) { return FileHandle(fd); }

    bool IsOpen() const { return fd_ >= 0; }

    /// True when the open file is a regular file (not a folder, device,
    /// pipe or socket, whose size says nothing about what a read returns).
    bool IsRegularFile() const;
    /// True when the open file is a block device (a disk or partition), whose
    /// contents can be read and measured like a regular file's.
    bool IsBlockDevice() const;
    int descriptor() const { return fd_; }

    /// What tells a changed file apart: its size and its modification and
    /// status-change times, to the nanosecond.
    struct Stamp {
        uint64_t size = 0;
        int64_t modified_ns = 0;
        int64_t changed_ns = 0;
        bool operator==(const Stamp&) const = default;
    };
    /// The open file's stamp (fstat), or nothing when it cannot be read.
    std::optional<Stamp> ReadStamp() const;

    /// The size in bytes: a regular file's from the file system, anything
    /// else's by seeking to the end and back to the start. Empty when it
    /// cannot be measured.
    std::optional<uint64_t> MeasureSize();

    /// Tells the kernel the file will be read from start to end, so it reads
    /// ahead generously. Only a hint: nothing fails without it.
    void AdviseSequential();

    /// Moves the position back to offset 0.
    bool SeekToStart();

    /// Reads until `size` bytes have arrived or the file ends. Returns the
    /// number of bytes read (less than `size` only at the end of the file), or
    /// -1 on a read error.
    int64_t ReadUpTo(uint8_t* buffer, std::size_t size);

    /// Writes all `size` bytes; false on any failed or short write.
    bool WriteAll(const uint8_t* data, std::size_t size);

    enum class Lock { kShared, kExclusive };
    /// Takes an advisory lock (flock) on the open file without waiting; false
    /// when another holder's lock is in the way. Runs of this program hold a
    /// shared lock on a file they read and an exclusive one on a file they
    /// wipe, so a wipe never overwrites what another run reads. The lock goes
    /// with the descriptor.
    bool TryLock(Lock kind);

    /// Hands everything written so far to the storage device (fsync).
    bool Sync();

    /// Closes the descriptor and reports whether the close succeeded (a
    /// failed close can mean that written data was lost).
    bool Close();

  private:
    explicit FileHandle(int fd) : fd_(fd) {}
    int fd_ = -1;
};
