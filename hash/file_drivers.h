#pragma once
// The five file drivers of the hash page: each opens one file, reads it in
// 1 MiB chunks through one shared reading loop, feeds its digest engine and
// reports progress. They differ only in the engine and the digest size.

#include <cstdint>
#include <filesystem>
#include <span>
#include <stop_token>

#include "platform/system/file_outcome.h"
#include "platform/system/progress.h"

class Digest;

// Every driver returns a FileResult; the digest place is written only when
// it is done. The outcomes: kCannotOpen (with errno) when the file cannot be
// opened or measured; kNotRegularFile for a folder (errno EISDIR) or, for the
// hash page's drivers, anything whose size a read need not match (a pipe, a
// socket, a character device); kReadError (with errno) when a read fails, as
// the digest would not belong to the file then; kStopped when the stop token
// asked to stop before a chunk was read; kSystemError when no memory or
// thread could be had. A file that cannot be opened reports no progress.

// Every driver: opens `path` for reading (a regular file or a block device),
// measures its size once and reads it in chunks of 1 MiB to its end. For an
// unchanging file that is n = size / 1 MiB + 1 chunks (the last holds size
// mod 1 MiB bytes, possibly none). Before chunk i it checks `stop`, then
// reports the whole percentage min(100, trunc((i + 1) / n * 100)) through
// `progress` (may be null) with `context`.

/// MD5: `digest_words` receives the four state words each byte-reversed, so
/// that printing each with "%08X" gives the standard digest (see
/// Md5StateToDigestWords).
FileResult HashFileMd5(const std::filesystem::path& path, uint32_t digest_words[4],
                       ProgressCallback progress, void* context, std::stop_token stop = {});
/// SHA-1: 20 digest bytes.
FileResult HashFileSha1(const std::filesystem::path& path, uint8_t digest[20],
                        ProgressCallback progress, void* context, std::stop_token stop = {});
/// SHA-256: 32 digest bytes.
FileResult HashFileSha256(const std::filesystem::path& path, uint8_t digest[32],
                          ProgressCallback progress, void* context, std::stop_token stop = {});
/// SHA-512: 64 digest bytes.
FileResult HashFileSha512(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop = {});
/// What the reading loop accepts.
enum class HashInput {
    /// A regular file or a block device, measured at open (the drivers').
    kMeasured,
    /// Anything readable but a folder, read to its end as the standard tools
    /// do: a named pipe waits for its writer, /dev/stdin and /dev/fd/N work.
    /// Progress is reported only for what can be measured.
    kStream,
};

/// The reading loop every driver runs: opens `path`, measures it, and feeds
/// every byte to each of `digests` up to the end of the file (which may lie
/// beyond the size measured at open), with the stop checks and the progress
/// above (never more than 100). The file is read once however many digests
/// there are; they are not finished. No digests is a kSystemError (EINVAL).
FileResult HashFileInto(const std::filesystem::path& path, std::span<Digest> digests,
                        ProgressCallback progress, void* context, const std::stop_token& stop,
                        HashInput input = HashInput::kMeasured);

/// Keccak (rate 512, 64-byte output): 64 digest bytes.
FileResult HashFileKeccak(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop = {});
