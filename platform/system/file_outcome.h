#pragma once
// What happened to one file of a run. The core reports it; each face (the
// pages, quorvane-cli) turns it into its own text, so no core procedure
// returns interface text.

#include <cstdint>

enum class FileOutcome : uint8_t {
    kDone,
    /// The source could not be opened; `error` holds the system's reason.
    kCannotOpen,
    /// A folder, a device, a pipe or a socket where a regular file is needed.
    kNotRegularFile,
    /// Another run of this program is using the file (its lock is held).
    kBusy,
    /// Decryption: the size cannot be a container's.
    kNotContainer,
    /// Decryption: the padding does not check; a wrong password or cipher,
    /// or a file that is no container.
    kWrongKey,
    /// A read failed (`error`).
    kReadError,
    /// A write, sync, close, link or rename failed (`error`: ENOSPC for a
    /// full disk, EDQUOT for a quota, EFBIG for a file too large).
    kWriteError,
    /// The source changed while it was read.
    kSourceChanged,
    /// The source's name now names another file, or none: nothing was
    /// overwritten.
    kSourceReplaced,
    /// A stop request ended the work on this file.
    kStopped,
    /// The destination exists and may not be replaced (a folder, a device,
    /// a write-protected file, or any file when replacing was not allowed).
    kDestinationRefused,
    /// Wipe: the file cannot be deleted (its folder is not writable, or the
    /// file is immutable or append-only), so nothing was overwritten.
    kCannotDelete,
    /// Memory, random bytes or a thread could not be had (`error`).
    kSystemError,
};

/// One file's outcome with the system's error number where it gave one.
struct FileResult {
    FileOutcome outcome = FileOutcome::kDone;
    int error = 0;

    bool done() const { return outcome == FileOutcome::kDone; }
    bool operator==(const FileResult&) const = default;
};

/// A failure with the calling thread's errno as its reason.
FileResult FailureFromErrno(FileOutcome outcome);
