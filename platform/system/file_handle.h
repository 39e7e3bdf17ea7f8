#pragma once
// An open file descriptor owned by one procedure: closed on every path, with
// reads that tell an error apart from the end of the file and writes that
// report every short or failed write. On Windows the descriptor is a file
// HANDLE, and failures set errno to the nearest POSIX reason as well.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

class FileHandle {
  public:
#if defined(_WIN32)
    using Native = intptr_t;  ///< a HANDLE's value
#else
    using Native = int;
#endif
    /// The descriptor of no open file (INVALID_HANDLE_VALUE on Windows).
    static constexpr Native kClosed = -1;

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

    /// Opens an existing regular file for reading, refusing what
    /// OpenRegularForUpdate refuses; a file its owner may write but not read
    /// is opened for writing instead.
    static FileHandle OpenRegularForWipe(const std::filesystem::path& path);

    /// Takes ownership of an already open descriptor.
    static FileHandle Adopt(Native fd) {
        return FileHandle(fd);
    }

    bool IsOpen() const {
        return fd_ != kClosed;
    }

    /// True when the open file is a regular file (not a folder, device,
    /// pipe or socket, whose size says nothing about what a read returns).
    bool IsRegularFile() const;
    /// True when the open file is a block device (a disk or partition), whose
    /// contents can be read and measured like a regular file's.
    bool IsBlockDevice() const;
    Native descriptor() const {
        return fd_;
    }

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
    /// The stamp once the file's last change lies further back than the file
    /// system's timestamp granularity, so that any write from now on changes
    /// it; waits up to about 2 s for a file that was just written. Nothing
    /// (errno EBUSY) when it keeps changing.
    std::optional<Stamp> ReadSettledStamp() const;

    /// What tells one file apart from another on the same system.
    struct Identity {
        uint64_t device = 0;
        uint64_t inode = 0;
        bool operator==(const Identity&) const = default;
    };
    /// The open file's identity, or nothing when it cannot be read.
    std::optional<Identity> ReadIdentity() const;
    /// True while the open file still has a name in some folder (it has not
    /// been deleted since it was opened).
    bool HasName() const;
    /// True when `path` names this very file: the path itself, or with
    /// `follow_links` the file a symbolic link there leads to.
    bool IsNamedBy(const std::filesystem::path& path, bool follow_links = false) const;
    /// The open file's permission bits, or nothing when they cannot be read.
    std::optional<unsigned> PermissionBits() const;

    /// Deletes the name `path` only while it names this very file; false
    /// with errno set (ESTALE when it names another file by now).
    bool DeleteName(const std::filesystem::path& path) const;

    /// A second descriptor of the same open file (dup); closed on failure.
    FileHandle Duplicate() const;

    /// A second descriptor, open for writing, of this very file (not of
    /// whatever its name may name by now). Closed when the file may not be
    /// written.
    FileHandle ReopenForWriting() const;

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
    /// with the descriptor; taking the other kind converts the one held.
    bool TryLock(Lock kind);

    /// Hands everything written so far to the storage device (fsync).
    bool Sync();

    /// Closes the descriptor and reports whether the close succeeded (a
    /// failed close can mean that written data was lost).
    bool Close();

  private:
    explicit FileHandle(Native fd) : fd_(fd < 0 ? kClosed : fd) {}
    /// How far apart two of the open file's times must be to tell two moments
    /// apart, in nanoseconds (per system).
    int64_t TimestampGranularityNs() const;
    /// Now, on the clock and in the units of the stamps' times (per system).
    static int64_t FileClockNowNs();
    Native fd_ = kClosed;
};

/// A file that one procedure keeps open and locked for the next one: the
/// source an encryption read, handed on to the wipe that follows, so that the
/// wipe works on the very file that was read.
struct HeldFile {
    FileHandle handle;
    std::filesystem::path path;  ///< the name it was opened by
    FileHandle::Stamp stamp{};   ///< what it was when it was read
};
