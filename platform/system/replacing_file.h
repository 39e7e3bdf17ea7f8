#pragma once
// A new file that takes the place of its destination only once it is complete.
//
// The data goes to a file without a name in the destination's folder
// (O_TMPFILE), so that nothing is left behind whatever ends the process, not
// even SIGKILL. Where the file system cannot make such files, a hidden
// temporary file beside the destination takes its place. Either way the file
// is readable by its owner only until it is complete: Commit() syncs the data
// to the storage device, gives the file a name in the folder and renames it
// over the destination in one step, and only then gives it its final
// permission bits. Until the commit the destination keeps whatever it held.
// A replaced destination passes its permission bits on to the new file; a
// new file gets its source's bits (0666 without a source) less the umask, as
// cp gives them. A ReplacingFile destroyed without a successful Commit()
// removes its temporary file.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/system/file_handle.h"
#include "platform/system/file_outcome.h"

class ReplacingFile {
  public:
    struct Options {
        /// The permission bits of the file the output is made from.
        std::optional<unsigned> source_bits;
        /// False: an existing destination is refused, at the start and again
        /// at the commit (no file is ever replaced then).
        bool replace_existing = true;
    };

    /// Creates the temporary file. The result is not open (IsOpen() false,
    /// failure() says why) when the folder cannot take a new file, or when
    /// `destination` exists and is not a regular file (a folder, a device, a
    /// pipe) or is a file that the user may not write (as cp refuses it):
    /// those are never replaced. A symbolic link at the destination is
    /// replaced by the new file; the file it pointed to is left alone.
    ReplacingFile(std::filesystem::path destination, const Options& options);
    explicit ReplacingFile(std::filesystem::path destination)
        : ReplacingFile(std::move(destination), Options{}) {}
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool IsOpen() const { return file_.IsOpen(); }

    /// Why the file could not be created, or why the last write failed.
    FileResult failure() const { return failure_; }

    /// Appends `size` bytes; false on any failed or short write (failure()
    /// then holds the system's reason). May be called from any one thread.
    bool Write(const uint8_t* data, std::size_t size);

    /// Syncs the temporary file, renames it over the destination and syncs
    /// the folder (unless `sync_folder` is false, when the caller syncs it
    /// later). On a failure before the rename the temporary file is removed
    /// and the destination keeps its former content; a failed folder sync is
    /// reported although the destination is already in place.
    FileResult Commit(bool sync_folder = true);

    /// The temporary file's path while it has one: empty for a file without
    /// a name, and after a commit or a failure.
    const std::filesystem::path& temporary_path() const { return temporary_; }

  private:
    bool OpenUnnamed(const std::filesystem::path& folder);
    bool OpenNamed(const std::filesystem::path& folder);
    bool GiveName(const std::filesystem::path& folder);
    FileResult Publish(const std::filesystem::path& folder);
    /// After Publish: gives the file in its place the access it keeps.
    void MakeFinal();
    void Discard();

    std::filesystem::path destination_;
    std::filesystem::path temporary_;
    FileHandle file_;
    FileResult failure_;
    mode_t final_mode_ = 0600;
    bool replace_existing_ = true;
};
