#include "hash/engines/sha1.h"
#include "platform/system/byte_order.h"

#include "hash/engines/block_buffer.h"
#include "hash/engines/engine_paths.h"

#include <cstring>

#include "platform/system/secure_wipe.h"

namespace {

inline uint32_t Rotl(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

// The schedule is kept as a rolling window of sixteen words: word t (t >= 16)
// replaces word t - 16, which is no longer needed.
#define SHA1_W(t) \
    (w[(t)&15] = Rotl(w[((t) + 13) & 15] ^ w[((t) + 8) & 15] ^ w[((t) + 2) & 15] ^ w[(t)&15], 1))
#define SHA1_CH(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define SHA1_PARITY(b, c, d) ((b) ^ (c) ^ (d))
#define SHA1_MAJ(b, c, d) (((b) & (c)) | ((d) & ((b) | (c))))
#define SHA1_ROUND(f, k, a, b, c, d, e, word)    \
    e += Rotl(a, 5) + f(b, c, d) + (k) + (word); \
    b = Rotl(b, 30);
#define SHA1_FIVE(f, k, t, wf)                   \
    SHA1_ROUND(f, k, a, b, c, d, e, wf(t))       \
    SHA1_ROUND(f, k, e, a, b, c, d, wf((t) + 1)) \
    SHA1_ROUND(f, k, d, e, a, b, c, wf((t) + 2)) \
    SHA1_ROUND(f, k, c, d, e, a, b, wf((t) + 3)) \
    SHA1_ROUND(f, k, b, c, d, e, a, wf((t) + 4))
#define SHA1_LOADED(t) w[t]

}  // namespace

namespace {

void CompressBlock(uint32_t h[5], const uint8_t block[64]) {
    uint32_t w[16];
    for (int t = 0; t < 16; ++t) w[t] = LoadBe32(block + 4 * t);
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];

    SHA1_FIVE(SHA1_CH, 0x5a827999u, 0, SHA1_LOADED)
    SHA1_FIVE(SHA1_CH, 0x5a827999u, 5, SHA1_LOADED)
    SHA1_FIVE(SHA1_CH, 0x5a827999u, 10, SHA1_LOADED)
    SHA1_ROUND(SHA1_CH, 0x5a827999u, a, b, c, d, e, w[15])
    SHA1_ROUND(SHA1_CH, 0x5a827999u, e, a, b, c, d, SHA1_W(16))
    SHA1_ROUND(SHA1_CH, 0x5a827999u, d, e, a, b, c, SHA1_W(17))
    SHA1_ROUND(SHA1_CH, 0x5a827999u, c, d, e, a, b, SHA1_W(18))
    SHA1_ROUND(SHA1_CH, 0x5a827999u, b, c, d, e, a, SHA1_W(19))

    SHA1_FIVE(SHA1_PARITY, 0x6ed9eba1u, 20, SHA1_W)
    SHA1_FIVE(SHA1_PARITY, 0x6ed9eba1u, 25, SHA1_W)
    SHA1_FIVE(SHA1_PARITY, 0x6ed9eba1u, 30, SHA1_W)
    SHA1_FIVE(SHA1_PARITY, 0x6ed9eba1u, 35, SHA1_W)

    SHA1_FIVE(SHA1_MAJ, 0x8f1bbcdcu, 40, SHA1_W)
    SHA1_FIVE(SHA1_MAJ, 0x8f1bbcdcu, 45, SHA1_W)
    SHA1_FIVE(SHA1_MAJ, 0x8f1bbcdcu, 50, SHA1_W)
    SHA1_FIVE(SHA1_MAJ, 0x8f1bbcdcu, 55, SHA1_W)

    SHA1_FIVE(SHA1_PARITY, 0xca62c1d6u, 60, SHA1_W)
    SHA1_FIVE(SHA1_PARITY, 0xca62c1d6u, 65, SHA1_W)
    SHA1_FIVE(SHA1_PARITY, 0xca62c1d6u, 70, SHA1_W)
    SHA1_FIVE(SHA1_PARITY, 0xca62c1d6u, 75, SHA1_W)

    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
}

// Runs of whole blocks for the buffering, through the active path.
struct Compress {
    uint32_t* h;
    hash_engines::Sha1Blocks blocks;
    void operator()(const uint8_t* data, std::size_t count) const { blocks(h, data, count); }
};

}  // namespace

namespace hash_engines {

void Sha1BlocksPortable(uint32_t h[5], const uint8_t* data, std::size_t blocks) {
    for (; blocks > 0; --blocks, data += 64) CompressBlock(h, data);
}

}  // namespace hash_engines

void Sha1Transform(Sha1Context& context, const uint8_t block[64]) {
    hash_engines::Sha1Paths().Active().function(context.h, block, 1);
}

void Sha1Update(Sha1Context& context, const uint8_t* data, std::size_t length) {
    hash_engines::BufferedUpdate<64>(
        context, data, length, Compress{context.h, hash_engines::Sha1Paths().Active().function});
}

void Sha1Final(Sha1Context& context, uint8_t* digest) {
    if (digest != nullptr) {
        hash_engines::PadAndCompressLast<64, 8>(
            context, Compress{context.h, hash_engines::Sha1Paths().Active().function});
        for (int i = 0; i < 5; ++i) StoreBe32(digest + 4 * i, context.h[i]);
    }
    SecureWipeObject(context);
}
