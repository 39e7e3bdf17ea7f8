#pragma once
// SHA-512 (FIPS 180-2) as a streaming engine: a caller-owned context, an
// update that takes bytes in any pieces and a final that pads and writes the
// digest.

#include <cstddef>
#include <cstdint>

/// The whole state of one SHA-512 computation. Plain data: copying it forks
/// the computation. Note the field order: count first and block last.
struct Sha512Context {
    uint32_t count;      ///< valid bytes in block, 0..127 between calls
    uint64_t h[8];       ///< the chaining state h0..h7
    uint64_t total;      ///< message bytes fed so far (bytes, not bits)
    uint8_t block[128];  ///< bytes of the current, not yet complete block
};

/// Sets count to 0, h0..h7 to the FIPS 180-2 initial values and total to 0.
void Sha512Init(Sha512Context& context);

/// Feeds `length` bytes (0 allowed). Whole blocks are compressed straight from
/// `data` while the block buffer is empty, without copying.
void Sha512Update(Sha512Context& context, const uint8_t* data, std::size_t length);

/// Pads and writes the 64-byte digest to `digest`. The context is not cleared:
/// it keeps what the last compression left (h holds the final chaining
/// values). With `digest` null it does nothing at all. A context is not used
/// again after this without a new Sha512Init.
void Sha512Final(Sha512Context& context, uint8_t* digest);

/// Applies the SHA-512 compression of one 128-byte block to h0..h7.
void Sha512Transform(Sha512Context& context, const uint8_t block[128]);
