#include "tools/wipe.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>

#include "platform/system/file_handle.h"

namespace {

constexpr std::size_t kBlock = 1 << 20;

uint8_t FillByteOfPass(int pass) {
    return pass % 2 == 1 ? 0xFF : 0x00;
}

bool OverwritePass(FileHandle& file, uint8_t* buffer, WipePosition& position, uint64_t size,
                   const WipeListener& listener, const std::stop_token& stop) {
    if (!file.SeekToStart()) return false;
    std::memset(buffer, FillByteOfPass(position.pass), kBlock);
    for (uint64_t block = 0; block < position.blocks; ++block) {
        if (stop.stop_requested()) return false;
        position.blocks_written = block;
        if (listener) listener(position);
        const std::size_t length = block + 1 < position.blocks ? kBlock : size % kBlock;
        if (!file.WriteAll(buffer, length)) return false;
    }
    position.blocks_written = position.blocks;
    if (listener) listener(position);
    return file.Sync();
}

}  // namespace

uint64_t WipeBlocksPerPass(uint64_t file_size) {
    return file_size / kBlock + 1;
}

int32_t WipePassPercent(int32_t block_index, uint64_t file_size) {
    const uint64_t blocks = WipeBlocksPerPass(file_size);
    const uint64_t done = static_cast<uint64_t>(std::max(block_index, 0)) + 1;
    return static_cast<int32_t>(std::min<uint64_t>(100, done * 100 / blocks));
}

int32_t WipePosition::PassPercent() const {
    if (blocks == 0) return 0;
    return static_cast<int32_t>(std::min<uint64_t>(blocks_written, blocks) * 100 / blocks);
}

int32_t WipePosition::TotalPercent() const {
    if (blocks == 0 || passes <= 0) return 0;
    const uint64_t done = uint64_t(pass - 1) * blocks + std::min(blocks_written, blocks);
    return static_cast<int32_t>(done * 100 / (uint64_t(passes) * blocks));
}

bool WipeFileReporting(const std::filesystem::path& path, int passes, const WipeListener& listener,
                       std::stop_token stop) {
    FileHandle file = FileHandle::OpenRegularForUpdate(path);
    if (!file.IsOpen()) return false;
    // Another run of this program may be reading the file to encrypt it:
    // never overwrite what it reads.
    if (!file.TryLock(FileHandle::Lock::kExclusive)) return false;
    const std::optional<uint64_t> size = file.MeasureSize();
    if (!size) return false;
    WipePosition position;
    position.passes = passes & 0xFF;
    position.blocks = WipeBlocksPerPass(*size);
    if (*size > 0 && position.passes > 0) {
        std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kBlock]);
        if (!buffer) return false;
        for (position.pass = 1; position.pass <= position.passes; ++position.pass) {
            if (!OverwritePass(file, buffer.get(), position, *size, listener, stop)) return false;
        }
    }
    // Deleted while the lock is held: nobody starts reading it in between.
    // Every pass is already on the disk, so the close has nothing left to lose.
    std::error_code error;
    if (!std::filesystem::remove(path, error) || error) return false;
    file.Close();
    return true;
}

bool WipeFile(const std::filesystem::path& path, int passes, ProgressCallback callback,
              void* context, std::stop_token stop) {
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
                  const std::function<void(const WipeListEvent&)>& listener, std::stop_token stop) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (stop.stop_requested()) return false;
        listener({WipeListEvent::Kind::kFileStarted, i, {}});
        const bool wiped = WipeFileReporting(
            files[i], passes,
            [&](const WipePosition& position) {
                listener({WipeListEvent::Kind::kProgress, i, position});
            },
            stop);
        if (!wiped && stop.stop_requested()) return false;
        listener({WipeListEvent::Kind::kFileFinished, i, {}, wiped});
    }
    return true;
}
