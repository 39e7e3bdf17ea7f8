#pragma once
// SHA-1 (FIPS 180-2) as a streaming engine: a caller-owned context, an update
// that takes bytes in any pieces and a final that pads and writes the digest.

#include <cstddef>
#include <cstdint>

/// The whole state of one SHA-1 computation. Plain data: copying it forks the
/// computation. There is no init function: the user sets count to 0, h to
/// kSha1InitialValues and total to 0 before the first update.
struct Sha1Context {
    uint8_t block[64];  ///< bytes of the current, not yet complete block
    uint32_t count;     ///< valid bytes in block, 0..63 between calls
    uint32_t h[5];      ///< the chaining state h0..h4
    uint64_t total;     ///< message bytes fed so far (bytes, not bits)
};

/// The FIPS 180-2 initial values of h0..h4.
inline constexpr uint32_t kSha1InitialValues[5] = {0x67452301u, 0xefcdab89u, 0x98badcfeu,
                                                   0x10325476u, 0xc3d2e1f0u};

/// Feeds `length` bytes (0 allowed). Whole blocks are compressed straight from
/// `data` while the block buffer is empty, without copying.
void Sha1Update(Sha1Context& context, const uint8_t* data, std::size_t length);

/// Pads, writes the 20-byte digest to `digest` and then clears the whole
/// context to zero bytes. With `digest` null it only clears the context.
void Sha1Final(Sha1Context& context, uint8_t* digest);

/// Applies the SHA-1 compression of one 64-byte block to h0..h4.
void Sha1Transform(Sha1Context& context, const uint8_t block[64]);
