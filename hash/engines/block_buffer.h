#pragma once
// Block buffering and final padding shared by the SHA-1, SHA-256 and SHA-512
// engines. Their contexts all hold `block`, `count` (bytes waiting in block)
// and `total` (message bytes so far); they differ in block size and in the
// compression function, which both take as compress(bytes, block_count).

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/system/byte_order.h"

namespace hash_engines {

/// Feeds `length` bytes: whole blocks go straight from `data` to `compress`
/// (called as compress(bytes, block_count), one call for each run of whole
/// blocks) while nothing is buffered; the rest waits in the context's block.
template <std::size_t kBlockSize, typename Context, typename Compress>
void BufferedUpdate(Context& context, const uint8_t* data, std::size_t length, Compress compress) {
    context.total += length;
    if (length == 0) return;
    if (context.count > 0) {
        const std::size_t room = kBlockSize - context.count;
        const std::size_t n = length < room ? length : room;
        std::memcpy(context.block + context.count, data, n);
        context.count += static_cast<uint32_t>(n);
        data += n;
        length -= n;
        if (context.count < kBlockSize) return;
        compress(context.block, 1);
        context.count = 0;
    }
    const std::size_t whole = length / kBlockSize;
    if (whole > 0) compress(data, whole);
    data += whole * kBlockSize;
    length -= whole * kBlockSize;
    if (length > 0) std::memcpy(context.block, data, length);
    context.count = static_cast<uint32_t>(length);
}

/// The closing padding: the 0x80 marker, zeros, and the message length in bits
/// as a big-endian number filling the last `kLengthBytes` bytes (8 or 16) of
/// the last block; compresses one more block when the marker leaves no room for
/// the length. Afterwards `count` is what the last compression left it.
template <std::size_t kBlockSize, std::size_t kLengthBytes, typename Context, typename Compress>
void PadAndCompressLast(Context& context, Compress compress) {
    constexpr std::size_t kLengthAt = kBlockSize - kLengthBytes;
    const uint32_t used = context.count;
    context.block[used] = 0x80;
    context.count = used + 1;
    if (used >= kLengthAt) {
        std::memset(context.block + used + 1, 0, kBlockSize - (used + 1));
        compress(context.block, 1);
        context.count = 0;
        std::memset(context.block, 0, kLengthAt);
    } else {
        std::memset(context.block + used + 1, 0, kLengthAt - (used + 1));
    }
    // Byte totals below 2^61 give bit counts that fit the low 64 bits.
    std::memset(context.block + kLengthAt, 0, kLengthBytes - 8);
    StoreBe64(context.block + kBlockSize - 8, context.total * 8);
    compress(context.block, 1);
}

}  // namespace hash_engines
