// SHA-512 compression for processors with AVX2 and BMI2: the message schedule
// of each block is computed two words at a time in vector registers (the
// small sigma of word t needs word t - 2, so two is the widest step), added
// to the round constants and stored; the eighty rounds then run in scalar
// registers, where BMI2's rorx rotates without touching the flags or the
// source register.
#if defined(__x86_64__)

#include <immintrin.h>

#include <utility>

#include "hash/engines/engine_paths.h"
#include "hash/engines/round_constants.h"

namespace {

#define AVX2_BMI2_TARGET __attribute__((target("avx2,bmi,bmi2")))

template <int n>
AVX2_BMI2_TARGET inline __m128i Rotr2(__m128i x) {
    return _mm_or_si128(_mm_srli_epi64(x, n), _mm_slli_epi64(x, 64 - n));
}
// A rotation by whole bytes is one byte shuffle.
AVX2_BMI2_TARGET inline __m128i Rotr2By8(__m128i x) {
    return _mm_shuffle_epi8(x, _mm_set_epi64x(0x080f0e0d0c0b0a09ll, 0x0007060504030201ll));
}
AVX2_BMI2_TARGET inline __m128i SmallSigma0x2(__m128i x) {
    return _mm_xor_si128(_mm_xor_si128(Rotr2<1>(x), Rotr2By8(x)), _mm_srli_epi64(x, 7));
}
AVX2_BMI2_TARGET inline __m128i SmallSigma1x2(__m128i x) {
    return _mm_xor_si128(_mm_xor_si128(Rotr2<19>(x), Rotr2<61>(x)), _mm_srli_epi64(x, 6));
}

inline uint64_t Rotr(uint64_t x, int n) {
    return (x >> n) | (x << (64 - n));
}

// Fixes the order of additions: the compiler would otherwise regroup the sums
// below and put the late terms first.
#define SHA512_KEEP(x) __asm__("" : "+r"(x))

// One round, its additions ordered for the two dependency chains: the next e
// is d + h + w + ch(e, f, g) + sigma1(e), where d + h + w is ready long before
// e, ch takes two operations after e and sigma1 three, so it is summed in that
// order; majority in the form (a & (b | c)) | (b & c) is two operations after
// a (b | c and b & c come from older words), so it joins before sigma0(a).
#define SHA512_ROUND(a, b, c, d, e, f, g, h, t)                          \
    {                                                                    \
        uint64_t hw = h + w[t];                                          \
        const uint64_t ch = g ^ (e & (f ^ g));                           \
        uint64_t dhw = d + hw;                                           \
        SHA512_KEEP(dhw);                                                \
        dhw += ch;                                                       \
        hw += ch;                                                        \
        SHA512_KEEP(dhw);                                                \
        SHA512_KEEP(hw);                                                 \
        const uint64_t sigma1 = Rotr(e, 14) ^ Rotr(e, 18) ^ Rotr(e, 41); \
        d = dhw + sigma1;                                                \
        uint64_t t1 = hw + sigma1 + ((a & (b | c)) | (b & c));           \
        SHA512_KEEP(t1);                                                 \
        h = t1 + (Rotr(a, 28) ^ Rotr(a, 34) ^ Rotr(a, 39));              \
    }
// Eight rounds from round t, with the statements s0..s3 after every second.
#define SHA512_EIGHT(t, s0, s1, s2, s3)         \
    SHA512_ROUND(a, b, c, d, e, f, g, h, t)     \
    SHA512_ROUND(h, a, b, c, d, e, f, g, t + 1) \
    s0;                                         \
    SHA512_ROUND(g, h, a, b, c, d, e, f, t + 2) \
    SHA512_ROUND(f, g, h, a, b, c, d, e, t + 3) \
    s1;                                         \
    SHA512_ROUND(e, f, g, h, a, b, c, d, t + 4) \
    SHA512_ROUND(d, e, f, g, h, a, b, c, t + 5) \
    s2;                                         \
    SHA512_ROUND(c, d, e, f, g, h, a, b, t + 6) \
    SHA512_ROUND(b, c, d, e, f, g, h, a, t + 7) \
    s3;

// The message schedule of one block in eight registers of two words each,
// x[k] holding words 2k, 2k + 1 of the current sixteen-word window (k taken
// modulo 8 as the window slides). Each step also stores its words plus the
// round constants for the rounds.
struct Schedule {
    __m128i x[8];

