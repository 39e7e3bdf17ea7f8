#include "encrypt/file_crypt.h"

#include <algorithm>
#include <cstring>

#include "ciphers/aes256.h"
#include "ciphers/camellia256.h"
#include "encrypt/cbc.h"
#include "encrypt/container_padding.h"
#include "encrypt/crypt_progress.h"
#include "platform/system/chunk_reader.h"
#include "platform/system/chunk_writer.h"
#include "platform/system/file_handle.h"
#include "platform/system/random.h"
#include "platform/system/replacing_file.h"
#include "platform/system/secret_buffer.h"

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kIvSize = 16;
// IV plus at least one ciphertext block.
constexpr uint64_t kSmallestContainer = 32;

// What the file procedures need of a cipher; the rest of the code is shared.
struct Aes256Cipher {
    using Context = Aes256Context;
    static void SetEncryptKey(Context* c, const uint8_t key[32]) { Aes256SetEncryptKey(c, key); }
    static void SetDecryptKey(Context* c, const uint8_t key[32]) { Aes256SetDecryptKey(c, key); }
    static constexpr auto CbcEncrypt = Aes256CbcEncrypt;
    static constexpr auto CbcDecrypt = Aes256CbcDecrypt;
};

struct Camellia256Cipher {
    using Context = Camellia256Context;
    static void SetEncryptKey(Context* c, const uint8_t key[32]) { Camellia256SetKey(c, key); }
    static void SetDecryptKey(Context* c, const uint8_t key[32]) { Camellia256SetKey(c, key); }
    static constexpr auto CbcEncrypt = Camellia256CbcEncrypt;
    static constexpr auto CbcDecrypt = Camellia256CbcDecrypt;
};

template <typename Cipher>
bool EncryptFile(const std::filesystem::path& source_path,
                 const std::filesystem::path& destination_path, const uint8_t key[32],
                 ProgressCallback callback, void* context, const std::stop_token& stop) {
    FileHandle source = FileHandle::OpenForReading(source_path);
    if (!source.IsRegularFile()) return false;
    // Held while the file is read: another run of this program never wipes
    // it meanwhile, and one that is wiping it now makes this one fail.
    if (!source.TryLock(FileHandle::Lock::kShared)) return false;
    const std::optional<FileHandle::Stamp> before = source.ReadStamp();
    if (!before) return false;
    const uint64_t size = before->size;

    uint8_t chain[kIvSize];
    if (!SystemRandomBytes(chain, sizeof chain)) return false;
    Wiped<typename Cipher::Context> schedule;
    Cipher::SetEncryptKey(&schedule.value, key);

    ReplacingFile destination(destination_path);
    if (!destination.IsOpen() || !destination.Write(chain, sizeof chain)) return false;

    // Exactly the size measured is read; a file that changes meanwhile
    // (shorter reads, another size or new times afterwards) fails rather
    // than leaving a container of something that never was the file. The
    // chunks end with a short one (room for the extra padding block).
    // Reading, ciphering and writing overlap: each has a thread.
    ChunkReader reader(source, size, kChunk, /*closing_chunk=*/true, kChunk + 16);
    if (!reader.ok()) return false;
    ChunkWriter writer(destination, reader);
    uint64_t total = 0;
    for (;;) {
        if (stop.stop_requested() || writer.Failed()) return false;
        const ChunkReader::Chunk chunk = reader.Next();
        if (!chunk.ok) return false;
        total += chunk.size;
        ReportCryptProgress(callback, context, total, size);
        const bool final_chunk = chunk.size < kChunk;
        const std::size_t out = final_chunk ? PadFinalChunk(chunk.data, chunk.size) : kChunk;
        Cipher::CbcEncrypt(out / 16, chunk.data, &schedule.value, chain);
        writer.Write(chunk.data, out);
        writer.ReleaseChunk();
        if (final_chunk) break;
    }
    if (!writer.Finish()) return false;
    if (source.ReadStamp() != before) return false;
    if (stop.stop_requested()) return false;
    return destination.Commit();
}

// Sends the deciphered payload bytes [chunk_start, chunk_end), held in
// `chunk`, to the output, except those of the last 32 bytes (from
// `tail_start` on), which are copied into the held-back tail instead.
struct TailSplitter {
    uint64_t tail_start;
    uint8_t* tail;

