#include "hash/file_drivers.h"
#include "hash/phase_barrier.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "hash/hash_algorithm.h"
#include "platform/system/byte_order.h"
#include "platform/system/file_handle.h"
#include "platform/system/secret_buffer.h"
#include "platform/system/stream_input.h"

namespace {

// Opens `path` for the drivers and measures its size. Only files whose
// contents a read returns in full count: a folder must never hash as an empty
// file, a named pipe or socket would wait or fail, and a character device
// (/dev/zero, a terminal) measures as empty whatever it holds.
FileResult OpenMeasured(const std::filesystem::path& path, FileHandle& file,
                        std::optional<uint64_t>& size) {
    file = FileHandle::OpenForReading(path);
    if (!file.IsOpen()) return FailureFromErrno(FileOutcome::kCannotOpen);
    if (IsFolder(file)) return {FileOutcome::kNotRegularFile, EISDIR};
    if (!file.IsRegularFile() && !file.IsBlockDevice()) return {FileOutcome::kNotRegularFile, 0};
    size = file.MeasureSize();
    if (!size) return FailureFromErrno(FileOutcome::kCannotOpen);
    return {};
}

// Opens anything but a folder to be read to its end; the size, known only
// for regular files and block devices, paces the progress.
FileResult OpenStream(const std::filesystem::path& path, FileHandle& file,
                      std::optional<uint64_t>& size) {
    file = OpenStreamForReading(path);
    if (!file.IsOpen()) return FailureFromErrno(FileOutcome::kCannotOpen);
    const StreamShape shape = ShapeOf(file);
    if (shape.folder) return {FileOutcome::kNotRegularFile, EISDIR};
    size = shape.size;
    return {};
}

// The driver's MD5 result: each word holds four digest bytes, the first on top.
void Md5BytesToDigestWords(const uint8_t bytes[16], uint32_t words[4]) {
    for (int k = 0; k < 4; ++k) words[k] = LoadBe32(bytes + 4 * k);
}

}  // namespace

namespace {

// Rough cost of each engine per byte, to spread several digests of one file
// over the cores in groups of about equal work.
double EngineCost(HashAlgorithm algorithm) {
    switch (algorithm) {
        case HashAlgorithm::kMd5:
            return 1.1;
        case HashAlgorithm::kSha1:
            return 0.5;
        case HashAlgorithm::kSha256:
            return 0.55;
        case HashAlgorithm::kSha512:
            return 0.9;
        case HashAlgorithm::kKeccak:
            return 2.5;
    }
    return 1.0;
}

// The digests split into at most `count` groups, the costliest first, each
// into the group with the least work so far.
std::vector<std::vector<Digest*>> BalancedGroups(std::span<Digest> digests, std::size_t count) {
    std::vector<Digest*> order;
    for (Digest& digest : digests) order.push_back(&digest);
    std::stable_sort(order.begin(), order.end(), [](const Digest* a, const Digest* b) {
        return EngineCost(a->algorithm()) > EngineCost(b->algorithm());
    });
    std::vector<std::vector<Digest*>> groups(std::min(count, order.size()));
    std::vector<double> load(groups.size(), 0.0);
    for (Digest* digest : order) {
        const auto lightest = std::min_element(load.begin(), load.end()) - load.begin();
        groups[lightest].push_back(digest);
        load[lightest] += EngineCost(digest->algorithm());
    }
    return groups;
}

// Feeds each chunk to every group at once: the calling thread takes the
// first group, one thread each the others, and all meet again before the
// next chunk.
class GroupFeeder {
  public:
    explicit GroupFeeder(std::vector<std::vector<Digest*>> groups)
        : groups_(std::move(groups)),
          start_(std::ptrdiff_t(groups_.size())),
          done_(std::ptrdiff_t(groups_.size())) {
        try {
            workers_.reserve(groups_.size());
            for (std::size_t g = 1; g < groups_.size(); ++g)
                workers_.emplace_back([this, g] { Work(g); });
        } catch (const std::system_error& failure) {
            Abandon(failure.code().value());
        } catch (const std::bad_alloc&) {
            Abandon(ENOMEM);
        }
    }
    ~GroupFeeder() {
        if (error_ == 0) Finish();
    }
    GroupFeeder(const GroupFeeder&) = delete;
    GroupFeeder& operator=(const GroupFeeder&) = delete;

    /// The errno of a worker that could not be started; 0 when all run.
    int error() const { return error_; }

    void Feed(const uint8_t* data, std::size_t size) {
        data_ = data;
        size_ = size;
        start_.arrive_and_wait();
        FeedGroup(0);
        done_.arrive_and_wait();
    }

  private:
    void Finish() {
        finished_ = true;
        start_.arrive_and_wait();
        for (auto& worker : workers_) worker.join();
    }
    // A worker could not be started: the ones that run are released (the
    // missing ones leave the barrier) and the feeder is not used.
    void Abandon(int error) {
        error_ = error != 0 ? error : EAGAIN;
        const std::size_t missing = groups_.size() - 1 - workers_.size();
        for (std::size_t i = 0; i < missing; ++i) start_.arrive_and_drop();
        Finish();
    }

    void FeedGroup(std::size_t g) {
        for (Digest* digest : groups_[g]) digest->Update(data_, size_);
    }
    void Work(std::size_t g) {
        for (;;) {
            start_.arrive_and_wait();
            if (finished_) return;
            FeedGroup(g);
            done_.arrive_and_wait();
        }
    }