    // Words 2j, 2j + 1 of `block`.
    template <int j>
    AVX2_BMI2_TARGET void Load(const uint8_t* block, uint64_t* wk) {
        const __m128i byte_swap = _mm_set_epi64x(0x08090a0b0c0d0e0fll, 0x0001020304050607ll);
        x[j] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * j)),
                                byte_swap);
        Store(wk, 2 * j, x[j]);
    }

    // Words t, t + 1 (t >= 16, j = t / 2 mod 8) from words t - 16 .. t - 1.
    template <int j>
    AVX2_BMI2_TARGET void Step(uint64_t* wk, int t) {
        const __m128i w15 = _mm_alignr_epi8(x[(j + 1) & 7], x[j], 8);
        const __m128i w7 = _mm_alignr_epi8(x[(j + 5) & 7], x[(j + 4) & 7], 8);
        x[j] = _mm_add_epi64(_mm_add_epi64(x[j], SmallSigma0x2(w15)),
                             _mm_add_epi64(w7, SmallSigma1x2(x[(j + 7) & 7])));
        Store(wk, t, x[j]);
    }

    AVX2_BMI2_TARGET static void Store(uint64_t* wk, int t, __m128i words) {
        const __m128i k = _mm_load_si128(
            reinterpret_cast<const __m128i*>(hash_engines::kSha512RoundConstants + t));
        _mm_store_si128(reinterpret_cast<__m128i*>(wk + t), _mm_add_epi64(words, k));
    }
};

// The eighty rounds of one block over `w` (words plus constants). With kNext,
// the schedule of `next_block` into `next_w` is interleaved with them, one
// vector step after every second round, so that it runs on the vector units
// while the rounds wait on their own dependency chain.
template <bool kNext>
AVX2_BMI2_TARGET inline void Rounds(uint64_t state[8], const uint64_t* w, Schedule& schedule,
                                    const uint8_t* next_block, uint64_t* next_w) {
    uint64_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint64_t e = state[4], f = state[5], g = state[6], h = state[7];
#define SHA512_NEXT(call) \
    if constexpr (kNext) schedule.call
    SHA512_EIGHT(0, SHA512_NEXT(Load<0>(next_block, next_w)),
                 SHA512_NEXT(Load<1>(next_block, next_w)), SHA512_NEXT(Load<2>(next_block, next_w)),
                 SHA512_NEXT(Load<3>(next_block, next_w)))
    SHA512_EIGHT(8, SHA512_NEXT(Load<4>(next_block, next_w)),
                 SHA512_NEXT(Load<5>(next_block, next_w)), SHA512_NEXT(Load<6>(next_block, next_w)),
                 SHA512_NEXT(Load<7>(next_block, next_w)))
    for (int t = 16; t < 80; t += 16) {
        SHA512_EIGHT(t, SHA512_NEXT(Step<0>(next_w, t)), SHA512_NEXT(Step<1>(next_w, t + 2)),
                     SHA512_NEXT(Step<2>(next_w, t + 4)), SHA512_NEXT(Step<3>(next_w, t + 6)))
        SHA512_EIGHT(t + 8, SHA512_NEXT(Step<4>(next_w, t + 8)),
                     SHA512_NEXT(Step<5>(next_w, t + 10)), SHA512_NEXT(Step<6>(next_w, t + 12)),
                     SHA512_NEXT(Step<7>(next_w, t + 14)))
    }
#undef SHA512_NEXT
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

}  // namespace

namespace hash_engines {

AVX2_BMI2_TARGET void Sha512BlocksAvx2Bmi2(uint64_t state[8], const uint8_t* data,
                                           std::size_t blocks) {
    if (blocks == 0) return;
    // `now` serves the rounds of one block while `next` is filled for the next.
    alignas(16) uint64_t buffers[2][80];
    uint64_t* now = buffers[0];
    uint64_t* next = buffers[1];
    Schedule schedule;
    schedule.Load<0>(data, now);
    schedule.Load<1>(data, now);
    schedule.Load<2>(data, now);
    schedule.Load<3>(data, now);
    schedule.Load<4>(data, now);
    schedule.Load<5>(data, now);
    schedule.Load<6>(data, now);
    schedule.Load<7>(data, now);
    for (int t = 16; t < 80; t += 16) {
        schedule.Step<0>(now, t);
        schedule.Step<1>(now, t + 2);
        schedule.Step<2>(now, t + 4);
        schedule.Step<3>(now, t + 6);
        schedule.Step<4>(now, t + 8);
        schedule.Step<5>(now, t + 10);
        schedule.Step<6>(now, t + 12);
        schedule.Step<7>(now, t + 14);
    }
    for (; blocks > 1; --blocks) {
        data += 128;
        Rounds<true>(state, now, schedule, data, next);
        std::swap(now, next);
    }
    Rounds<false>(state, now, schedule, nullptr, nullptr);
}

}  // namespace hash_engines

#endif
