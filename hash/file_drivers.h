#pragma once
// The five file drivers of the hash page: each opens one file, reads it in
// 1 MiB chunks through one shared reading loop, feeds its digest engine and
// reports progress. They differ only in the engine and the digest size.

#include <cstdint>
#include <filesystem>
#include <span>
#include <stop_token>

#include "platform/system/progress.h"

class Digest;

/// Outcome of a driver. The digest place is written only on kHashDone.
enum HashResult : int {
    /// The file could not be opened (missing, no rights, a folder, not a file
    /// whose size can be measured). No progress was reported.
    kHashCannotOpen = 0,
    /// The digest of every byte of the file was written.
    kHashDone = 1,
    /// A read failed (an I/O error). The digest would not belong to the
    /// file, so none is written; the hash page shows "读取文件失败".
    kHashReadFailed = 2,
    /// The stop token asked to stop before a chunk was read.
    kHashStopped = 3,
};

/// Size of one chunk of the reading loop.
inline constexpr uint32_t kHashChunkSize = 1u << 20;

// Every driver: opens `path` for reading (a regular file or a block device),
// measures its size once and reads it in chunks of 1 MiB to its end. For an
// unchanging file that is n = size / 1 MiB + 1 chunks (the last holds size
// mod 1 MiB bytes, possibly none). Before chunk i it checks `stop`, then
// reports the whole percentage min(100, trunc((i + 1) / n * 100)) through
// `progress` (may be null) with `context`.

/// MD5: `digest_words` receives the four state words each byte-reversed, so
/// that printing each with "%08X" gives the standard digest (see
/// Md5StateToDigestWords).
HashResult HashFileMd5(const std::filesystem::path& path, uint32_t digest_words[4],
                       ProgressCallback progress, void* context, std::stop_token stop = {});
/// SHA-1: 20 digest bytes.
HashResult HashFileSha1(const std::filesystem::path& path, uint8_t digest[20],
                        ProgressCallback progress, void* context, std::stop_token stop = {});
/// SHA-256: 32 digest bytes.
HashResult HashFileSha256(const std::filesystem::path& path, uint8_t digest[32],
                          ProgressCallback progress, void* context, std::stop_token stop = {});
/// SHA-512: 64 digest bytes.
HashResult HashFileSha512(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop = {});
/// The reading loop every driver runs: opens `path`, measures it, and feeds
/// every byte to each of `digests` up to the end of the file (which may lie
/// beyond the size measured at open), with the stop checks and the progress
/// above (never more than 100). The file is read once however many digests
/// there are; they are not finished.
HashResult HashFileInto(const std::filesystem::path& path, std::span<Digest> digests,
                        ProgressCallback progress, void* context, const std::stop_token& stop);

/// Keccak (rate 512, 64-byte output): 64 digest bytes.
HashResult HashFileKeccak(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop = {});
