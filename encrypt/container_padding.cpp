#include "encrypt/container_padding.h"

#include <cstring>

std::size_t PadFinalChunk(uint8_t* buffer, std::size_t length) {
    const auto padded = static_cast<std::size_t>(PaddedLength(length));
    buffer[length] = kPaddingMarker;
    std::memset(buffer + length + 1, 0, padded - length - 1);
    return padded;
}

std::optional<std::size_t> PlaintextInTail(const uint8_t* tail, std::size_t tail_length) {
    if (tail_length != 16 && tail_length != 32) return std::nullopt;
    const uint8_t* last_block = tail + tail_length - 16;
    int last_non_zero = 15;
    while (last_non_zero >= 0 && last_block[last_non_zero] == 0) --last_non_zero;
    if (last_non_zero >= 0) {
        if (last_block[last_non_zero] != kPaddingMarker) return std::nullopt;
        return tail_length - 16 + static_cast<std::size_t>(last_non_zero);
    }
    // An all-zero last block is the extra block after a marker that filled
    // the block before it.
    if (tail_length != 32 || tail[15] != kPaddingMarker) return std::nullopt;
    return 15;
}
