#pragma once
// The encrypted file container and the four procedures that write and read it.
//
// Container: a 16-byte IV, then the CBC ciphertext of the padded plaintext
// (encrypt/container_padding.h), chained from the IV. No header, no stored
// length and no check value; nothing in it names the cipher, so callers tell
// the kinds apart by the file name (encrypt/output_naming.h).
//
// All four procedures share this behaviour:
// - The file is worked through in chunks of 1 MiB with one heap buffer per
//   call (1 MiB + 16 bytes when encrypting, 1 MiB when decrypting).
// - Before each chunk is ciphered the callback, if any, receives
//   trunc((T + 1) / N × 100), where T counts the bytes read so far including
//   this chunk and N is the source size (encrypting) or the source size less
//   the IV (decrypting); 0 when N is 0. Encryption reports once per read,
//   including a final empty read: a 3 MiB source reports 33, 66, 100, 100 and
//   a 10-byte source 110.
// - The output goes to a temporary file in the destination's folder and takes
//   the destination's place only when everything succeeded; it is readable by
//   its owner only until then, and afterwards has its source's permission
//   bits less the umask (a replaced file keeps its own). The result says what
//   happened: on every failure (unreadable source, read or write error, full
//   disk, a stop request, a source that is no container, a wrong key) no
//   temporary file remains and an existing destination keeps its content.
//   Only a regular file is read, and a destination that exists but is not a
//   regular file is refused.
// - `stop` is checked before each MiB and before the commit; once the output
//   is being put in place, the call finishes it.
// - The source is opened, locked (a shared advisory lock, flock, held while
//   it is read, so that a wipe by another run of this program waits its turn)
//   and checked to still have its name: a file that another run wiped and
//   deleted between the open and the lock is not read.
// - Encryption reads exactly the size it measured at open and fails when the
//   source changed during the run (a shorter read, or another size,
//   modification or change time afterwards). A source changed within the
//   file system's timestamp granularity before the start is given that long
//   to settle first, so that a write under way then cannot go unnoticed.
// - The key schedule and the plaintext buffers are wiped before release.
//
// Decryption also fails, writing nothing, for a source shorter than 32 bytes
// or whose length less 16 is not a multiple of 16 (kNotContainer), and for
// one whose deciphered padding is not exactly the 0x01 marker followed by
// zero bytes (kWrongKey). That catches a wrong key or the other cipher about
// 255 times in 256; the rest decrypt to wrong content, since the format has
// no check value.

#include <cstdint>
#include <filesystem>
#include <stop_token>

#include "platform/system/file_handle.h"
#include "platform/system/file_outcome.h"
#include "platform/system/progress.h"

/// How a file procedure treats its destination and its source.
struct FileCryptOptions {
    /// False: an existing destination is refused (kDestinationRefused), not
    /// replaced.
    bool replace_existing = true;
    /// False: the destination's folder is not synced after the rename; the
    /// caller syncs it.
    bool sync_folder = true;
    /// When set, a successful call hands its source over, still open and
    /// holding its shared lock, with the stamp it had when read: the wipe
    /// that follows then works on the very file that was read.
    HeldFile* keep_source = nullptr;
};

/// Encrypts `source` into a new container at `destination` with AES-256 and
/// a fresh IV from the system's random source.
FileResult EncryptFileAes256(const std::filesystem::path& source,
                             const std::filesystem::path& destination, const uint8_t key[32],
                             ProgressCallback callback, void* context, std::stop_token stop = {},
                             const FileCryptOptions& options = {});

/// Decrypts the AES-256 container `source` into `destination`.
FileResult DecryptFileAes256(const std::filesystem::path& source,
                             const std::filesystem::path& destination, const uint8_t key[32],
                             ProgressCallback callback, void* context, std::stop_token stop = {},
                             const FileCryptOptions& options = {});

/// Encrypts `source` into a new container at `destination` with Camellia-256
/// and a fresh IV from the system's random source.
FileResult EncryptFileCamellia256(const std::filesystem::path& source,
                                  const std::filesystem::path& destination, const uint8_t key[32],
                                  ProgressCallback callback, void* context,
                                  std::stop_token stop = {}, const FileCryptOptions& options = {});

/// Decrypts the Camellia-256 container `source` into `destination`.
FileResult DecryptFileCamellia256(const std::filesystem::path& source,
                                  const std::filesystem::path& destination, const uint8_t key[32],
                                  ProgressCallback callback, void* context,
                                  std::stop_token stop = {}, const FileCryptOptions& options = {});
