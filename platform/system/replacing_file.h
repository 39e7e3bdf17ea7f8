#pragma once
// A new file that takes the place of its destination only once it is complete.
//
// The data goes to a file without a name in the destination's folder
// (O_TMPFILE), so that nothing is left behind whatever ends the process, not
// even SIGKILL. Where the file system cannot make such files, a hidden
// temporary file beside the destination takes its place, readable by its
// owner only until the commit. Commit() syncs the data to the storage device,
// gives the file its final permission bits and a name in the folder, and
// renames it over the destination in one step; until then the destination
// keeps whatever it held. A destination that is replaced passes its
// permission bits on to the new file; a new file gets the usual ones (0666
// less the umask). A ReplacingFile destroyed without a successful Commit()
// removes its temporary file.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "platform/system/file_handle.h"

class ReplacingFile {
  public:
    /// Creates the temporary file. The result is not open (IsOpen() false)
    /// when the folder cannot take a new file, or when `destination` exists
    /// and is not a regular file (a folder, a device, a pipe) or is a file
    /// that the user may not write (as cp refuses it): those are never
    /// replaced. A symbolic link at the destination is replaced by the new
    /// file; the file it pointed to is left alone.
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

    /// The temporary file's path while it has one: empty for a file without
    /// a name, and after a commit or a failure.
    const std::filesystem::path& temporary_path() const { return temporary_; }

  private:
    bool OpenUnnamed(const std::filesystem::path& folder);
    bool OpenNamed(const std::filesystem::path& folder);
    bool GiveName(const std::filesystem::path& folder);
    void Discard();

    std::filesystem::path destination_;
    std::filesystem::path temporary_;
    FileHandle file_;
    mode_t final_mode_ = 0600;
};
