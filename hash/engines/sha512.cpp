#include "hash/engines/sha512.h"
#include "hash/engines/round_constants.h"
#include "platform/system/byte_order.h"

#include "hash/engines/block_buffer.h"
#include "hash/engines/engine_paths.h"

#include <cstring>

namespace {

constexpr uint64_t kInitialValues[8] = {
    0x6a09e667f3bcc908ull, 0xbb67ae8584caa73bull, 0x3c6ef372fe94f82bull, 0xa54ff53a5f1d36f1ull,
    0x510e527fade682d1ull, 0x9b05688c2b3e6c1full, 0x1f83d9abfb41bd6bull, 0x5be0cd19137e2179ull};

inline uint64_t Rotr(uint64_t x, int n) {
    return (x >> n) | (x << (64 - n));
}

inline uint64_t BigSigma0(uint64_t x) {
    return Rotr(x, 28) ^ Rotr(x, 34) ^ Rotr(x, 39);
}
inline uint64_t BigSigma1(uint64_t x) {
    return Rotr(x, 14) ^ Rotr(x, 18) ^ Rotr(x, 41);
}
inline uint64_t SmallSigma0(uint64_t x) {
    return Rotr(x, 1) ^ Rotr(x, 8) ^ (x >> 7);
}
inline uint64_t SmallSigma1(uint64_t x) {
    return Rotr(x, 19) ^ Rotr(x, 61) ^ (x >> 6);
}

// Schedule word t (t >= 16) in a rolling window of sixteen words.
#define SHA512_W(t) \
    (w[(t)&15] +=   \
     SmallSigma1(w[((t) + 14) & 15]) + w[((t) + 9) & 15] + SmallSigma0(w[((t) + 1) & 15]))
#define SHA512_ROUND(a, b, c, d, e, f, g, h, t, word)                        \
    {                                                                        \
        const uint64_t t1 = h + BigSigma1(e) + (g ^ (e & (f ^ g))) +         \
                            hash_engines::kSha512RoundConstants[t] + (word); \
        const uint64_t t2 = BigSigma0(a) + ((a & b) | (c & (a | b)));        \
        d += t1;                                                             \
        h = t1 + t2;                                                         \
    }
#define SHA512_EIGHT(t, wf)                                    \
    SHA512_ROUND(a, b, c, d, e, f, g, h, (t), wf(t))           \
    SHA512_ROUND(h, a, b, c, d, e, f, g, (t) + 1, wf((t) + 1)) \
    SHA512_ROUND(g, h, a, b, c, d, e, f, (t) + 2, wf((t) + 2)) \
    SHA512_ROUND(f, g, h, a, b, c, d, e, (t) + 3, wf((t) + 3)) \
    SHA512_ROUND(e, f, g, h, a, b, c, d, (t) + 4, wf((t) + 4)) \
    SHA512_ROUND(d, e, f, g, h, a, b, c, (t) + 5, wf((t) + 5)) \
    SHA512_ROUND(c, d, e, f, g, h, a, b, (t) + 6, wf((t) + 6)) \
    SHA512_ROUND(b, c, d, e, f, g, h, a, (t) + 7, wf((t) + 7))
#define SHA512_LOADED(t) w[t]

}  // namespace

void Sha512Init(Sha512Context& context) {
    context.count = 0;
    for (int i = 0; i < 8; ++i) context.h[i] = kInitialValues[i];
    context.total = 0;
}

namespace {

void CompressBlock(uint64_t state[8], const uint8_t block[128]) {
    uint64_t w[16];
    for (int t = 0; t < 16; ++t) w[t] = LoadBe64(block + 8 * t);
    uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint64_t e = state[4], f = state[5], g = state[6], h = state[7];

    SHA512_EIGHT(0, SHA512_LOADED)
    SHA512_EIGHT(8, SHA512_LOADED)
    for (int t = 16; t < 80; t += 16) {
        SHA512_EIGHT(t, SHA512_W)
        SHA512_EIGHT(t + 8, SHA512_W)
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
    uint64_t* h;
    hash_engines::Sha512Blocks blocks;
    void operator()(const uint8_t* data, std::size_t count) const { blocks(h, data, count); }
};

}  // namespace

namespace hash_engines {

void Sha512BlocksPortable(uint64_t h[8], const uint8_t* data, std::size_t blocks) {
    for (; blocks > 0; --blocks, data += 128) CompressBlock(h, data);
}

}  // namespace hash_engines

void Sha512Transform(Sha512Context& context, const uint8_t block[128]) {
    hash_engines::Sha512Paths().Active().function(context.h, block, 1);
}

void Sha512Update(Sha512Context& context, const uint8_t* data, std::size_t length) {
    hash_engines::BufferedUpdate<128>(
        context, data, length, Compress{context.h, hash_engines::Sha512Paths().Active().function});
}

void Sha512Final(Sha512Context& context, uint8_t* digest) {
    if (digest == nullptr) return;
    hash_engines::PadAndCompressLast<128, 16>(
        context, Compress{context.h, hash_engines::Sha512Paths().Active().function});
    for (int i = 0; i < 8; ++i) StoreBe64(digest + 8 * i, context.h[i]);
}
