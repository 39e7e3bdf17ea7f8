// SHA-512 compression for processors with AVX2 and BMI2: the message schedule
// of each block is computed two words at a time in vector registers (the
// small sigma of word t needs word t - 2, so two is the widest step), added
// to the round constants and stored; the eighty rounds then run in scalar
// registers, where BMI2's rorx rotates without touching the flags or the
// source register.
#if defined(__x86_64__)

#include <immintrin.h>

#include "hash/engines/engine_paths.h"

namespace {

#define AVX2_BMI2_TARGET __attribute__((target("avx2,bmi,bmi2")))

alignas(16) constexpr uint64_t kRoundConstants[80] = {
    0x428a2f98d728ae22ull, 0x7137449123ef65cdull, 0xb5c0fbcfec4d3b2full, 0xe9b5dba58189dbbcull,
    0x3956c25bf348b538ull, 0x59f111f1b605d019ull, 0x923f82a4af194f9bull, 0xab1c5ed5da6d8118ull,
    0xd807aa98a3030242ull, 0x12835b0145706fbeull, 0x243185be4ee4b28cull, 0x550c7dc3d5ffb4e2ull,
    0x72be5d74f27b896full, 0x80deb1fe3b1696b1ull, 0x9bdc06a725c71235ull, 0xc19bf174cf692694ull,
    0xe49b69c19ef14ad2ull, 0xefbe4786384f25e3ull, 0x0fc19dc68b8cd5b5ull, 0x240ca1cc77ac9c65ull,
    0x2de92c6f592b0275ull, 0x4a7484aa6ea6e483ull, 0x5cb0a9dcbd41fbd4ull, 0x76f988da831153b5ull,
    0x983e5152ee66dfabull, 0xa831c66d2db43210ull, 0xb00327c898fb213full, 0xbf597fc7beef0ee4ull,
    0xc6e00bf33da88fc2ull, 0xd5a79147930aa725ull, 0x06ca6351e003826full, 0x142929670a0e6e70ull,
    0x27b70a8546d22ffcull, 0x2e1b21385c26c926ull, 0x4d2c6dfc5ac42aedull, 0x53380d139d95b3dfull,
    0x650a73548baf63deull, 0x766a0abb3c77b2a8ull, 0x81c2c92e47edaee6ull, 0x92722c851482353bull,
    0xa2bfe8a14cf10364ull, 0xa81a664bbc423001ull, 0xc24b8b70d0f89791ull, 0xc76c51a30654be30ull,
    0xd192e819d6ef5218ull, 0xd69906245565a910ull, 0xf40e35855771202aull, 0x106aa07032bbd1b8ull,
    0x19a4c116b8d2d0c8ull, 0x1e376c085141ab53ull, 0x2748774cdf8eeb99ull, 0x34b0bcb5e19b48a8ull,
    0x391c0cb3c5c95a63ull, 0x4ed8aa4ae3418acbull, 0x5b9cca4f7763e373ull, 0x682e6ff3d6b2b8a3ull,
    0x748f82ee5defb2fcull, 0x78a5636f43172f60ull, 0x84c87814a1f0ab72ull, 0x8cc702081a6439ecull,
    0x90befffa23631e28ull, 0xa4506cebde82bde9ull, 0xbef9a3f7b2c67915ull, 0xc67178f2e372532bull,
    0xca273eceea26619cull, 0xd186b8c721c0c207ull, 0xeada7dd6cde0eb1eull, 0xf57d4f7fee6ed178ull,
    0x06f067aa72176fbaull, 0x0a637dc5a2c898a6ull, 0x113f9804bef90daeull, 0x1b710b35131c471bull,
    0x28db77f523047d84ull, 0x32caab7b40c72493ull, 0x3c9ebe0a15c9bebcull, 0x431d67c49c100d4cull,
    0x4cc5d4becb3e42b6ull, 0x597f299cfc657e2aull, 0x5fcb6fab3ad6faecull, 0x6c44198c4a475817ull};

template <int n>
AVX2_BMI2_TARGET inline __m128i Rotr2(__m128i x) {
    return _mm_or_si128(_mm_srli_epi64(x, n), _mm_slli_epi64(x, 64 - n));
}
AVX2_BMI2_TARGET inline __m128i SmallSigma0x2(__m128i x) {
    return _mm_xor_si128(_mm_xor_si128(Rotr2<1>(x), Rotr2<8>(x)), _mm_srli_epi64(x, 7));
}
AVX2_BMI2_TARGET inline __m128i SmallSigma1x2(__m128i x) {
    return _mm_xor_si128(_mm_xor_si128(Rotr2<19>(x), Rotr2<61>(x)), _mm_srli_epi64(x, 6));
}

// Words t, t + 1 into x0 (which held t - 16, t - 15); xk holds t - 16 + 2k and
// the word after it. The sum with the round constants goes to wk.
#define SHA512_SCHEDULE(x0, x1, x4, x5, x7, t)                                        \
    x0 = _mm_add_epi64(_mm_add_epi64(x0, SmallSigma0x2(_mm_alignr_epi8(x1, x0, 8))),  \
                       _mm_add_epi64(_mm_alignr_epi8(x5, x4, 8), SmallSigma1x2(x7))); \
    _mm_store_si128(                                                                  \
        reinterpret_cast<__m128i*>(wk + (t)),                                         \
        _mm_add_epi64(x0,                                                             \
                      _mm_load_si128(reinterpret_cast<const __m128i*>(kRoundConstants + (t)))));

inline uint64_t Rotr(uint64_t x, int n) {
    return (x >> n) | (x << (64 - n));
}

// One round. a ^ b of this round is b ^ c of the next, which makes majority
// b ^ ((a ^ b) & (b ^ c)) one operation shorter; `bc` carries it over.
#define SHA512_ROUND(a, b, c, d, e, f, g, h, t)                                       \
    {                                                                                 \
        h += wk[t] + (g ^ (e & (f ^ g))) + (Rotr(e, 14) ^ Rotr(e, 18) ^ Rotr(e, 41)); \
        d += h;                                                                       \
        const uint64_t ab = a ^ b;                                                    \
        h += (Rotr(a, 28) ^ Rotr(a, 34) ^ Rotr(a, 39)) + (b ^ (ab & bc));             \
        bc = ab;                                                                      \
    }
#define SHA512_EIGHT(t)                         \
    SHA512_ROUND(a, b, c, d, e, f, g, h, t)     \
    SHA512_ROUND(h, a, b, c, d, e, f, g, t + 1) \
    SHA512_ROUND(g, h, a, b, c, d, e, f, t + 2) \
    SHA512_ROUND(f, g, h, a, b, c, d, e, t + 3) \
    SHA512_ROUND(e, f, g, h, a, b, c, d, t + 4) \
    SHA512_ROUND(d, e, f, g, h, a, b, c, t + 5) \
    SHA512_ROUND(c, d, e, f, g, h, a, b, t + 6) \
    SHA512_ROUND(b, c, d, e, f, g, h, a, t + 7)

}  // namespace

