#include "encrypt/file_crypt.h"

#include <algorithm>
#include <cerrno>
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

// Opens and locks a source and checks that it is still the file its path
// names: a run that wiped and deleted it may have done so between our open
// and our lock, and its 0xFF fill must not be read as the file.
FileResult OpenSource(const std::filesystem::path& path, FileHandle& file) {
    file = FileHandle::OpenForReading(path);
    if (!file.IsOpen()) return FailureFromErrno(FileOutcome::kCannotOpen);
    if (!file.IsRegularFile()) return {FileOutcome::kNotRegularFile};
    if (!file.TryLock(FileHandle::Lock::kShared)) return {FileOutcome::kBusy};
    if (!file.HasName() || !file.IsNamedBy(path, /*follow_links=*/true))
        return {FileOutcome::kSourceReplaced};
    return {};
}

// Why a read of the source gave no chunk.
FileResult ReadFailure(const ChunkReader::Chunk& chunk) {
    if (chunk.error != 0) return {FileOutcome::kReadError, chunk.error};
    return {FileOutcome::kSourceChanged};  // fewer bytes than measured
}

// Why the output could not be written.
FileResult WriteFailure(const ReplacingFile& destination, const ChunkWriter& writer) {
    if (writer.system_error() != 0) return {FileOutcome::kSystemError, writer.system_error()};
    return destination.failure();
}

ReplacingFile::Options OutputOptions(const FileHandle& source, const FileCryptOptions& options) {
    return ReplacingFile::Options{source.PermissionBits(), options.replace_existing};
}

// A source that fits in one chunk is read, ciphered and written on the
// calling thread, into a buffer no larger than the file: a small file costs
// what its bytes cost, not a pipeline's threads and buffers.
template <typename Cipher>
FileResult EncryptSmallSource(FileHandle& source, const FileHandle::Stamp& before,
                              const std::filesystem::path& destination_path, const uint8_t key[32],
                              ProgressCallback callback, void* context, const std::stop_token& stop,
                              const FileCryptOptions& options) {
    const std::size_t size = static_cast<std::size_t>(before.size);
    SecretBuffer buffer(kIvSize + PaddedLength(size));
    if (!buffer.ok()) return {FileOutcome::kSystemError, ENOMEM};
    uint8_t* const chain = buffer.data();
    uint8_t* const data = buffer.data() + kIvSize;
    if (!SystemRandomBytes(chain, kIvSize)) return FailureFromErrno(FileOutcome::kSystemError);
    if (stop.stop_requested()) return {FileOutcome::kStopped};
    const int64_t got = source.ReadUpTo(data, size);
    if (got < 0) return FailureFromErrno(FileOutcome::kReadError);
    if (static_cast<std::size_t>(got) != size) return {FileOutcome::kSourceChanged};
    ReportCryptProgress(callback, context, size, size);
    const std::size_t padded = PadFinalChunk(data, size);
    Wiped<typename Cipher::Context> schedule;
    Cipher::SetEncryptKey(&schedule.value, key);
    uint8_t iv[kIvSize];
    std::memcpy(iv, chain, kIvSize);
    Cipher::CbcEncrypt(padded / 16, data, &schedule.value, iv);

    ReplacingFile destination(destination_path, OutputOptions(source, options));
    if (!destination.Write(buffer.data(), kIvSize + padded)) return destination.failure();
    if (source.ReadStamp() != before) return {FileOutcome::kSourceChanged};
    if (stop.stop_requested()) return {FileOutcome::kStopped};
    return destination.Commit(options.sync_folder);
}

