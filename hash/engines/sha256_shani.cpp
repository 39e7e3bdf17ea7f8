// SHA-256 compression with the SHA extensions (sha256rnds2, sha256msg1,
// sha256msg2). The eight state words live in two registers in the order the
// round instruction wants, ABEF and CDGH; each instruction does two rounds,
// taking the two schedule words plus round constants from the low half of
// its message operand.
#if defined(__x86_64__)

#include <immintrin.h>

#include "hash/engines/engine_paths.h"
#include "hash/engines/round_constants.h"

namespace {

#define SHA_NI_TARGET __attribute__((target("sha,sse4.1,ssse3")))

// Four rounds with schedule words w (t..t+3, already in lane order).
SHA_NI_TARGET inline void FourRounds(__m128i& abef, __m128i& cdgh, __m128i w, int t) {
    __m128i wk = _mm_add_epi32(
        w,
        _mm_load_si128(reinterpret_cast<const __m128i*>(hash_engines::kSha256RoundConstants + t)));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
    wk = _mm_shuffle_epi32(wk, 0x0e);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, wk);
}

// Schedule words t..t+3 from the four groups before them.
SHA_NI_TARGET inline __m128i NextWords(__m128i w16, __m128i w12, __m128i w8, __m128i w4) {
    const __m128i partial =
        _mm_add_epi32(_mm_sha256msg1_epu32(w16, w12), _mm_alignr_epi8(w4, w8, 4));
    return _mm_sha256msg2_epu32(partial, w4);
}

}  // namespace

namespace hash_engines {

SHA_NI_TARGET void Sha256BlocksShaNi(uint32_t h[8], const uint8_t* data, std::size_t blocks) {
    // Big-endian words: reverse the bytes of each 32-bit lane.
    const __m128i byte_swap = _mm_set_epi64x(0x0c0d0e0f08090a0bll, 0x0405060700010203ll);
    // From memory order to the round instruction's: lanes B A D C and H G F E
    // give F E B A ("ABEF", A highest) and H G D C ("CDGH").
    const __m128i lanes_badc =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<__m128i*>(h)), 0xb1);
    const __m128i lanes_hgfe =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<__m128i*>(h + 4)), 0x1b);
    __m128i abef = _mm_alignr_epi8(lanes_badc, lanes_hgfe, 8);
    __m128i cdgh = _mm_blend_epi16(lanes_hgfe, lanes_badc, 0xf0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abef_in = abef, cdgh_in = cdgh;
        const auto* in = reinterpret_cast<const __m128i*>(data);
        __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(in + 0), byte_swap);
        __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), byte_swap);
        __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), byte_swap);
        __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), byte_swap);
        for (int t = 0; t < 48; t += 16) {
            FourRounds(abef, cdgh, w0, t);
            w0 = NextWords(w0, w1, w2, w3);
            FourRounds(abef, cdgh, w1, t + 4);
            w1 = NextWords(w1, w2, w3, w0);
            FourRounds(abef, cdgh, w2, t + 8);
            w2 = NextWords(w2, w3, w0, w1);
            FourRounds(abef, cdgh, w3, t + 12);
            w3 = NextWords(w3, w0, w1, w2);
        }
        FourRounds(abef, cdgh, w0, 48);
        FourRounds(abef, cdgh, w1, 52);
        FourRounds(abef, cdgh, w2, 56);
        FourRounds(abef, cdgh, w3, 60);
        abef = _mm_add_epi32(abef, abef_in);
        cdgh = _mm_add_epi32(cdgh, cdgh_in);
    }

    // Back to h0..h7 in memory order: lanes A B E F and G H C D, then
    // A B C D and E F G H.
    const __m128i lanes_abef = _mm_shuffle_epi32(abef, 0x1b);
    const __m128i lanes_ghcd = _mm_shuffle_epi32(cdgh, 0xb1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h), _mm_blend_epi16(lanes_abef, lanes_ghcd, 0xf0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(h + 4), _mm_alignr_epi8(lanes_ghcd, lanes_abef, 8));
}

}  // namespace hash_engines

#endif