    void Take(ChunkWriter& writer, const uint8_t* chunk, uint64_t chunk_start,
              uint64_t chunk_end) const {
        if (chunk_start < tail_start) {
            const uint64_t before_tail = std::min(chunk_end, tail_start) - chunk_start;
            writer.Write(chunk, static_cast<std::size_t>(before_tail));
        }
        if (chunk_end > tail_start) {
            const uint64_t from = std::max(chunk_start, tail_start);
            std::memcpy(tail + (from - tail_start), chunk + (from - chunk_start),
                        static_cast<std::size_t>(chunk_end - from));
        }
    }
};

template <typename Cipher>
bool DecryptFile(const std::filesystem::path& source_path,
                 const std::filesystem::path& destination_path, const uint8_t key[32],
                 ProgressCallback callback, void* context, const std::stop_token& stop) {
    FileHandle source = FileHandle::OpenForReading(source_path);
    if (!source.IsRegularFile()) return false;
    const std::optional<uint64_t> size = source.MeasureSize();
    if (!size || *size < kSmallestContainer || (*size - kIvSize) % 16 != 0) return false;
    const uint64_t payload = *size - kIvSize;

    uint8_t chain[kIvSize];
    if (source.ReadUpTo(chain, sizeof chain) != static_cast<int64_t>(sizeof chain)) return false;
    Wiped<typename Cipher::Context> schedule;
    Cipher::SetDecryptKey(&schedule.value, key);
    // The padding can reach back into the block before the last one, which
    // may lie in the previous chunk; the last 32 bytes are held back until the
    // padding has been checked.
    Wiped<uint8_t[32]> tail;
    const std::size_t tail_length = payload < 32 ? 16 : 32;
    const TailSplitter splitter{payload - tail_length, tail.value};

    ReplacingFile destination(destination_path);
    if (!destination.IsOpen()) return false;

    // Fewer bytes than measured means the file changed under us.
    ChunkReader reader(source, payload, kChunk, /*closing_chunk=*/false, kChunk);
    if (!reader.ok()) return false;
    ChunkWriter writer(destination, reader);
    uint64_t total = 0;
    while (total < payload) {
        if (stop.stop_requested() || writer.Failed()) return false;
        const ChunkReader::Chunk chunk = reader.Next();
        if (!chunk.ok) return false;
        const uint64_t chunk_start = total;
        total += chunk.size;
        ReportCryptProgress(callback, context, total, payload);
        Cipher::CbcDecrypt(chunk.size / 16, chunk.data, &schedule.value, chain);
        splitter.Take(writer, chunk.data, chunk_start, total);
        writer.ReleaseChunk();
    }
    if (!writer.Finish()) return false;
    const std::optional<std::size_t> plain_in_tail = PlaintextInTail(tail.value, tail_length);
    if (!plain_in_tail || !destination.Write(tail.value, *plain_in_tail)) return false;
    if (stop.stop_requested()) return false;
    return destination.Commit();
}

}  // namespace

bool EncryptFileAes256(const std::filesystem::path& source,
                       const std::filesystem::path& destination, const uint8_t key[32],
                       ProgressCallback callback, void* context, std::stop_token stop) {
    return EncryptFile<Aes256Cipher>(source, destination, key, callback, context, stop);
}

bool DecryptFileAes256(const std::filesystem::path& source,
                       const std::filesystem::path& destination, const uint8_t key[32],
                       ProgressCallback callback, void* context, std::stop_token stop) {
    return DecryptFile<Aes256Cipher>(source, destination, key, callback, context, stop);
}

bool EncryptFileCamellia256(const std::filesystem::path& source,
                            const std::filesystem::path& destination, const uint8_t key[32],
                            ProgressCallback callback, void* context, std::stop_token stop) {
    return EncryptFile<Camellia256Cipher>(source, destination, key, callback, context, stop);
}

bool DecryptFileCamellia256(const std::filesystem::path& source,
                            const std::filesystem::path& destination, const uint8_t key[32],
                            ProgressCallback callback, void* context, std::stop_token stop) {
    return DecryptFile<Camellia256Cipher>(source, destination, key, callback, context, stop);
}
