#include "tools/wipe.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <type_traits>

#include "platform/system/error_numbers.h"
#include "platform/system/file_handle.h"
#include "platform/system/file_names.h"
#include "platform/system/file_sync.h"
#include "platform/system/ordered_list_run.h"

namespace fs = std::filesystem;

namespace {

uint8_t FillByteOfPass(int pass) {
    return pass % 2 == 1 ? 0xFF : 0x00;
}

bool OverwritePass(FileHandle& file, uint8_t* buffer, WipePosition& position, uint64_t size,
                   const WipeListener& listener, const std::stop_token& stop, FileResult& result,
                   bool& touched) {
    if (!file.SeekToStart()) {
        result = FailureFromErrno(FileOutcome::kWriteError);
        return false;
    }
    std::memset(buffer, FillByteOfPass(position.pass), kWorkUnitBytes);
    for (uint64_t block = 0; block < position.blocks; ++block) {
        if (stop.stop_requested()) {
            result = {FileOutcome::kStopped};
            return false;
        }
        position.blocks_written = block;
        if (listener) listener(position);
        const std::size_t length =
            block + 1 < position.blocks ? kWorkUnitBytes : size % kWorkUnitBytes;
        touched = true;
        if (!file.WriteAll(buffer, length)) {
            result = FailureFromErrno(FileOutcome::kWriteError);
            return false;
        }
    }
    position.blocks_written = position.blocks;
    if (listener) listener(position);
    if (file.Sync()) return true;
    result = FailureFromErrno(FileOutcome::kWriteError);
    return false;
}

// Every pass over the open file `writer` of `size` bytes. `touched` tells
// whether any block was written.
FileResult OverwritePasses(FileHandle& writer, uint64_t size, int passes,
                           const WipeListener& listener, const std::stop_token& stop,
                           bool& touched) {
    WipePosition position;
    position.passes = passes & 0xFF;
    position.blocks = WipeBlocksPerPass(size);
    if (size == 0 || position.passes == 0) return {};
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kWorkUnitBytes]);
    if (!buffer) return {FileOutcome::kSystemError, ENOMEM};
    FileResult result;
    for (position.pass = 1; position.pass <= position.passes; ++position.pass) {
        if (!OverwritePass(writer, buffer.get(), position, size, listener, stop, result, touched))
            return result;
    }
    return {};
}

fs::path FolderOf(const fs::path& path) {
    const fs::path parent = path.parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

// Overwrites `file`, which is named `hidden` by now, and deletes it. When the
// overwriting stops or fails, the file is named `restore_to` again (when
// given), else deleted (kDelete) or left under its hidden name.
FileResult OverwriteAndDelete(const FileHandle& file, FileHandle& writer, const fs::path& hidden,
                              const fs::path* restore_to, InterruptedWipe interrupted, int passes,
                              const WipeListener& listener, const std::stop_token& stop) {
    const std::optional<FileHandle::Stamp> stamp = file.ReadStamp();
    if (!stamp) return FailureFromErrno(FileOutcome::kReadError);
    bool touched = false;
    const FileResult overwritten =
        OverwritePasses(writer, stamp->size, passes, listener, stop, touched);
    if (!overwritten.done()) {
        // Only damaged data must not keep a name; an untouched file gets its
        // own back.
        if (interrupted == InterruptedWipe::kDelete && touched) {
            file.DeleteName(hidden);
        } else if (restore_to != nullptr && file.IsNamedBy(hidden)) {
            RenameWithoutReplacing(hidden, *restore_to);
        }
        return overwritten;
    }
    // Deleted while the lock is held: nobody starts reading it in between.
    if (!file.DeleteName(hidden)) {
        return errno == ESTALE || errno == ENOENT ? FileResult{FileOutcome::kSourceReplaced}
                                                  : FailureFromErrno(FileOutcome::kCannotDelete);
    }
    SyncFolder(FolderOf(hidden));
    return {};
}

// Finishes the wipe of `path` that a killed run left under its hidden name.
// True when there was such a leftover and it is gone now.
bool FinishLeftoverOf(const fs::path& path, int passes, const std::stop_token& stop) {
    const fs::path hidden = WipeLeftoverPath(path);
    FileHandle file = FileHandle::OpenRegularForWipe(hidden);
    if (!file.IsOpen() || !file.TryLock(FileHandle::Lock::kExclusive)) return false;
    FileHandle writer = file.ReopenForWriting();
    if (!writer.IsOpen()) return false;
    return OverwriteAndDelete(file, writer, hidden, nullptr, InterruptedWipe::kRestoreName, passes,
                              {}, stop)
        .done();
}

// Gives the file named `path` its hidden name, durably, unless that finds
// another file there or cannot be done (then the file cannot be deleted
// either, and nothing is written).
FileResult Hide(const FileHandle& file, const fs::path& path, const fs::path& hidden) {
    if (!RenameWithoutReplacing(path, hidden)) {
        if (errno == ENOENT) return {FileOutcome::kSourceReplaced};
        return FailureFromErrno(FileOutcome::kCannotDelete);
    }
    // Another file may have taken the name between the check and the rename:
    // it goes back, untouched.
    if (!file.IsNamedBy(hidden)) {
        RenameWithoutReplacing(hidden, path);
        return {FileOutcome::kSourceReplaced};
    }
    if (!SyncFolder(FolderOf(hidden))) {
        const FileResult failure = FailureFromErrno(FileOutcome::kWriteError);
        RenameWithoutReplacing(hidden, path);
        return failure;
    }
    return {};
}

}  // namespace