template <typename Cipher>
FileResult EncryptOpenSource(FileHandle& source, const FileHandle::Stamp& before,
                             const std::filesystem::path& destination_path, const uint8_t key[32],
                             ProgressCallback callback, void* context, const std::stop_token& stop,
                             const FileCryptOptions& options) {
    const uint64_t size = before.size;
    if (size < kWorkUnitBytes) {
        return EncryptSmallSource<Cipher>(source, before, destination_path, key, callback, context,
                                          stop, options);
    }
    uint8_t chain[kIvSize];
    if (!SystemRandomBytes(chain, sizeof chain)) return FailureFromErrno(FileOutcome::kSystemError);
    Wiped<typename Cipher::Context> schedule;
    Cipher::SetEncryptKey(&schedule.value, key);

    ReplacingFile destination(destination_path, OutputOptions(source, options));
    if (!destination.Write(chain, sizeof chain)) return destination.failure();

    // Exactly the size measured is read; a file that changes meanwhile
    // (shorter reads, another size or new times afterwards) fails rather
    // than leaving a container of something that never was the file. The
    // chunks end with a short one (room for the extra padding block).
    // Reading, ciphering and writing overlap: each has a thread.
    ChunkReader reader(source, size, kWorkUnitBytes, /*closing_chunk=*/true, kWorkUnitBytes + 16);
    if (!reader.ok()) return {FileOutcome::kSystemError, reader.start_error()};
    ChunkWriter writer(destination, reader);
    uint64_t total = 0;
    for (;;) {
        if (stop.stop_requested()) return {FileOutcome::kStopped};
        if (writer.Failed()) return WriteFailure(destination, writer);
        const ChunkReader::Chunk chunk = reader.Next();
        if (!chunk.ok) return ReadFailure(chunk);
        total += chunk.size;
        ReportCryptProgress(callback, context, total, size);
        const bool final_chunk = chunk.size < kWorkUnitBytes;
        const std::size_t out =
            final_chunk ? PadFinalChunk(chunk.data, chunk.size) : kWorkUnitBytes;
        Cipher::CbcEncrypt(out / 16, chunk.data, &schedule.value, chain);
        writer.Write(chunk.data, out);
        writer.ReleaseChunk();
        if (final_chunk) break;
    }
    if (!writer.Finish()) return WriteFailure(destination, writer);
    if (source.ReadStamp() != before) return {FileOutcome::kSourceChanged};
    if (stop.stop_requested()) return {FileOutcome::kStopped};
    return destination.Commit(options.sync_folder);
}