    std::vector<std::vector<Digest*>> groups_;
    PhaseBarrier start_;
    PhaseBarrier done_;
    const uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    bool finished_ = false;  // read by the workers only after a barrier
    int error_ = 0;
    std::vector<std::thread> workers_;
};

// A small file is over before threads would pay for their start.
std::size_t GroupCount(std::size_t digests, std::optional<uint64_t> size) {
    constexpr uint64_t kWorthThreads = 4 * uint64_t{kWorkUnitBytes};
    if (size && *size < kWorthThreads) return 1;
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min({digests, cores, std::size_t{4}});
}

// Reads of this size land in the cache the digests read from next.
constexpr std::size_t kReadSize = 256 * 1024;

// The buffer one file needs: no larger than the file, so that small files
// cost no more than their size.
std::size_t BufferSizeFor(std::optional<uint64_t> size) {
    if (!size) return kReadSize;
    return static_cast<std::size_t>(std::clamp<uint64_t>(*size + 1, 4096, kReadSize));
}

}  // namespace

namespace {

// Reads the file to its end on the calling thread, in chunks of 1 MiB for
// the stop checks and the progress, each read in pieces of the buffer's size
// and fed to the digests while it is still in the cache.
FileResult FeedFile(FileHandle& file, SecretBuffer& buffer, GroupFeeder& feeder,
                    std::optional<uint64_t> size, ProgressCallback progress, void* context,
                    const std::stop_token& stop) {
    const uint64_t chunk_count = size ? *size / kWorkUnitBytes + 1 : 0;
    for (uint64_t i = 0;; ++i) {
        if (stop.stop_requested()) return {FileOutcome::kStopped, 0};
        if (progress != nullptr && size) progress(PercentAtUnitStart(i, chunk_count), context);
        for (std::size_t in_chunk = 0; in_chunk < kWorkUnitBytes;) {
            const std::size_t wanted = std::min(buffer.size(), kWorkUnitBytes - in_chunk);
            const int64_t got = file.ReadUpTo(buffer.data(), wanted);
            if (got < 0) return FailureFromErrno(FileOutcome::kReadError);
            if (got > 0) feeder.Feed(buffer.data(), static_cast<std::size_t>(got));
            if (static_cast<std::size_t>(got) < wanted) return {};  // the end of the file
            in_chunk += wanted;
        }
    }
}

}  // namespace

FileResult HashFileInto(const std::filesystem::path& path, std::span<Digest> digests,
                        ProgressCallback progress, void* context, const std::stop_token& stop,
                        HashInput input) {
    if (digests.empty()) return {FileOutcome::kSystemError, EINVAL};
    FileHandle file;
    std::optional<uint64_t> size;
    const FileResult opened =
        input == HashInput::kStream ? OpenStream(path, file, size) : OpenMeasured(path, file, size);
    if (!opened.done()) return opened;
    // The size measured at open only paces the progress: the file is read to
    // its end, as files of /proc (measured as 0) and growing files need.
    SecretBuffer buffer(BufferSizeFor(size));
    if (!buffer.ok()) return {FileOutcome::kSystemError, ENOMEM};
    // A file read in one piece gains nothing from read-ahead advice.
    if (!size || *size > kReadSize) file.AdviseSequential();
    GroupFeeder feeder(BalancedGroups(digests, GroupCount(digests.size(), size)));
    if (feeder.error() != 0) return {FileOutcome::kSystemError, feeder.error()};
    return FeedFile(file, buffer, feeder, size, progress, context, stop);
}

namespace {

FileResult RunDriver(HashAlgorithm algorithm, const std::filesystem::path& path, uint8_t* out,
                     ProgressCallback progress, void* context, const std::stop_token& stop) {
    Digest digest(algorithm);
    const FileResult result = HashFileInto(path, {&digest, 1}, progress, context, stop);
    if (result.done()) digest.Final(out);
    return result;
}

}  // namespace

FileResult HashFileMd5(const std::filesystem::path& path, uint32_t digest_words[4],
                       ProgressCallback progress, void* context, std::stop_token stop) {
    uint8_t bytes[16];
    const FileResult result = RunDriver(HashAlgorithm::kMd5, path, bytes, progress, context, stop);
    if (result.done()) Md5BytesToDigestWords(bytes, digest_words);
    return result;
}

FileResult HashFileSha1(const std::filesystem::path& path, uint8_t digest[20],
                        ProgressCallback progress, void* context, std::stop_token stop) {
    return RunDriver(HashAlgorithm::kSha1, path, digest, progress, context, stop);
}

FileResult HashFileSha256(const std::filesystem::path& path, uint8_t digest[32],
                          ProgressCallback progress, void* context, std::stop_token stop) {
    return RunDriver(HashAlgorithm::kSha256, path, digest, progress, context, stop);
}

FileResult HashFileSha512(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop) {
    return RunDriver(HashAlgorithm::kSha512, path, digest, progress, context, stop);
}

FileResult HashFileKeccak(const std::filesystem::path& path, uint8_t digest[64],
                          ProgressCallback progress, void* context, std::stop_token stop) {
    return RunDriver(HashAlgorithm::kKeccak, path, digest, progress, context, stop);
}

FileResult HashFileWith(HashAlgorithm algorithm, const std::filesystem::path& path,
                        std::vector<uint8_t>& digest, ProgressCallback progress, void* context,
                        std::stop_token stop) {
    digest.clear();
    std::vector<uint8_t> bytes(DigestSize(algorithm));
    const FileResult result = RunDriver(algorithm, path, bytes.data(), progress, context, stop);
    if (result.done()) digest = std::move(bytes);
    return result;
}
