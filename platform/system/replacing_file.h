#pragma once
// A new file that takes the place of its destination only once it is complete.
//
// The data goes to a temporary file beside the destination (same folder, so
// the final rename cannot cross file systems). Commit() syncs it to the
// storage device and renames it over the destination in one step; until then
// the destination keeps whatever it held. A destination that is replaced
// passes its permission bits on to the new file. A ReplacingFile that is
// destroyed without a successful Commit() removes its temporary file.

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "platform/system/file_handle.h"

class ReplacingFile {
  public:
    /// Creates the temporary file. The result is not open (IsOpen() false)
    /// when the folder cannot take a new file, or when `destination` exists
    /// and is not a regular file (a folder, a device, a pipe): those are
    /// never replaced. A symbolic link at the destination is replaced by the
    /// new file; the file it pointed to is left alone.
    explicit ReplacingFile(std::filesystem::path destination);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool IsOpen() const { return file_.IsOpen(); }

    /// Appends `size` bytes; false on any failed or short write.
    bool Write(const uint8_t* data, std::size_t size);

    /// Syncs and closes the temporary file and renames it over the
    /// destination. Returns false (and removes the temporary file) when any
    /// step fails; the destination then keeps its former content.
    bool Commit();

    /// The temporary file's path (empty when none was created).
    const std::filesystem::path& temporary_path() const { return temporary_; }

  private:
    void Discard();

    std::filesystem::path destination_;
    std::filesystem::path temporary_;
    FileHandle file_;
};
