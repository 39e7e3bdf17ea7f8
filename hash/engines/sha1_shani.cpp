// SHA-1 compression with the SHA extensions (sha1rnds4, sha1nexte, sha1msg1,
// sha1msg2). A B C D live in one register (A in the highest lane); E is only
// ever needed as the addend of the next four rounds, which sha1nexte derives
// from A four rounds earlier.
#if defined(__x86_64__)

#include <immintrin.h>

#include "hash/engines/engine_paths.h"

namespace {

#define SHA_NI_TARGET __attribute__((target("sha,sse4.1,ssse3")))

// Four rounds with the round function and constant of group `kFunction`
// (0..3); `e` is what sha1nexte made of the A saved four rounds earlier.
#define SHA1_FOUR(kFunction, w)                            \
    {                                                      \
        const __m128i e = _mm_sha1nexte_epu32(saved_a, w); \
        saved_a = abcd;                                    \
        abcd = _mm_sha1rnds4_epu32(abcd, e, kFunction);    \
    }

// Schedule words t..t+3 from the four groups before them.
#define SHA1_NEXT(w16, w12, w8, w4) \
    w16 = _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(w16, w12), w8), w4)

}  // namespace

namespace hash_engines {

SHA_NI_TARGET void Sha1BlocksShaNi(uint32_t h[5], const uint8_t* data, std::size_t blocks) {
    // Big-endian words with word 0 in the highest lane: reverse all 16 bytes.
    const __m128i byte_swap = _mm_set_epi64x(0x0001020304050607ll, 0x08090a0b0c0d0e0fll);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<__m128i*>(h)), 0x1b);
    __m128i e_in = _mm_set_epi32(int(h[4]), 0, 0, 0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abcd_in = abcd;
        const auto* in = reinterpret_cast<const __m128i*>(data);
        __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(in + 0), byte_swap);
        __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), byte_swap);
        __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), byte_swap);
        __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), byte_swap);

        // Rounds 0..3 take E as it is.
        __m128i saved_a = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, _mm_add_epi32(e_in, w0), 0);
        SHA1_FOUR(0, w1)
        SHA1_FOUR(0, w2)
        SHA1_FOUR(0, w3)
        SHA1_NEXT(w0, w1, w2, w3);  // 16..19
        SHA1_FOUR(0, w0)
        SHA1_NEXT(w1, w2, w3, w0);
        SHA1_FOUR(1, w1)
        SHA1_NEXT(w2, w3, w0, w1);
        SHA1_FOUR(1, w2)
        SHA1_NEXT(w3, w0, w1, w2);
        SHA1_FOUR(1, w3)
        SHA1_NEXT(w0, w1, w2, w3);  // 32..35
        SHA1_FOUR(1, w0)
        SHA1_NEXT(w1, w2, w3, w0);
        SHA1_FOUR(1, w1)
        SHA1_NEXT(w2, w3, w0, w1);
        SHA1_FOUR(2, w2)
        SHA1_NEXT(w3, w0, w1, w2);
        SHA1_FOUR(2, w3)
        SHA1_NEXT(w0, w1, w2, w3);  // 48..51
        SHA1_FOUR(2, w0)
        SHA1_NEXT(w1, w2, w3, w0);
        SHA1_FOUR(2, w1)
        SHA1_NEXT(w2, w3, w0, w1);
        SHA1_FOUR(2, w2)
        SHA1_NEXT(w3, w0, w1, w2);
        SHA1_FOUR(3, w3)
        SHA1_NEXT(w0, w1, w2, w3);  // 64..67
        SHA1_FOUR(3, w0)
        SHA1_NEXT(w1, w2, w3, w0);
        SHA1_FOUR(3, w1)
        SHA1_NEXT(w2, w3, w0, w1);
        SHA1_FOUR(3, w2)
        SHA1_NEXT(w3, w0, w1, w2);  // 76..79
        SHA1_FOUR(3, w3)

        // E after 80 rounds is A of round 76 rotated; add the chaining values.
        e_in = _mm_sha1nexte_epu32(saved_a, e_in);
        abcd = _mm_add_epi32(abcd, abcd_in);
    }

    _mm_storeu_si128(reinterpret_cast<__m128i*>(h), _mm_shuffle_epi32(abcd, 0x1b));
    h[4] = uint32_t(_mm_extract_epi32(e_in, 3));
}

}  // namespace hash_engines

#endif
