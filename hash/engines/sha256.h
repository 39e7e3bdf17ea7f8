#pragma once
// SHA-256 (FIPS 180-2) as a streaming engine: a caller-owned context, an
// update that takes bytes in any pieces and a final that pads and writes the
// digest.

#include <cstddef>
#include <cstdint>

/// The whole state of one SHA-256 computation. Plain data: copying it forks
/// the computation. There is no init function: the user sets count to 0, h to
/// kSha256InitialValues and total to 0 before the first update.
struct Sha256Context {
    uint8_t block[64];  ///< bytes of the current, not yet complete block
    uint32_t count;     ///< valid bytes in block, 0..63 between calls
    uint32_t h[8];      ///< the chaining state h0..h7
    uint64_t total;     ///< message bytes fed so far (bytes, not bits)
};

/// The FIPS 180-2 initial values of h0..h7.
inline constexpr uint32_t kSha256InitialValues[8] = {0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u,
                                                     0xa54ff53au, 0x510e527fu, 0x9b05688cu,
                                                     0x1f83d9abu, 0x5be0cd19u};

/// Feeds `length` bytes (0 allowed). Whole blocks are compressed straight from
/// `data` while the block buffer is empty, without copying.
void Sha256Update(Sha256Context& context, const uint8_t* data, std::size_t length);

/// Pads, writes the 32-byte digest to `digest` and then clears the whole
/// context to zero bytes. With `digest` null it only clears the context.
void Sha256Final(Sha256Context& context, uint8_t* digest);

/// Applies the SHA-256 compression of one 64-byte block to h0..h7.
void Sha256Transform(Sha256Context& context, const uint8_t block[64]);
