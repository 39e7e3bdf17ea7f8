#include "hash/file_drivers.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "hash/engines/keccak.h"
#include "hash/engines/md5.h"
#include "hash/engines/sha1.h"
#include "hash/engines/sha256.h"
#include "hash/engines/sha512.h"

namespace {

// The size is measured with fseek/ftell, whose offsets are `long`: make sure
// that covers files beyond 4 GiB.
static_assert(sizeof(long) >= 8, "file sizes need a 64-bit long");

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Whether `path` names something with contents of a measurable size. A
// folder can be opened on this system but must never hash as an empty file,
// opening a named pipe would wait for a writer, and a character device
// (/dev/zero, a terminal) measures as empty whatever it holds.
bool IsHashable(const std::filesystem::path& path) {
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    using std::filesystem::file_type;
    return type != file_type::directory && type != file_type::fifo && type != file_type::socket &&
           type != file_type::character;
}

// Opens `path` for reading and measures its size; anything whose size cannot
// be measured counts as unopenable.
bool OpenMeasured(const std::filesystem::path& path, FileHandle& file, uint64_t& size) {
    if (!IsHashable(path)) return false;
    file.reset(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return false;
    const long end = std::ftell(file.get());
    if (end < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
    // Reads are whole chunks into our own buffer: the stream's buffer would
    // only add a copy.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    size = uint64_t(end);
    return true;
}

int32_t ChunkPercent(uint64_t chunk_index, uint64_t chunk_count) {
    return int32_t(double(chunk_index + 1) / double(chunk_count) * 100.0);
}

// The reading loop shared by the five drivers. `engine` takes every chunk
// through Feed(data, size, is_last); the last call must finish the digest.
template <typename Engine>
HashResult ReadInChunks(const std::filesystem::path& path, ProgressCallback progress, void* context,
                        const std::stop_token& stop, Engine& engine) {
    FileHandle file;
    uint64_t size = 0;
    if (!OpenMeasured(path, file, size)) return kHashCannotOpen;
    const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(kHashChunkSize);
    const uint64_t chunk_count = size / kHashChunkSize + 1;
    for (uint64_t i = 0; i < chunk_count; ++i) {
        if (stop.stop_requested()) return kHashStopped;
        if (progress != nullptr) progress(ChunkPercent(i, chunk_count), context);
        const bool is_last = i + 1 == chunk_count;
        const uint32_t wanted = is_last ? uint32_t(size % kHashChunkSize) : kHashChunkSize;
        if (wanted > 0 && std::fread(buffer.get(), 1, wanted, file.get()) != wanted) {
            return kHashReadFailed;
        }
        engine.Feed(buffer.get(), wanted, is_last);
    }
    return kHashDone;
}

// MD5 has no context of its own: the driver holds the state words and pads
// the tail of the last chunk. The padding is built in a small block pair of
// its own, so it never writes into (or past) the chunk buffer, whatever the
// position of the last data byte.
class Md5Engine {
  public:
    void Feed(const uint8_t* data, uint32_t size, bool is_last) {
        const uint32_t whole = size - size % 64;
        for (uint32_t offset = 0; offset < whole; offset += 64) TransformBytes(data + offset);
        total_ += size;
        if (is_last) Finish(data + whole, size - whole);
    }
    void Result(uint32_t digest_words[4]) const { Md5StateToDigestWords(state_, digest_words); }

  private:
    void TransformBytes(const uint8_t* block) {
        uint32_t words[16];
        Md5BlockToWords(block, words);
        Md5Transform(state_, words);
    }
    void Finish(const uint8_t* tail, uint32_t tail_size) {
        uint8_t pad[128] = {};
        std::memcpy(pad, tail, tail_size);
        pad[tail_size] = 0x80;
        const uint32_t pad_size = tail_size < 56 ? 64 : 128;
        const uint64_t bits = total_ * 8;
        for (int i = 0; i < 8; ++i) pad[pad_size - 8 + i] = uint8_t(bits >> (8 * i));
        for (uint32_t offset = 0; offset < pad_size; offset += 64) TransformBytes(pad + offset);
    }

    uint32_t state_[4] = {kMd5InitialState[0], kMd5InitialState[1], kMd5InitialState[2],
                          kMd5InitialState[3]};
    uint64_t total_ = 0;
};

class Sha1Engine {
  public:
    Sha1Engine() {
        context_.count = 0;
        std::memcpy(context_.h, kSha1InitialValues, sizeof context_.h);
        context_.total = 0;
    }
    void Feed(const uint8_t* data, uint32_t size, bool is_last) {
        Sha1Update(context_, data, size);
        if (is_last) Sha1Final(context_, digest);
    }
    uint8_t digest[20] = {};

  private:
    Sha1Context context_;
};

class Sha256Engine {
  public:
    Sha256Engine() {
        context_.count = 0;
        std::memcpy(context_.h, kSha256InitialValues, sizeof context_.h);
        context_.total = 0;
    }
    void Feed(const uint8_t* data, uint32_t size, bool is_last) {
        Sha256Update(context_, data, size);
        if (is_last) Sha256Final(context_, digest);
    }
    uint8_t digest[32] = {};

  private:
    Sha256Context context_;
};

class Sha512Engine {
  public:
    Sha512Engine() { Sha512Init(context_); }
    void Feed(const uint8_t* data, uint32_t size, bool is_last) {
        Sha512Update(context_, data, size);
        if (is_last) Sha512Final(context_, digest);
    }
    uint8_t digest[64] = {};

  private:
    Sha512Context context_;
};

class KeccakEngine {
  public:
    void Feed(const uint8_t* data, uint32_t size, bool is_last) {
        KeccakUpdate(context_, data, uint64_t(size) * 8);
        if (is_last) KeccakFinal(context_, digest);
    }
    uint8_t digest[64] = {};

  private:
    KeccakContext context_ = {};
};

// Runs the loop and copies the digest out only when every byte was hashed.
template <typename Engine, std::size_t N>
HashResult RunByteDriver(const std::filesystem::path& path, uint8_t* digest,
                         ProgressCallback progress, void* context, const std::stop_token& stop) {
    Engine engine;
    const HashResult result = ReadInChunks(path, progress, context, stop, engine);
    if (result == kHashDone) std::memcpy(digest, engine.digest, N);
    return result;
}

}  // namespace

HashResult HashFileMd5(const std::filesystem::path& path, uint32_t digest_words[4],
                       ProgressCallback progress, void* context, std::stop_token stop) {
    Md5Engine engine;
    const HashResult result = ReadInChunks(path, progress, context, stop, engine);
    if (result == kHashDone) engine.Result(digest_words);
    return result;
}

HashResult HashFileSha1(const std::filesystem::path& path, uint8_t digest[20],
                        ProgressCallback progress, void* context, std::stop_token stop) {
    return RunByteDriver<Sha1Engine, 20>(path, digest, progress, context, stop);
}

HashResult HashFileSha256(const std::filesystem::path& path, uint8_t digest[32],
                          ProgressCallback progress, void* context, std::stop_token stop) {
    return RunByteDriver<Sha256Engine, 32>(path, digest, progress, context, stop);
}

HashResult HashFileSha512(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop) {
    return RunByteDriver<Sha512Engine, 64>(path, digest, progress, context, stop);
}

HashResult HashFileKeccak(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop) {
    return RunByteDriver<KeccakEngine, 64>(path, digest, progress, context, stop);
}
