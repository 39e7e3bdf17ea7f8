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
//   the destination's place only when everything succeeded. On every failure
//   (unreadable source, read or write error, full disk, a stop request, a
//   source that is no container, a wrong key) the result is false, no
//   temporary file remains and an existing destination keeps its content. Only a
//   regular file is read, and a destination that exists but is not a
//   regular file is refused.
// - `stop` is checked before each MiB; a stopped call returns false promptly.
// - Encryption reads exactly the size it measured at open and fails when the
//   source changed during the run (a shorter read, or another size,
//   modification or change time afterwards). It holds a shared advisory lock
//   (flock) on the source while it reads, so a wipe by another run of this
//   program waits its turn; a source that is being wiped cannot be read.
// - The key schedule and the plaintext buffers are wiped before release.
//
// Decryption also returns false, writing nothing, for a source shorter than
// 32 bytes, one whose length less 16 is not a multiple of 16, and one whose
// deciphered padding is not exactly the 0x01 marker followed by zero bytes.
// That catches a wrong key or the other cipher about 255 times in 256; the
// rest decrypt to wrong content, since the format has no check value.

#include <cstdint>
#include <filesystem>
#include <stop_token>

#include "platform/system/progress.h"

/// Encrypts `source` into a new container at `destination` with AES-256 and
/// a fresh IV from the system's random source.
bool EncryptFileAes256(const std::filesystem::path& source,
                       const std::filesystem::path& destination, const uint8_t key[32],
                       ProgressCallback callback, void* context, std::stop_token stop = {});

/// Decrypts the AES-256 container `source` into `destination`.
bool DecryptFileAes256(const std::filesystem::path& source,
                       const std::filesystem::path& destination, const uint8_t key[32],
                       ProgressCallback callback, void* context, std::stop_token stop = {});

/// Encrypts `source` into a new container at `destination` with Camellia-256
/// and a fresh IV from the system's random source.
bool EncryptFileCamellia256(const std::filesystem::path& source,
                            const std::filesystem::path& destination, const uint8_t key[32],
                            ProgressCallback callback, void* context, std::stop_token stop = {});

/// Decrypts the Camellia-256 container `source` into `destination`.
bool DecryptFileCamellia256(const std::filesystem::path& source,
                            const std::filesystem::path& destination, const uint8_t key[32],
                            ProgressCallback callback, void* context, std::stop_token stop = {});
