// Keccak-f[1600] with AVX-512 (VL): each of the 25 lanes sits in the low half
// of a register of its own, so that every three-input XOR of theta and every
// chi step (a ^ (~b & c)) is one vpternlogq and every rotation one vprolq,
// with no moves; the 32 vector registers hold the state and the temporaries.
#if defined(__x86_64__)

#include <immintrin.h>

#include "hash/engines/engine_paths.h"

namespace {

#define AVX512_TARGET __attribute__((target("avx512f,avx512vl")))

constexpr uint64_t kRoundConstants[24] = {
    0x0000000000000001ull, 0x0000000000008082ull, 0x800000000000808Aull, 0x8000000080008000ull,
    0x000000000000808Bull, 0x0000000080000001ull, 0x8000000080008081ull, 0x8000000000008009ull,
    0x000000000000008Aull, 0x0000000000000088ull, 0x0000000080008009ull, 0x000000008000000Aull,
    0x000000008000808Bull, 0x800000000000008Bull, 0x8000000000008089ull, 0x8000000000008003ull,
    0x8000000000008002ull, 0x8000000000000080ull, 0x000000000000800Aull, 0x800000008000000Aull,
    0x8000000080008081ull, 0x8000000000008080ull, 0x0000000080000001ull, 0x8000000080008008ull};

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

// One round from the lanes `a` to the lanes `e`, laid out as the portable
// round: theta's column parities, then row by row theta, rho and pi into five
// temporaries and chi; iota on lane 0. d_x holds only the rotated parity of
// column x + 1; theta's XOR with the parity of column x - 1 joins the lane's
// own in one three-input XOR.
#define KECCAK_ROUND(a, e, rc)                           \
    c00 = Xor3(Xor3(a##00, a##05, a##10), a##15, a##20); \
    c01 = Xor3(Xor3(a##01, a##06, a##11), a##16, a##21); \
    c02 = Xor3(Xor3(a##02, a##07, a##12), a##17, a##22); \
    c03 = Xor3(Xor3(a##03, a##08, a##13), a##18, a##23); \
    c04 = Xor3(Xor3(a##04, a##09, a##14), a##19, a##24); \
    d0 = _mm_rol_epi64(c01, 1);                          \
    d1 = _mm_rol_epi64(c02, 1);                          \
    d2 = _mm_rol_epi64(c03, 1);                          \
    d3 = _mm_rol_epi64(c04, 1);                          \
    d4 = _mm_rol_epi64(c00, 1);                          \
    b0 = Xor3(a##00, c04, d0);                           \
    b1 = _mm_rol_epi64(Xor3(a##06, c00, d1), 44);        \
    b2 = _mm_rol_epi64(Xor3(a##12, c01, d2), 43);        \
    b3 = _mm_rol_epi64(Xor3(a##18, c02, d3), 21);        \
    b4 = _mm_rol_epi64(Xor3(a##24, c03, d4), 14);        \
    e##00 = Chi(b0, b1, b2);                             \
    e##01 = Chi(b1, b2, b3);                             \
    e##02 = Chi(b2, b3, b4);                             \
    e##03 = Chi(b3, b4, b0);                             \
    e##04 = Chi(b4, b0, b1);                             \
    b0 = _mm_rol_epi64(Xor3(a##03, c02, d3), 28);        \
    b1 = _mm_rol_epi64(Xor3(a##09, c03, d4), 20);        \
    b2 = _mm_rol_epi64(Xor3(a##10, c04, d0), 3);         \
    b3 = _mm_rol_epi64(Xor3(a##16, c00, d1), 45);        \
    b4 = _mm_rol_epi64(Xor3(a##22, c01, d2), 61);        \
    e##05 = Chi(b0, b1, b2);                             \
    e##06 = Chi(b1, b2, b3);                             \
    e##07 = Chi(b2, b3, b4);                             \
    e##08 = Chi(b3, b4, b0);                             \
    e##09 = Chi(b4, b0, b1);                             \
    b0 = _mm_rol_epi64(Xor3(a##01, c00, d1), 1);         \
    b1 = _mm_rol_epi64(Xor3(a##07, c01, d2), 6);         \
    b2 = _mm_rol_epi64(Xor3(a##13, c02, d3), 25);        \
    b3 = _mm_rol_epi64(Xor3(a##19, c03, d4), 8);         \
    b4 = _mm_rol_epi64(Xor3(a##20, c04, d0), 18);        \
    e##10 = Chi(b0, b1, b2);                             \
    e##11 = Chi(b1, b2, b3);                             \
    e##12 = Chi(b2, b3, b4);                             \
    e##13 = Chi(b3, b4, b0);                             \
    e##14 = Chi(b4, b0, b1);                             \
    b0 = _mm_rol_epi64(Xor3(a##04, c03, d4), 27);        \
    b1 = _mm_rol_epi64(Xor3(a##05, c04, d0), 36);        \
    b2 = _mm_rol_epi64(Xor3(a##11, c00, d1), 10);        \
    b3 = _mm_rol_epi64(Xor3(a##17, c01, d2), 15);        \
    b4 = _mm_rol_epi64(Xor3(a##23, c02, d3), 56);        \
    e##15 = Chi(b0, b1, b2);                             \
    e##16 = Chi(b1, b2, b3);                             \
    e##17 = Chi(b2, b3, b4);                             \
    e##18 = Chi(b3, b4, b0);                             \
    e##19 = Chi(b4, b0, b1);                             \
    b0 = _mm_rol_epi64(Xor3(a##02, c01, d2), 62);        \
    b1 = _mm_rol_epi64(Xor3(a##08, c02, d3), 55);        \
    b2 = _mm_rol_epi64(Xor3(a##14, c03, d4), 39);        \
    b3 = _mm_rol_epi64(Xor3(a##15, c04, d0), 41);        \
    b4 = _mm_rol_epi64(Xor3(a##21, c00, d1), 2);         \
    e##20 = Chi(b0, b1, b2);                             \
    e##21 = Chi(b1, b2, b3);                             \
    e##22 = Chi(b2, b3, b4);                             \
    e##23 = Chi(b3, b4, b0);                             \
    e##24 = Chi(b4, b0, b1);                             \
    e##00 = _mm_xor_si128(e##00, _mm_cvtsi64_si128(int64_t(rc)));

// Lanes in, `blocks` absorbed blocks (or one bare permutation with `data`
// null), lanes out.
AVX512_TARGET void Run(uint8_t state[200], const uint8_t* data, std::size_t blocks) {
    __m128i a00, a01, a02, a03, a04, a05, a06, a07, a08, a09, a10, a11, a12, a13, a14, a15, a16,
        a17, a18, a19, a20, a21, a22, a23, a24;
    __m128i e00, e01, e02, e03, e04, e05, e06, e07, e08, e09, e10, e11, e12, e13, e14, e15, e16,
        e17, e18, e19, e20, e21, e22, e23, e24;
    __m128i c00, c01, c02, c03, c04, d0, d1, d2, d3, d4, b0, b1, b2, b3, b4;
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
            KECCAK_ROUND(a, e, kRoundConstants[round])
            KECCAK_ROUND(e, a, kRoundConstants[round + 1])
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
