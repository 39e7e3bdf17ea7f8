#pragma once
// Secure wipe: overwrite a file in place with fixed fill bytes, then delete it.
//
// Each pass writes the whole file from its start in blocks of 1 MiB: odd
// passes write 0xFF, even passes 0x00, so after any odd pass count the file
// holds only 0xFF when it is deleted. A pass is flushed to the storage device
// (fsync) before the next one starts, so every pass reaches the disk rather
// than only the cache.
//
// Before the first overwrite the file is renamed to a hidden name in its
// folder (WipeLeftoverPath), and that rename is made durable: a wipe that is
// killed (SIGKILL, a power cut) never leaves damaged data under the file's
// own name. A later wipe of the same name finishes such a leftover first.
// A file that cannot be renamed cannot be deleted either (its folder is not
// writable, or it is immutable or append-only): it is refused untouched.
//
// Overwriting in place cannot reach copies the storage keeps elsewhere: on
// copy-on-write file systems (btrfs, ZFS, snapshots) and on flash storage with
// wear levelling, old blocks may survive the wipe.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <stop_token>

#include "platform/system/file_handle.h"
#include "platform/system/file_outcome.h"
#include "platform/system/progress.h"

/// Blocks WipeFile writes in every pass for a file of `file_size` bytes:
/// ⌊size / 1 MiB⌋ + 1. Every block is 1 MiB but the last, which holds the
/// remaining size mod 1 MiB bytes (none for an exact multiple of 1 MiB; that
/// empty block is still announced). An empty file gets no passes at all.
uint64_t WipeBlocksPerPass(uint64_t file_size);

/// Where a wipe stands, for progress displays.
struct WipePosition {
    int pass = 0;                 ///< the pass being written, 1..passes
    int passes = 0;               ///< passes in all (the low 8 bits of the request)
    uint64_t blocks_written = 0;  ///< blocks of this pass already written
    uint64_t blocks = 0;          ///< blocks in every pass (WipeBlocksPerPass)

    /// Blocks written over blocks in the pass, 0..100.
    int32_t PassPercent() const;
    /// Blocks written over blocks in all passes, 0..100.
    int32_t TotalPercent() const;
};

using WipeListener = std::function<void(const WipePosition&)>;

/// What becomes of a file whose overwriting began when its wipe stops or
/// fails before the end.
enum class InterruptedWipe {
    /// It gets its name back, partly overwritten (the wipe list).
    kRestoreName,
    /// It is deleted at once: the source of a complete container, which a
    /// rerun would otherwise encrypt, damaged, over the container. (A file
    /// that was not written yet gets its name back.)
    kDelete,
};

/// The hidden name in `path`'s folder under which `path` is overwritten.
std::filesystem::path WipeLeftoverPath(const std::filesystem::path& path);

/// Overwrites the regular file at `path` with the low 8 bits of `passes`
/// passes (0 deletes it without overwriting) and deletes it. Before each block
/// of each pass the callback, if any, receives the block's index within the
/// pass (0, 1, ..., n for a file of n MiB and a bit) and `context`.
///
/// The result is done exactly when the file was overwritten and deleted (or
/// when only a leftover of an interrupted wipe of `path` was left, and it
/// was). Failures with nothing written: anything that is not a regular file
/// (a folder, a symbolic link, a device: left as they are), a file that
/// cannot be opened or written, one that cannot be deleted, one that another
/// run of this program is using. When a write or sync fails, or `stop` is
/// requested (checked before each block), the file gets its name back,
/// partly overwritten. An empty file is deleted without writes or callbacks.
FileResult WipeFile(const std::filesystem::path& path, int passes, ProgressCallback callback,
                    void* context, std::stop_token stop = {});

/// WipeFile with positions instead of block indexes: `listener` (may be
/// empty) hears the position before each block is written and once more when
/// the last block of each pass is written (blocks_written == blocks). The
/// outcomes are WipeFile's.
FileResult WipeFileReporting(const std::filesystem::path& path, int passes,
                             const WipeListener& listener, std::stop_token stop = {});

/// Wipes a file that is already open and locked by the caller (the source of
/// an encryption), through that very file: nothing is overwritten unless its
/// path still names it and it is unchanged since `file.stamp` (otherwise
/// kSourceReplaced or kSourceChanged), and the shared lock can become an
/// exclusive one (kBusy). Otherwise as WipeFileReporting, with `interrupted`
/// deciding what becomes of a file whose overwriting began.
FileResult WipeHeldFile(HeldFile& file, int passes, const WipeListener& listener,
                        const std::stop_token& stop, InterruptedWipe interrupted);

/// What a run over a list of files tells its listener, on the worker's thread.
struct WipeListEvent {
    enum class Kind { kFileStarted, kProgress, kFileFinished };
    Kind kind;
    std::size_t index;      ///< the file in the list
    WipePosition position;  ///< kProgress
    FileResult result{};    ///< kFileFinished: done when overwritten and deleted
};

/// Wipes `files` with `passes` passes each, `jobs` files at once (0: one
/// per core; the page wipes one after another), telling the outcomes in list
/// order. A file that fails does not end the run. A stop request ends it
/// before the next block or file; a file being wiped then gets no
/// kFileFinished (it is left partly overwritten). Returns false when stopped.
bool WipeFileList(std::span<const std::filesystem::path> files, int passes,
                  const std::function<void(const WipeListEvent&)>& listener,
                  std::stop_token stop = {}, unsigned jobs = 1);
