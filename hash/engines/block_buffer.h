#pragma once
// Block buffering and final padding shared by the SHA-1, SHA-256 and SHA-512
// engines. Their contexts all hold `block`, `count` (bytes waiting in block)
// and `total` (message bytes so far); they differ in block size and in the
// compression function.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/system/byte_order.h"

namespace hash_engines {

/// Feeds `length` bytes: whole blocks go straight from `data` to `transform`
/// while nothing is buffered, the rest waits in the context's block.
template <std::size_t kBlockSize, typename Context, typename Transform>
void BufferedUpdate(Context& context, const uint8_t* data, uint32_t length, Transform transform) {
    context.total += length;
    while (length > 0) {
        if (context.count == 0 && length >= kBlockSize) {
            transform(context, data);
            data += kBlockSize;
            length -= kBlockSize;
            continue;
        }
        const uint32_t room = static_cast<uint32_t>(kBlockSize) - context.count;
        const uint32_t n = length < room ? length : room;
        std::memcpy(context.block + context.count, data, n);
        context.count += n;
        data += n;
        length -= n;
        if (context.count == kBlockSize) {
            transform(context, context.block);
            context.count = 0;
        }
    }
}

/// The closing padding: the 0x80 marker, zeros, and the message length in bits
/// as a big-endian number filling the last `kLengthBytes` bytes (8 or 16) of
/// the last block; compresses one more block when the marker leaves no room for
/// the length. Afterwards `count` is what the last compression left it.
template <std::size_t kBlockSize, std::size_t kLengthBytes, typename Context, typename Transform>
void PadAndCompressLast(Context& context, Transform transform) {
    constexpr std::size_t kLengthAt = kBlockSize - kLengthBytes;
    const uint32_t used = context.count;
    context.block[used] = 0x80;
    context.count = used + 1;
    if (used >= kLengthAt) {
        std::memset(context.block + used + 1, 0, kBlockSize - (used + 1));
        transform(context, context.block);
        context.count = 0;
        std::memset(context.block, 0, kLengthAt);
    } else {
        std::memset(context.block + used + 1, 0, kLengthAt - (used + 1));
    }
    // Byte totals below 2^61 give bit counts that fit the low 64 bits.
    std::memset(context.block + kLengthAt, 0, kLengthBytes - 8);
    StoreBe64(context.block + kBlockSize - 8, context.total * 8);
    transform(context, context.block);
}

}  // namespace hash_engines
