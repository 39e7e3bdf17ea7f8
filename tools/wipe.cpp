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

bool OverwritePass(FileHandle& file, uint8_t* buffer, uint64_t size, uint8_t fill,
                   ProgressCallback callback, void* context, const std::stop_token& stop) {
    if (!file.SeekToStart()) return false;
    const uint64_t blocks = WipeBlocksPerPass(size);
    for (uint64_t block = 0; block < blocks; ++block) {
        if (stop.stop_requested()) return false;
        if (callback != nullptr)
            callback(static_cast<int32_t>(static_cast<uint32_t>(block)), context);
        const std::size_t length = block + 1 < blocks ? kBlock : size % kBlock;
        std::memset(buffer, fill, kBlock);
        if (!file.WriteAll(buffer, length)) return false;
    }
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

bool WipeFile(const std::filesystem::path& path, int passes, ProgressCallback callback,
              void* context, std::stop_token stop) {
    FileHandle file = FileHandle::OpenRegularForUpdate(path);
    if (!file.IsOpen()) return false;
    const std::optional<uint64_t> size = file.MeasureSize();
    if (!size) return false;
    const int pass_count = passes & 0xFF;
    if (*size > 0 && pass_count > 0) {
        std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kBlock]);
        if (!buffer) return false;
        for (int pass = 1; pass <= pass_count; ++pass) {
            if (!OverwritePass(file, buffer.get(), *size, FillByteOfPass(pass), callback, context,
                               stop)) {
                return false;
            }
        }
    }
    if (!file.Close()) return false;
    std::error_code error;
    return std::filesystem::remove(path, error) && !error;
}
