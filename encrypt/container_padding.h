#pragma once
// The container's padding: the plaintext, one marker byte 0x01, then zero
// bytes up to the next multiple of 16. When the marker fills the last byte of
// a block, one further block of sixteen zero bytes follows (17 bytes of
// padding), so a padded plaintext never ends in the marker itself.

#include <cstddef>
#include <cstdint>
#include <optional>

inline constexpr uint8_t kPaddingMarker = 0x01;

/// Length of the padded plaintext (the ciphertext length) for `plain_length`
/// bytes: 16 × (⌊(n + 1) / 16⌋ + 1). Always a multiple of 16, at least 16.
constexpr uint64_t PaddedLength(uint64_t plain_length) {
    return 16 * ((plain_length + 1) / 16 + 1);
}

/// Pads the final `length` bytes held at `buffer` in place and returns the
/// padded length. The buffer must have room for PaddedLength(length) bytes
/// (`length` + 17 is always enough).
std::size_t PadFinalChunk(uint8_t* buffer, std::size_t length);

/// Reads the padding at the end of a deciphered payload. `tail` holds the
/// payload's last `tail_length` bytes: 32, or 16 when the payload is a single
/// block. Returns how many of those bytes are plaintext, or nothing when the
/// padding is not exactly the marker followed by zero bytes (1 to 16 bytes in
/// the last block, or the marker as the last byte of the previous block and
/// an all-zero last block). A wrong key gives bad padding in about 255 cases
/// of 256; the rest cannot be told apart from a right key.
std::optional<std::size_t> PlaintextInTail(const uint8_t* tail, std::size_t tail_length);
