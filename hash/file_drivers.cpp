#include "hash/file_drivers.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "hash/hash_algorithm.h"
#include "platform/system/byte_order.h"
#include "platform/system/file_handle.h"

namespace {

// Opens `path` for reading and measures its size. Only files whose contents
// a read returns in full count: a folder must never hash as an empty file, a
// named pipe or socket would wait or fail, and a character device (/dev/zero,
// a terminal) measures as empty whatever it holds.
bool OpenMeasured(const std::filesystem::path& path, FileHandle& file, uint64_t& size) {
    file = FileHandle::OpenForReading(path);
    if (!file.IsRegularFile() && !file.IsBlockDevice()) return false;
    const std::optional<uint64_t> measured = file.MeasureSize();
    if (!measured) return false;
    size = *measured;
    return true;
}

// The driver's MD5 result: each word holds four digest bytes, the first on top.
void Md5BytesToDigestWords(const uint8_t bytes[16], uint32_t words[4]) {
    for (int k = 0; k < 4; ++k) words[k] = LoadBe32(bytes + 4 * k);
}

int32_t ChunkPercent(uint64_t chunk_index, uint64_t chunk_count) {
    const double percent = double(chunk_index + 1) / double(chunk_count) * 100.0;
    return int32_t(std::min(percent, 100.0));
}

}  // namespace

HashResult HashFileInto(const std::filesystem::path& path, std::span<Digest> digests,
                        ProgressCallback progress, void* context, const std::stop_token& stop) {
    FileHandle file;
    uint64_t size = 0;
    if (!OpenMeasured(path, file, size)) return kHashCannotOpen;
    const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(kHashChunkSize);
    // The size measured at open only paces the progress: the file is read to
    // its end, as files of /proc (measured as 0) and growing files need.
    const uint64_t chunk_count = size / kHashChunkSize + 1;
    for (uint64_t i = 0;; ++i) {
        if (stop.stop_requested()) return kHashStopped;
        if (progress != nullptr) progress(ChunkPercent(i, chunk_count), context);
        const int64_t got = file.ReadUpTo(buffer.get(), kHashChunkSize);
        if (got < 0) return kHashReadFailed;
        for (Digest& digest : digests) digest.Update(buffer.get(), std::size_t(got));
        if (got < int64_t(kHashChunkSize)) return kHashDone;
    }
}

namespace {

HashResult RunDriver(HashAlgorithm algorithm, const std::filesystem::path& path, uint8_t* out,
                     ProgressCallback progress, void* context, const std::stop_token& stop) {
    Digest digest(algorithm);
    const HashResult result = HashFileInto(path, {&digest, 1}, progress, context, stop);
    if (result == kHashDone) digest.Final(out);
    return result;
}

}  // namespace

HashResult HashFileMd5(const std::filesystem::path& path, uint32_t digest_words[4],
                       ProgressCallback progress, void* context, std::stop_token stop) {
    uint8_t bytes[16];
    const HashResult result = RunDriver(HashAlgorithm::kMd5, path, bytes, progress, context, stop);
    if (result == kHashDone) Md5BytesToDigestWords(bytes, digest_words);
    return result;
}

HashResult HashFileSha1(const std::filesystem::path& path, uint8_t digest[20],
                        ProgressCallback progress, void* context, std::stop_token stop) {
    return RunDriver(HashAlgorithm::kSha1, path, digest, progress, context, stop);
}

HashResult HashFileSha256(const std::filesystem::path& path, uint8_t digest[32],
                          ProgressCallback progress, void* context, std::stop_token stop) {
    return RunDriver(HashAlgorithm::kSha256, path, digest, progress, context, stop);
}

HashResult HashFileSha512(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop) {
    return RunDriver(HashAlgorithm::kSha512, path, digest, progress, context, stop);
}

HashResult HashFileKeccak(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop) {
    return RunDriver(HashAlgorithm::kKeccak, path, digest, progress, context, stop);
}

HashResult HashFileWith(HashAlgorithm algorithm, const std::filesystem::path& path,
                        std::vector<uint8_t>& digest, ProgressCallback progress, void* context,
                        std::stop_token stop) {
    digest.clear();
    std::vector<uint8_t> bytes(DigestSize(algorithm));
    const HashResult result = RunDriver(algorithm, path, bytes.data(), progress, context, stop);
    if (result == kHashDone) digest = std::move(bytes);
    return result;
}