namespace hash_engines {

AVX2_BMI2_TARGET void Sha512BlocksAvx2Bmi2(uint64_t state[8], const uint8_t* data,
                                           std::size_t blocks) {
    // Big-endian words: reverse the bytes of each 64-bit lane.
    const __m128i byte_swap = _mm_set_epi64x(0x08090a0b0c0d0e0fll, 0x0001020304050607ll);
    alignas(16) uint64_t wk[80];
    for (; blocks > 0; --blocks, data += 128) {
        const auto* in = reinterpret_cast<const __m128i*>(data);
        __m128i x0 = _mm_shuffle_epi8(_mm_loadu_si128(in + 0), byte_swap);
        __m128i x1 = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), byte_swap);
        __m128i x2 = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), byte_swap);
        __m128i x3 = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), byte_swap);
        __m128i x4 = _mm_shuffle_epi8(_mm_loadu_si128(in + 4), byte_swap);
        __m128i x5 = _mm_shuffle_epi8(_mm_loadu_si128(in + 5), byte_swap);
        __m128i x6 = _mm_shuffle_epi8(_mm_loadu_si128(in + 6), byte_swap);
        __m128i x7 = _mm_shuffle_epi8(_mm_loadu_si128(in + 7), byte_swap);
        const __m128i* k = reinterpret_cast<const __m128i*>(kRoundConstants);
        _mm_store_si128(reinterpret_cast<__m128i*>(wk + 0), _mm_add_epi64(x0, k[0]));
        _mm_store_si128(reinterpret_cast<__m128i*>(wk + 2), _mm_add_epi64(x1, k[1]));
        _mm_store_si128(reinterpret_cast<__m128i*>(wk + 4), _mm_add_epi64(x2, k[2]));
        _mm_store_si128(reinterpret_cast<__m128i*>(wk + 6), _mm_add_epi64(x3, k[3]));
        _mm_store_si128(reinterpret_cast<__m128i*>(wk + 8), _mm_add_epi64(x4, k[4]));
        _mm_store_si128(reinterpret_cast<__m128i*>(wk + 10), _mm_add_epi64(x5, k[5]));
        _mm_store_si128(reinterpret_cast<__m128i*>(wk + 12), _mm_add_epi64(x6, k[6]));
        _mm_store_si128(reinterpret_cast<__m128i*>(wk + 14), _mm_add_epi64(x7, k[7]));
        for (int t = 16; t < 80; t += 16) {
            SHA512_SCHEDULE(x0, x1, x4, x5, x7, t)
            SHA512_SCHEDULE(x1, x2, x5, x6, x0, t + 2)
            SHA512_SCHEDULE(x2, x3, x6, x7, x1, t + 4)
            SHA512_SCHEDULE(x3, x4, x7, x0, x2, t + 6)
            SHA512_SCHEDULE(x4, x5, x0, x1, x3, t + 8)
            SHA512_SCHEDULE(x5, x6, x1, x2, x4, t + 10)
            SHA512_SCHEDULE(x6, x7, x2, x3, x5, t + 12)
            SHA512_SCHEDULE(x7, x0, x3, x4, x6, t + 14)
        }

        uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
        uint64_t bc = b ^ c;
        for (int t = 0; t < 80; t += 16) {
            SHA512_EIGHT(t)
            SHA512_EIGHT(t + 8)
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
}

}  // namespace hash_engines

#endif
