#pragma once
// A Keccak sponge over Keccak-f[1600] with this program's own fixed
// parameters: rate 512 bits (64 bytes), capacity 1088 bits, the multi-rate
// padding pad10*1 of the original Keccak submission (no SHA-3 domain bits)
// and a 64-byte output. Its digests therefore differ both from SHA3-512 and
// from the published Keccak-512 (rate 576).

#include <cstdint>

/// The whole state of one Keccak computation. Plain data: copying it forks the
/// computation. There is no init function: a cleared context (all bytes 0,
/// position 0) is ready to absorb.
struct KeccakContext {
    /// 25 lanes of 64 bits; lane i is bytes 8i..8i+7 little-endian and sits at
    /// column x = i mod 5, row y = i div 5.
    uint8_t state[200];
    /// Message bits absorbed into the current block, 0..511 while absorbing;
    /// -1 once the digest has been produced.
    int32_t position;
};

/// XORs `lane_count` little-endian 64-bit words from `data` into lanes 0, 1,
/// ... of the state (0 lanes: none), then applies Keccak-f[1600].
void KeccakPermute(KeccakContext& context, uint32_t lane_count, const uint8_t* data);

/// Absorbs `bit_length` bits of `data`. Every call but the last must pass a
/// multiple of 8; a trailing partial byte of n bits (1..7) contributes the n
/// most significant bits of its byte. Ignored silently on a finished context
/// and after a call that left a partial byte.
void KeccakUpdate(KeccakContext& context, const uint8_t* data, uint64_t bit_length);

/// Pads, permutes and writes the 64 digest bytes to `digest`; the context is
/// then finished (position -1). On a finished context it does nothing and
/// leaves `digest` untouched.
void KeccakFinal(KeccakContext& context, uint8_t digest[64]);
