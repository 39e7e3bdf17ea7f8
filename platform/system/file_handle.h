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
    int descriptor() const { return fd_; }

    /// The size in bytes, measured by seeking to the end; the position is
    /// back at the start afterwards. Empty when the file cannot seek.
    std::optional<uint64_t> MeasureSize();

    /// Moves the position back to offset 0.
    bool SeekToStart();

    /// Reads until `size` bytes have arrived or the file ends. Returns the
    /// number of bytes read (less than `size` only at the end of the file), or
    /// -1 on a read error.
    int64_t ReadUpTo(uint8_t* buffer, std::size_t size);

    /// Writes all `size` bytes; false on any failed or short write.
    bool WriteAll(const uint8_t* data, std::size_t size);

    /// Hands everything written so far to the storage device (fsync).
    bool Sync();

    /// Closes the descriptor and reports whether the close succeeded (a
    /// failed close can mean that written data was lost).
    bool Close();

  private:
    explicit FileHandle(int fd) : fd_(fd) {}
    int fd_ = -1;
};