template <typename Cipher>
FileResult EncryptFile(const std::filesystem::path& source_path,
                       const std::filesystem::path& destination_path, const uint8_t key[32],
                       ProgressCallback callback, void* context, const std::stop_token& stop,
                       const FileCryptOptions& options) {
    FileHandle source;
    if (const FileResult opened = OpenSource(source_path, source); !opened.done()) return opened;
    const std::optional<FileHandle::Stamp> before = source.ReadSettledStamp();
    if (!before) {
        return errno == EBUSY ? FileResult{FileOutcome::kSourceChanged}
                              : FailureFromErrno(FileOutcome::kReadError);
    }
    const FileResult result = EncryptOpenSource<Cipher>(source, *before, destination_path, key,
                                                        callback, context, stop, options);
    if (result.done() && options.keep_source != nullptr)
        *options.keep_source = HeldFile{std::move(source), source_path, *before};
    return result;
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

// A container whose payload fits in one chunk, on the calling thread.
template <typename Cipher>
FileResult DecryptSmallPayload(FileHandle& source, uint64_t payload, const uint8_t iv[kIvSize],
                               const std::filesystem::path& destination_path, const uint8_t key[32],
                               ProgressCallback callback, void* context,
                               const std::stop_token& stop, const FileCryptOptions& options) {
    const std::size_t size = static_cast<std::size_t>(payload);
    SecretBuffer buffer(size);
    if (!buffer.ok()) return {FileOutcome::kSystemError, ENOMEM};
    if (stop.stop_requested()) return {FileOutcome::kStopped};
    const int64_t got = source.ReadUpTo(buffer.data(), size);
    if (got < 0) return FailureFromErrno(FileOutcome::kReadError);
    if (static_cast<std::size_t>(got) != size) return {FileOutcome::kSourceChanged};
    ReportCryptProgress(callback, context, size, size);
    Wiped<typename Cipher::Context> schedule;
    Cipher::SetDecryptKey(&schedule.value, key);
    uint8_t chain[kIvSize];
    std::memcpy(chain, iv, kIvSize);
    Cipher::CbcDecrypt(size / 16, buffer.data(), &schedule.value, chain);
    const std::size_t tail_length = size < 32 ? 16 : 32;
    const std::optional<std::size_t> plain_in_tail =
        PlaintextInTail(buffer.data() + size - tail_length, tail_length);
    if (!plain_in_tail) return {FileOutcome::kWrongKey};

    ReplacingFile destination(destination_path, OutputOptions(source, options));
    if (!destination.Write(buffer.data(), size - tail_length + *plain_in_tail))
        return destination.failure();
    if (stop.stop_requested()) return {FileOutcome::kStopped};
    return destination.Commit(options.sync_folder);
}

template <typename Cipher>
FileResult DecryptFile(const std::filesystem::path& source_path,
                       const std::filesystem::path& destination_path, const uint8_t key[32],
                       ProgressCallback callback, void* context, const std::stop_token& stop,
                       const FileCryptOptions& options) {
    FileHandle source;
    if (const FileResult opened = OpenSource(source_path, source); !opened.done()) return opened;
    const std::optional<uint64_t> size = source.MeasureSize();
    if (!size) return FailureFromErrno(FileOutcome::kReadError);
    if (*size < kSmallestContainer || (*size - kIvSize) % 16 != 0)
        return {FileOutcome::kNotContainer};
    const uint64_t payload = *size - kIvSize;

    uint8_t chain[kIvSize];
    const int64_t got = source.ReadUpTo(chain, sizeof chain);
    if (got < 0) return FailureFromErrno(FileOutcome::kReadError);
    if (got != static_cast<int64_t>(sizeof chain)) return {FileOutcome::kSourceChanged};
    if (payload <= kWorkUnitBytes) {
        return DecryptSmallPayload<Cipher>(source, payload, chain, destination_path, key, callback,
                                           context, stop, options);
    }
    Wiped<typename Cipher::Context> schedule;
    Cipher::SetDecryptKey(&schedule.value, key);
    // The padding can reach back into the block before the last one, which
    // may lie in the previous chunk; the last 32 bytes are held back until the
    // padding has been checked.
    Wiped<uint8_t[32]> tail;
    const std::size_t tail_length = payload < 32 ? 16 : 32;
    const TailSplitter splitter{payload - tail_length, tail.value};

    ReplacingFile destination(destination_path, OutputOptions(source, options));
    if (!destination.IsOpen()) return destination.failure();

    // Fewer bytes than measured means the file changed under us.
    ChunkReader reader(source, payload, kWorkUnitBytes, /*closing_chunk=*/false, kWorkUnitBytes);
    if (!reader.ok()) return {FileOutcome::kSystemError, reader.start_error()};
    ChunkWriter writer(destination, reader);
    uint64_t total = 0;
    while (total < payload) {
        if (stop.stop_requested()) return {FileOutcome::kStopped};
        if (writer.Failed()) return WriteFailure(destination, writer);
        const ChunkReader::Chunk chunk = reader.Next();
        if (!chunk.ok) return ReadFailure(chunk);
        const uint64_t chunk_start = total;
        total += chunk.size;
        ReportCryptProgress(callback, context, total, payload);
        Cipher::CbcDecrypt(chunk.size / 16, chunk.data, &schedule.value, chain);
        splitter.Take(writer, chunk.data, chunk_start, total);
        writer.ReleaseChunk();
    }
    if (!writer.Finish()) return WriteFailure(destination, writer);
    const std::optional<std::size_t> plain_in_tail = PlaintextInTail(tail.value, tail_length);
    if (!plain_in_tail) return {FileOutcome::kWrongKey};
    if (!destination.Write(tail.value, *plain_in_tail)) return destination.failure();
    if (stop.stop_requested()) return {FileOutcome::kStopped};
    return destination.Commit(options.sync_folder);
}

}  // namespace

FileResult EncryptFileAes256(const std::filesystem::path& source,
                             const std::filesystem::path& destination, const uint8_t key[32],
                             ProgressCallback callback, void* context, std::stop_token stop,
                             const FileCryptOptions& options) {
    return EncryptFile<Aes256Cipher>(source, destination, key, callback, context, stop, options);
}

FileResult DecryptFileAes256(const std::filesystem::path& source,
                             const std::filesystem::path& destination, const uint8_t key[32],
                             ProgressCallback callback, void* context, std::stop_token stop,
                             const FileCryptOptions& options) {
    return DecryptFile<Aes256Cipher>(source, destination, key, callback, context, stop, options);
}

FileResult EncryptFileCamellia256(const std::filesystem::path& source,
                                  const std::filesystem::path& destination, const uint8_t key[32],
                                  ProgressCallback callback, void* context, std::stop_token stop,
                                  const FileCryptOptions& options) {
    return EncryptFile<Camellia256Cipher>(source, destination, key, callback, context, stop,
                                          options);
}

FileResult DecryptFileCamellia256(const std::filesystem::path& source,
                                  const std::filesystem::path& destination, const uint8_t key[32],
                                  ProgressCallback callback, void* context, std::stop_token stop,
                                  const FileCryptOptions& options) {
    return DecryptFile<Camellia256Cipher>(source, destination, key, callback, context, stop,
                                          options);
}
