// Keccak-f[1600] with AVX-512 (VL): each of the 25 lanes sits in the low half
// of a register of its own, so that every three-input XOR of theta and every
// chi step (a ^ (~b & c)) is one vpternlogq and every rotation one vprolq,
// with no moves; the 32 vector registers hold the state and the temporaries.
#if defined(__x86_64__)

#include <immintrin.h>

#include "hash/engines/engine_paths.h"
#include "hash/engines/round_constants.h"

namespace {

#define AVX512_TARGET __attribute__((target("avx512f,avx512vl")))

AVX512_TARGET inline __m128i Xor3(__m128i a, __m128i b, __m128i c) {
    return _mm_ternarylogic_epi64(a, b, c, 0x96);
}

// a ^ (~b & c)
AVX512_TARGET inline __m128i Chi(__m128i a, __m128i b, __m128i c) {
    return _mm_ternarylogic_epi64(a, b, c, 0xd2);
}

// Lane i of the state (x86 is little-endian, so a plain 64-bit load reads the
// lane's bytes in the right order).
inline __m128i* Lane(uint8_t* bytes, int i) {
    return reinterpret_cast<__m128i*>(bytes + 8 * i);
}
inline const __m128i* Lane(const uint8_t* bytes, int i) {
    return reinterpret_cast<const __m128i*>(bytes + 8 * i);
}

// One round from the lanes `a` to the lanes `e`. Theta and rho are applied to
// every lane of `a` in place, column by column, before chi starts, and pi is
// only the choice of lanes that chi combines: that keeps the values alive at
// any time within the 32 registers (25 lanes and the five column terms).
#define KECCAK_ROUND(a, e, rc)                           \
    c0 = Xor3(Xor3(a##00, a##05, a##10), a##15, a##20);  \
    c1 = Xor3(Xor3(a##01, a##06, a##11), a##16, a##21);  \
    c2 = Xor3(Xor3(a##02, a##07, a##12), a##17, a##22);  \
    c3 = Xor3(Xor3(a##03, a##08, a##13), a##18, a##23);  \
    c4 = Xor3(Xor3(a##04, a##09, a##14), a##19, a##24);  \
    d0 = _mm_xor_si128(c4, _mm_rol_epi64(c1, 1));        \
    d1 = _mm_xor_si128(c0, _mm_rol_epi64(c2, 1));        \
    d2 = _mm_xor_si128(c1, _mm_rol_epi64(c3, 1));        \
    d3 = _mm_xor_si128(c2, _mm_rol_epi64(c4, 1));        \
    d4 = _mm_xor_si128(c3, _mm_rol_epi64(c0, 1));        \
    a##00 = _mm_xor_si128(a##00, d0);                    \
    a##05 = _mm_rol_epi64(_mm_xor_si128(a##05, d0), 36); \
    a##10 = _mm_rol_epi64(_mm_xor_si128(a##10, d0), 3);  \
    a##15 = _mm_rol_epi64(_mm_xor_si128(a##15, d0), 41); \
    a##20 = _mm_rol_epi64(_mm_xor_si128(a##20, d0), 18); \
    a##01 = _mm_rol_epi64(_mm_xor_si128(a##01, d1), 1);  \
    a##06 = _mm_rol_epi64(_mm_xor_si128(a##06, d1), 44); \
    a##11 = _mm_rol_epi64(_mm_xor_si128(a##11, d1), 10); \
    a##16 = _mm_rol_epi64(_mm_xor_si128(a##16, d1), 45); \
    a##21 = _mm_rol_epi64(_mm_xor_si128(a##21, d1), 2);  \
    a##02 = _mm_rol_epi64(_mm_xor_si128(a##02, d2), 62); \
    a##07 = _mm_rol_epi64(_mm_xor_si128(a##07, d2), 6);  \
    a##12 = _mm_rol_epi64(_mm_xor_si128(a##12, d2), 43); \
    a##17 = _mm_rol_epi64(_mm_xor_si128(a##17, d2), 15); \
    a##22 = _mm_rol_epi64(_mm_xor_si128(a##22, d2), 61); \
    a##03 = _mm_rol_epi64(_mm_xor_si128(a##03, d3), 28); \
    a##08 = _mm_rol_epi64(_mm_xor_si128(a##08, d3), 55); \
    a##13 = _mm_rol_epi64(_mm_xor_si128(a##13, d3), 25); \
    a##18 = _mm_rol_epi64(_mm_xor_si128(a##18, d3), 21); \
    a##23 = _mm_rol_epi64(_mm_xor_si128(a##23, d3), 56); \
    a##04 = _mm_rol_epi64(_mm_xor_si128(a##04, d4), 27); \
    a##09 = _mm_rol_epi64(_mm_xor_si128(a##09, d4), 20); \
    a##14 = _mm_rol_epi64(_mm_xor_si128(a##14, d4), 39); \
    a##19 = _mm_rol_epi64(_mm_xor_si128(a##19, d4), 8);  \
    a##24 = _mm_rol_epi64(_mm_xor_si128(a##24, d4), 14); \
    e##00 = Chi(a##00, a##06, a##12);                    \
    e##01 = Chi(a##06, a##12, a##18);                    \
    e##02 = Chi(a##12, a##18, a##24);                    \
    e##03 = Chi(a##18, a##24, a##00);                    \
    e##04 = Chi(a##24, a##00, a##06);                    \
    e##05 = Chi(a##03, a##09, a##10);                    \
    e##06 = Chi(a##09, a##10, a##16);                    \
    e##07 = Chi(a##10, a##16, a##22);                    \
    e##08 = Chi(a##16, a##22, a##03);                    \
    e##09 = Chi(a##22, a##03, a##09);                    \
    e##10 = Chi(a##01, a##07, a##13);                    \
    e##11 = Chi(a##07, a##13, a##19);                    \
    e##12 = Chi(a##13, a##19, a##20);                    \
    e##13 = Chi(a##19, a##20, a##01);                    \
    e##14 = Chi(a##20, a##01, a##07);                    \
    e##15 = Chi(a##04, a##05, a##11);                    \
    e##16 = Chi(a##05, a##11, a##17);                    \
    e##17 = Chi(a##11, a##17, a##23);                    \
    e##18 = Chi(a##17, a##23, a##04);                    \
    e##19 = Chi(a##23, a##04, a##05);                    \
    e##20 = Chi(a##02, a##08, a##14);                    \
    e##21 = Chi(a##08, a##14, a##15);                    \
    e##22 = Chi(a##14, a##15, a##21);                    \
    e##23 = Chi(a##15, a##21, a##02);                    \
    e##24 = Chi(a##21, a##02, a##08);                    \
    e##00 = _mm_xor_si128(e##00, _mm_cvtsi64_si128(int64_t(rc)));

// Lanes in, `blocks` absorbed blocks (or one bare permutation with `data`
// null), lanes out.
AVX512_TARGET void Run(uint8_t state[200], const uint8_t* data, std::size_t blocks) {
    __m128i a00, a01, a02, a03, a04, a05, a06, a07, a08, a09, a10, a11, a12, a13, a14, a15, a16,
        a17, a18, a19, a20, a21, a22, a23, a24;
    __m128i e00, e01, e02, e03, e04, e05, e06, e07, e08, e09, e10, e11, e12, e13, e14, e15, e16,
        e17, e18, e19, e20, e21, e22, e23, e24;
    __m128i c0, c1, c2, c3, c4, d0, d1, d2, d3, d4;
    a00 = _mm_loadl_epi64(Lane(state, 0));
    a01 = _mm_loadl_epi64(Lane(state, 1));
    a02 = _mm_loadl_epi64(Lane(state, 2));
    a03 = _mm_loadl_epi64(Lane(state, 3));
    a04 = _mm_loadl_epi64(Lane(state, 4));
    a05 = _mm_loadl_epi64(Lane(state, 5));
    a06 = _mm_loadl_epi64(Lane(state, 6));
    a07 = _mm_loadl_epi64(Lane(state, 7));
    a08 = _mm_loadl_epi64(Lane(state, 8));
    a09 = _mm_loadl_epi64(Lane(state, 9));
    a10 = _mm_loadl_epi64(Lane(state, 10));
    a11 = _mm_loadl_epi64(Lane(state, 11));
    a12 = _mm_loadl_epi64(Lane(state, 12));
    a13 = _mm_loadl_epi64(Lane(state, 13));
    a14 = _mm_loadl_epi64(Lane(state, 14));
    a15 = _mm_loadl_epi64(Lane(state, 15));
    a16 = _mm_loadl_epi64(Lane(state, 16));
    a17 = _mm_loadl_epi64(Lane(state, 17));
    a18 = _mm_loadl_epi64(Lane(state, 18));
    a19 = _mm_loadl_epi64(Lane(state, 19));
    a20 = _mm_loadl_epi64(Lane(state, 20));
    a21 = _mm_loadl_epi64(Lane(state, 21));
    a22 = _mm_loadl_epi64(Lane(state, 22));
    a23 = _mm_loadl_epi64(Lane(state, 23));
    a24 = _mm_loadl_epi64(Lane(state, 24));
    for (std::size_t block = 0; block < (data != nullptr ? blocks : 1); ++block) {
        if (data != nullptr) {
            a00 = _mm_xor_si128(a00, _mm_loadl_epi64(Lane(data, 0)));
            a01 = _mm_xor_si128(a01, _mm_loadl_epi64(Lane(data, 1)));
            a02 = _mm_xor_si128(a02, _mm_loadl_epi64(Lane(data, 2)));
            a03 = _mm_xor_si128(a03, _mm_loadl_epi64(Lane(data, 3)));
            a04 = _mm_xor_si128(a04, _mm_loadl_epi64(Lane(data, 4)));
            a05 = _mm_xor_si128(a05, _mm_loadl_epi64(Lane(data, 5)));
            a06 = _mm_xor_si128(a06, _mm_loadl_epi64(Lane(data, 6)));
            a07 = _mm_xor_si128(a07, _mm_loadl_epi64(Lane(data, 7)));
            data += 64;
        }
        for (int round = 0; round < 24; round += 2) {
            KECCAK_ROUND(a, e, hash_engines::kKeccakRoundConstants[round])
            KECCAK_ROUND(e, a, hash_engines::kKeccakRoundConstants[round + 1])
        }
    }
    _mm_storel_epi64(Lane(state, 0), a00);
    _mm_storel_epi64(Lane(state, 1), a01);
    _mm_storel_epi64(Lane(state, 2), a02);
    _mm_storel_epi64(Lane(state, 3), a03);
    _mm_storel_epi64(Lane(state, 4), a04);
    _mm_storel_epi64(Lane(state, 5), a05);
    _mm_storel_epi64(Lane(state, 6), a06);
    _mm_storel_epi64(Lane(state, 7), a07);
    _mm_storel_epi64(Lane(state, 8), a08);
    _mm_storel_epi64(Lane(state, 9), a09);
    _mm_storel_epi64(Lane(state, 10), a10);
    _mm_storel_epi64(Lane(state, 11), a11);
    _mm_storel_epi64(Lane(state, 12), a12);
    _mm_storel_epi64(Lane(state, 13), a13);
    _mm_storel_epi64(Lane(state, 14), a14);
    _mm_storel_epi64(Lane(state, 15), a15);
    _mm_storel_epi64(Lane(state, 16), a16);
    _mm_storel_epi64(Lane(state, 17), a17);
    _mm_storel_epi64(Lane(state, 18), a18);
    _mm_storel_epi64(Lane(state, 19), a19);
    _mm_storel_epi64(Lane(state, 20), a20);
    _mm_storel_epi64(Lane(state, 21), a21);
    _mm_storel_epi64(Lane(state, 22), a22);
    _mm_storel_epi64(Lane(state, 23), a23);
    _mm_storel_epi64(Lane(state, 24), a24);
}

}  // namespace

namespace hash_engines {

void KeccakPermuteAvx512(uint8_t state[200]) {
    Run(state, nullptr, 1);
}

void KeccakAbsorbAvx512(uint8_t state[200], const uint8_t* data, std::size_t blocks) {
    if (blocks > 0) Run(state, data, blocks);
}

}  // namespace hash_engines

#endif
