#pragma once
// Faults injected into the Windows file service, so that the tests can make
// reads, writes, syncs, closes, renames and the creation of temporary files
// fail the way a failing disk does. On Linux the tests preload a library
// into the program for this; Windows has no such thing, so the test builds
// compile this seam into the file service instead (QUORVANE_FAULT_INJECTION).
// In every other build each check below is a constant and compiles away.
//
// The faults are described by the environment, as for the preloaded library:
//   QUORVANE_FAULT_PATH   part of the paths whose files misbehave (required)
//   QUORVANE_FAULT_OP     one or more of (comma-separated):
//                         read    reads stop short at AFTER bytes, then fail
//                         write   writes stop short at AFTER bytes, then fail
//                         short   every write moves at most 4000 bytes
//                         fsync   syncs of files and folders fail
//                         close   closes fail (the handle is closed all the same)
//                         rename  renames fail
//                         replace replacing a file with ReplaceFileW fails
//                                 (the rename that takes its place does not)
//                         create  creating a temporary file fails
//                         delay-fsync, delay-rename, delay-flock, delay-write
//                                 the call waits QUORVANE_FAULT_DELAY_MS
//                                 (default 1000) before it is made
//   QUORVANE_FAULT_AFTER  bytes that pass before the fault (default 0)
//   QUORVANE_FAULT_ERRNO  errno of a failing call (default EIO); the call
//                         fails with the Windows error nearest to it
//   QUORVANE_FAULT_LOG    a file that gets a line "fsync" for every sync of
//                         a file or folder of interest, to count them
// The settings are read anew at every check: a test that changes them in its
// own process between two calls starts the byte counts again from 0.
// A file is of interest when the final path of its handle, or the path it is
// created or renamed by, contains QUORVANE_FAULT_PATH (letter case and the
// kind of slash do not matter).

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace injected_faults {

enum class Transfer { kRead, kWrite };

#if defined(QUORVANE_FAULT_INJECTION)

/// How many of `size` bytes one read (write) of the file `handle` may move
/// now: `size` or fewer, or -1 when the call must fail (the last error is
/// set then).
int64_t AllowedBytes(Transfer kind, void* handle, std::size_t size);
/// Counts `moved` bytes that a read (write) of `handle` did move.
void CountBytes(Transfer kind, void* handle, std::size_t moved);
/// True when the sync of `handle` must fail (the last error is set then).
bool SyncFails(void* handle);
/// True when the close of `handle` must fail (the last error is set then).
bool CloseFails(void* handle);
/// True when renaming `from` to `to` must fail (the last error is set then).
bool RenameFails(const std::filesystem::path& from, const std::filesystem::path& to);
/// True when creating the temporary file `path` must fail (the last error
/// is set then).
bool CreateFails(const std::filesystem::path& path);
/// True when replacing the file `destination` with ReplaceFileW must fail
/// (the last error is set then).
bool ReplaceFails(const std::filesystem::path& destination);
/// Waits before a lock of `handle` is taken, when asked to.
void BeforeLock(void* handle);

#else

inline int64_t AllowedBytes(Transfer, void*, std::size_t size) {
    return static_cast<int64_t>(size);
}
inline void CountBytes(Transfer, void*, std::size_t) {}
inline bool SyncFails(void*) {
    return false;
}
inline bool CloseFails(void*) {
    return false;
}
inline bool RenameFails(const std::filesystem::path&, const std::filesystem::path&) {
    return false;
}
inline bool CreateFails(const std::filesystem::path&) {
    return false;
}
inline bool ReplaceFails(const std::filesystem::path&) {
    return false;
}
inline void BeforeLock(void*) {}

#endif

}  // namespace injected_faults
