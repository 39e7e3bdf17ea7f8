#include "hash/engines/sha256.h"
#include "hash/engines/round_constants.h"
#include "platform/system/byte_order.h"

#include "hash/engines/block_buffer.h"
#include "hash/engines/engine_paths.h"

#include <cstring>

#include "platform/system/secure_wipe.h"

namespace {

inline uint32_t Rotr(uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

inline uint32_t BigSigma0(uint32_t x) {
    return Rotr(x, 2) ^ Rotr(x, 13) ^ Rotr(x, 22);
}
inline uint32_t BigSigma1(uint32_t x) {
    return Rotr(x, 6) ^ Rotr(x, 11) ^ Rotr(x, 25);
}
inline uint32_t SmallSigma0(uint32_t x) {
    return Rotr(x, 7) ^ Rotr(x, 18) ^ (x >> 3);
}
inline uint32_t SmallSigma1(uint32_t x) {
    return Rotr(x, 17) ^ Rotr(x, 19) ^ (x >> 10);
}

// Schedule word t (t >= 16) in a rolling window of sixteen words.
#define SHA256_W(t) \
    (w[(t)&15] +=   \
     SmallSigma1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + SmallSigma0(w[((t) + 1) & 15]))
#define SHA256_ROUND(a, b, c, d, e, f, g, h, t, word)                        \
    {                                                                        \
        const uint32_t t1 = h + BigSigma1(e) + (g ^ (e & (f ^ g))) +         \
                            hash_engines::kSha256RoundConstants[t] + (word); \
        const uint32_t t2 = BigSigma0(a) + ((a & b) | (c & (a | b)));        \
        d += t1;                                                             \
        h = t1 + t2;                                                         \
    }
#define SHA256_EIGHT(t, wf)                                    \
    SHA256_ROUND(a, b, c, d, e, f, g, h, (t), wf(t))           \
    SHA256_ROUND(h, a, b, c, d, e, f, g, (t) + 1, wf((t) + 1)) \
    SHA256_ROUND(g, h, a, b, c, d, e, f, (t) + 2, wf((t) + 2)) \
    SHA256_ROUND(f, g, h, a, b, c, d, e, (t) + 3, wf((t) + 3)) \
    SHA256_ROUND(e, f, g, h, a, b, c, d, (t) + 4, wf((t) + 4)) \
    SHA256_ROUND(d, e, f, g, h, a, b, c, (t) + 5, wf((t) + 5)) \
    SHA256_ROUND(c, d, e, f, g, h, a, b, (t) + 6, wf((t) + 6)) \
    SHA256_ROUND(b, c, d, e, f, g, h, a, (t) + 7, wf((t) + 7))
#define SHA256_LOADED(t) w[t]

}  // namespace

namespace {

void CompressBlock(uint32_t state[8], const uint8_t block[64]) {
    uint32_t w[16];
    for (int t = 0; t < 16; ++t) w[t] = LoadBe32(block + 4 * t);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];

    SHA256_EIGHT(0, SHA256_LOADED)
    SHA256_EIGHT(8, SHA256_LOADED)
    for (int t = 16; t < 64; t += 16) {
        SHA256_EIGHT(t, SHA256_W)
        SHA256_EIGHT(t + 8, SHA256_W)
    }

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

// Runs of whole blocks for the buffering, through the active path.
struct Compress {
    uint32_t* h;
    hash_engines::Sha256Blocks blocks;
    void operator()(const uint8_t* data, std::size_t count) const { blocks(h, data, count); }
};

}  // namespace

namespace hash_engines {

void Sha256BlocksPortable(uint32_t h[8], const uint8_t* data, std::size_t blocks) {
    for (; blocks > 0; --blocks, data += 64) CompressBlock(h, data);
}

}  // namespace hash_engines

void Sha256Transform(Sha256Context& context, const uint8_t block[64]) {
    hash_engines::Sha256Paths().Active().function(context.h, block, 1);
}

void Sha256Update(Sha256Context& context, const uint8_t* data, std::size_t length) {
    hash_engines::BufferedUpdate<64>(
        context, data, length, Compress{context.h, hash_engines::Sha256Paths().Active().function});
}

void Sha256Final(Sha256Context& context, uint8_t* digest) {
    if (digest != nullptr) {
        hash_engines::PadAndCompressLast<64, 8>(
            context, Compress{context.h, hash_engines::Sha256Paths().Active().function});
        for (int i = 0; i < 8; ++i) StoreBe32(digest + 4 * i, context.h[i]);
    }
    SecureWipeObject(context);
}