fs::path WipeLeftoverPath(const fs::path& path) {
    // FNV-1a of the name: the same name always gives the same hidden name,
    // which says nothing of the name and always fits the length limit.
    uint64_t hash = 0xcbf29ce484222325ull;
    // Over the name's code units: bytes on POSIX, UTF-16 units on Windows.
    using Unit = std::make_unsigned_t<std::filesystem::path::value_type>;
    const fs::path name_of_file = path.filename();
    for (const auto c : name_of_file.native()) {
        hash = (hash ^ static_cast<Unit>(c)) * 0x100000001b3ull;
    }
    char name[40];
    std::snprintf(name, sizeof name, ".quorvane-wipe-%016llx",
                  static_cast<unsigned long long>(hash));
    return path.parent_path() / name;
}

uint64_t WipeBlocksPerPass(uint64_t file_size) {
    return file_size / kWorkUnitBytes + 1;
}

int32_t WipePosition::PassPercent() const {
    return PercentDone(blocks_written, blocks);
}

int32_t WipePosition::TotalPercent() const {
    if (blocks == 0 || passes <= 0) return 0;
    return PercentDone(uint64_t(pass - 1) * blocks + std::min(blocks_written, blocks),
                       uint64_t(passes) * blocks);
}

FileResult WipeHeldFile(HeldFile& file, int passes, const WipeListener& listener,
                        const std::stop_token& stop, InterruptedWipe interrupted) {
    // Another run of this program may be reading the file to encrypt it:
    // never overwrite what it reads.
    if (!file.handle.TryLock(FileHandle::Lock::kExclusive)) return {FileOutcome::kBusy};
    if (!file.handle.HasName() || !file.handle.IsNamedBy(file.path))
        return {FileOutcome::kSourceReplaced};
    if (file.handle.ReadStamp() != file.stamp) return {FileOutcome::kSourceChanged};
    FileHandle writer = file.handle.ReopenForWriting();
    if (!writer.IsOpen()) return FailureFromErrno(FileOutcome::kCannotOpen);
    const fs::path hidden = WipeLeftoverPath(file.path);
    FileResult hidden_result = Hide(file.handle, file.path, hidden);
    // What an earlier, killed wipe of this name left goes first.
    if (hidden_result.outcome == FileOutcome::kCannotDelete && hidden_result.error == EEXIST &&
        FinishLeftoverOf(file.path, passes, stop)) {
        hidden_result = Hide(file.handle, file.path, hidden);
    }
    if (!hidden_result.done()) return hidden_result;
    return OverwriteAndDelete(file.handle, writer, hidden, &file.path, interrupted, passes,
                              listener, stop);
}

FileResult WipeFileReporting(const fs::path& path, int passes, const WipeListener& listener,
                             std::stop_token stop) {
    const bool had_leftover = FinishLeftoverOf(path, passes, stop);
    HeldFile file{FileHandle::OpenRegularForWipe(path), path, {}};
    if (!file.handle.IsOpen()) {
        if (errno == ENOENT && had_leftover) return {};
        if (errno == EISDIR || errno == EINVAL || errno == ELOOP)
            return {FileOutcome::kNotRegularFile, errno};
        return FailureFromErrno(FileOutcome::kCannotOpen);
    }
    const std::optional<FileHandle::Stamp> stamp = file.handle.ReadStamp();
    if (!stamp) return FailureFromErrno(FileOutcome::kReadError);
    file.stamp = *stamp;
    return WipeHeldFile(file, passes, listener, stop, InterruptedWipe::kRestoreName);
}

FileResult WipeFile(const fs::path& path, int passes, ProgressCallback callback, void* context,
                    std::stop_token stop) {
    WipeListener listener;
    if (callback != nullptr) {
        listener = [callback, context](const WipePosition& position) {
            // The callback hears each block's index before it is written.
            if (position.blocks_written < position.blocks)
                callback(static_cast<int32_t>(static_cast<uint32_t>(position.blocks_written)),
                         context);
        };
    }
    return WipeFileReporting(path, passes, listener, stop);
}

bool WipeFileList(std::span<const std::filesystem::path> files, int passes,
                  const std::function<void(const WipeListEvent&)>& listener, std::stop_token stop,
                  unsigned jobs) {
    // Files wiped at once tell the listener one at a time.
    std::mutex listening;
    const auto serial = [&](const WipeListEvent& event) {
        std::lock_guard lock(listening);
        listener(event);
    };
    const auto work = [&](std::size_t i) {
        serial({WipeListEvent::Kind::kFileStarted, i, {}});
        return WipeFileReporting(
            files[i], passes,
            [&](const WipePosition& position) {
                serial({WipeListEvent::Kind::kProgress, i, position});
            },
            stop);
    };
    bool stopped = false;
    std::size_t delivered = 0;
    const auto deliver = [&](std::size_t i, FileResult& result) {
        ++delivered;
        // A file cut short by the stop gets no outcome: it is partly wiped.
        if (result.outcome == FileOutcome::kStopped) {
            stopped = true;
            return;
        }
        serial({WipeListEvent::Kind::kFileFinished, i, {}, result});
    };
    RunListInOrder<FileResult>(files.size(), ListJobs(jobs), work, deliver, stop);
    return !stopped && delivered == files.size();
}
