#include "ciphers/camellia256_gfni.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <cstring>

#include "ciphers/camellia_affine.h"

#define QUORVANE_GFNI_TARGET __attribute__((target("gfni,avx512f,avx512bw"), always_inline))

namespace {

constexpr std::size_t kGroup = 64;  // blocks per pass: one byte of each per register

// Byte-sliced state of 64 blocks: slice j holds byte j of every block (the
// order of the blocks inside a slice is the same for all slices). Bytes 0 to
// 7 are the left half, 8 to 15 the right half, so the cipher's byte-wise
// operations become whole-register operations and the P-function is XORs
// of registers.
struct Slices {
    __m512i byte[16];
};

// Transposes the 16 x 16 bytes inside each 128-bit lane of 16 registers.
// One pass of interleaving register i with register i + 8 rotates the eight
// bits (register index, byte index) left by one; four passes swap them.
QUORVANE_GFNI_TARGET inline void TransposeLanes(__m512i v[16]) {
    for (int pass = 0; pass < 4; ++pass) {
        __m512i t[16];
        for (int i = 0; i < 8; ++i) {
            t[2 * i] = _mm512_unpacklo_epi8(v[i], v[i + 8]);
            t[2 * i + 1] = _mm512_unpackhi_epi8(v[i], v[i + 8]);
        }
        for (int i = 0; i < 16; ++i) v[i] = t[i];
    }
}

// The constants are template arguments so that they reach the instructions
// as immediates in every build, unoptimised ones included.
template <uint64_t kPre, int kPreConstant, uint64_t kPost, int kPostConstant>
QUORVANE_GFNI_TARGET inline __m512i AffineSbox(__m512i x) {
    const __m512i inner = _mm512_gf2p8affine_epi64_epi8(
        x, _mm512_set1_epi64(static_cast<long long>(kPre)), kPreConstant);
    return _mm512_gf2p8affineinv_epi64_epi8(inner, _mm512_set1_epi64(static_cast<long long>(kPost)),
                                            kPostConstant);
}

template <int Box>
QUORVANE_GFNI_TARGET inline __m512i Sbox(__m512i x) {
    constexpr camellia_affine::SboxAffine kBox = camellia_affine::kSboxes[Box - 1];
    return AffineSbox<kBox.pre, kBox.preConstant, kBox.post, kBox.postConstant>(x);
}

QUORVANE_GFNI_TARGET inline __m512i KeyByte(const uint8_t* key, int j) {
    return _mm512_set1_epi8(static_cast<char>(key[j]));
}

// y ^= F(x, k) for eight slices x and y. D and U are what z1..z4 and z5..z8
// give to y1..y4; y5..y8 add D rotated by one byte position (see the
// table-driven F-function).
QUORVANE_GFNI_TARGET inline void Feistel(const __m512i* x, __m512i* y, const uint8_t k[8]) {
    const __m512i z1 = Sbox<1>(_mm512_xor_si512(x[0], KeyByte(k, 0)));
    const __m512i z2 = Sbox<2>(_mm512_xor_si512(x[1], KeyByte(k, 1)));
    const __m512i z3 = Sbox<3>(_mm512_xor_si512(x[2], KeyByte(k, 2)));
    const __m512i z4 = Sbox<4>(_mm512_xor_si512(x[3], KeyByte(k, 3)));
    const __m512i z5 = Sbox<2>(_mm512_xor_si512(x[4], KeyByte(k, 4)));
    const __m512i z6 = Sbox<3>(_mm512_xor_si512(x[5], KeyByte(k, 5)));
    const __m512i z7 = Sbox<4>(_mm512_xor_si512(x[6], KeyByte(k, 6)));
    const __m512i z8 = Sbox<1>(_mm512_xor_si512(x[7], KeyByte(k, 7)));
    const __m512i s = _mm512_xor_si512(_mm512_xor_si512(z1, z2), _mm512_xor_si512(z3, z4));
    const __m512i t = _mm512_xor_si512(_mm512_xor_si512(z5, z6), _mm512_xor_si512(z7, z8));
    const __m512i d1 = _mm512_xor_si512(s, z2), d2 = _mm512_xor_si512(s, z3);
    const __m512i d3 = _mm512_xor_si512(s, z4), d4 = _mm512_xor_si512(s, z1);
    const __m512i y1 = _mm512_xor_si512(d1, _mm512_xor_si512(t, z5));
    const __m512i y2 = _mm512_xor_si512(d2, _mm512_xor_si512(t, z6));
    const __m512i y3 = _mm512_xor_si512(d3, _mm512_xor_si512(t, z7));
    const __m512i y4 = _mm512_xor_si512(d4, _mm512_xor_si512(t, z8));
    y[0] = _mm512_xor_si512(y[0], y1);
    y[1] = _mm512_xor_si512(y[1], y2);
    y[2] = _mm512_xor_si512(y[2], y3);
    y[3] = _mm512_xor_si512(y[3], y4);
    y[4] = _mm512_xor_si512(y[4], _mm512_xor_si512(y1, d4));
    y[5] = _mm512_xor_si512(y[5], _mm512_xor_si512(y2, d1));
    y[6] = _mm512_xor_si512(y[6], _mm512_xor_si512(y3, d2));
    y[7] = _mm512_xor_si512(y[7], _mm512_xor_si512(y4, d3));
}

// A 32-bit word held as four slices, most significant first, rotated left by
// one bit: each byte shifts left and takes the top bit of the byte after it.
QUORVANE_GFNI_TARGET inline void RotateWordLeft1(const __m512i in[4], __m512i out[4]) {
    const __m512i one = _mm512_set1_epi8(1);
    for (int j = 0; j < 4; ++j) {
        const __m512i carry = _mm512_and_si512(_mm512_srli_epi16(in[(j + 1) % 4], 7), one);
        out[j] = _mm512_or_si512(_mm512_add_epi8(in[j], in[j]), carry);
    }
}

// FL with `keLeft` on the left half and FL^-1 with `keRight` on the right.
QUORVANE_GFNI_TARGET inline void FLLayer(Slices& s, const uint8_t keLeft[8],
                                         const uint8_t keRight[8]) {
    __m512i* x1 = s.byte;  // left half: x1 = bytes 0..3, x2 = bytes 4..7
    __m512i* x2 = s.byte + 4;
    __m512i masked[4], rotated[4];
    for (int j = 0; j < 4; ++j) masked[j] = _mm512_and_si512(x1[j], KeyByte(keLeft, j));
    RotateWordLeft1(masked, rotated);
    for (int j = 0; j < 4; ++j) x2[j] = _mm512_xor_si512(x2[j], rotated[j]);
    for (int j = 0; j < 4; ++j) {
        x1[j] = _mm512_xor_si512(x1[j], _mm512_or_si512(x2[j], KeyByte(keLeft, 4 + j)));
    }

    __m512i* y1 = s.byte + 8;  // right half
    __m512i* y2 = s.byte + 12;
    for (int j = 0; j < 4; ++j) {
        y1[j] = _mm512_xor_si512(y1[j], _mm512_or_si512(y2[j], KeyByte(keRight, 4 + j)));
    }
    for (int j = 0; j < 4; ++j) masked[j] = _mm512_and_si512(y1[j], KeyByte(keRight, j));
    RotateWordLeft1(masked, rotated);
    for (int j = 0; j < 4; ++j) y2[j] = _mm512_xor_si512(y2[j], rotated[j]);
}

QUORVANE_GFNI_TARGET inline void Whiten(__m512i* half, const uint8_t key[8]) {
    for (int j = 0; j < 8; ++j) half[j] = _mm512_xor_si512(half[j], KeyByte(key, j));
}

// Six rounds with subkeys last, last - 1, ... (decryption order).
QUORVANE_GFNI_TARGET inline void SixRoundsBackward(Slices& s, const Camellia256Context* context,
                                                   int last) {
    for (int i = 0; i < 6; i += 2) {
        Feistel(s.byte, s.byte + 8, context->subkeys[last - i]);
        Feistel(s.byte + 8, s.byte, context->subkeys[last - i - 1]);
    }
}

// Deciphers 64 blocks into `out` (registers of four blocks each, in order).
__attribute__((target("gfni,avx512f,avx512bw"))) void DecryptGroup(
    const Camellia256Context* context, const uint8_t* in, __m512i out[16]) {
    Slices s;
    for (int i = 0; i < 16; ++i) s.byte[i] = _mm512_loadu_si512(in + 64 * i);
    TransposeLanes(s.byte);
    Whiten(s.byte, context->subkeys[32]);
    Whiten(s.byte + 8, context->subkeys[33]);
    SixRoundsBackward(s, context, 31);
    FLLayer(s, context->subkeys[25], context->subkeys[24]);
    SixRoundsBackward(s, context, 23);
    FLLayer(s, context->subkeys[17], context->subkeys[16]);
    SixRoundsBackward(s, context, 15);
    FLLayer(s, context->subkeys[9], context->subkeys[8]);
    SixRoundsBackward(s, context, 7);
    // Swap the halves and whiten with kw1 || kw2.
    for (int j = 0; j < 8; ++j) {
        out[j] = _mm512_xor_si512(s.byte[8 + j], KeyByte(context->subkeys[0], j));
        out[8 + j] = _mm512_xor_si512(s.byte[j], KeyByte(context->subkeys[1], j));
    }
    TransposeLanes(out);
}

// Deciphers one group in place. Registers are stored from the last to the
// first so that the ciphertext block before each register is still in the
// buffer when it is read.
__attribute__((target("gfni,avx512f,avx512bw"))) void CbcDecryptGroup(
    const Camellia256Context* context, uint8_t* buffer, uint8_t chain[16]) {
    __m512i plain[16];
    DecryptGroup(context, buffer, plain);
    uint8_t nextChain[16];
    std::memcpy(nextChain, buffer + 16 * (kGroup - 1), 16);
    for (int i = 15; i > 0; --i) {
        const __m512i before = _mm512_loadu_si512(buffer + 64 * i - 16);
        _mm512_storeu_si512(buffer + 64 * i, _mm512_xor_si512(plain[i], before));
    }
    // valignq: the chain value (lane 3 of the broadcast) then blocks 0 to 2.
    const __m512i first = _mm512_maskz_alignr_epi64(
        0xff, _mm512_loadu_si512(buffer),
        _mm512_maskz_broadcast_i32x4(0xffff,
                                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(chain))),
        6);
    _mm512_storeu_si512(buffer, _mm512_xor_si512(plain[0], first));
    std::memcpy(chain, nextChain, 16);
}

}  // namespace

void Camellia256GfniCbcDecrypt(std::size_t blocks, uint8_t* buffer,
                               const Camellia256Context* context, uint8_t chain[16]) {
    std::size_t b = 0;
    for (; b + kGroup <= blocks; b += kGroup) CbcDecryptGroup(context, buffer + 16 * b, chain);
    uint8_t previous[16];
    for (; b < blocks; ++b) {
        uint8_t* block = buffer + 16 * b;
        std::memcpy(previous, chain, 16);
        std::memcpy(chain, block, 16);
        Camellia256DecryptBlock(block, block, context);
        for (int i = 0; i < 16; ++i) block[i] ^= previous[i];
    }
}

#endif
