#include "ciphers/aes256_ni.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include "platform/system/secure_wipe.h"

namespace {

constexpr int kRounds = 14;

// The context's words hold their bytes most significant first; the
// instructions want the bytes in memory order.
struct InstructionKeys {
    __m128i round[kRounds + 1];
    InstructionKeys(const InstructionKeys&) = delete;
    InstructionKeys& operator=(const InstructionKeys&) = delete;
    __attribute__((target("sse4.1"))) explicit InstructionKeys(const Aes256Context* context) {
        const __m128i swapWords =
            _mm_set_epi8(12, 13, 14, 15, 8, 9, 10, 11, 4, 5, 6, 7, 0, 1, 2, 3);
        for (int r = 0; r <= kRounds; ++r) {
            const __m128i words =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(context->roundKeys + 4 * r));
            round[r] = _mm_shuffle_epi8(words, swapWords);
        }
    }
    ~InstructionKeys() { SecureWipe(round, sizeof(round)); }
};

__attribute__((target("aes,sse4.1"))) inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

__attribute__((target("aes,sse4.1"))) inline void Store(uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

__attribute__((target("aes,sse4.1"))) inline __m128i DecryptOne(const InstructionKeys& keys,
                                                                __m128i x) {
    x = _mm_xor_si128(x, keys.round[0]);
    for (int r = 1; r < kRounds; ++r) x = _mm_aesdec_si128(x, keys.round[r]);
    return _mm_aesdeclast_si128(x, keys.round[kRounds]);
}

// Deciphers eight blocks at once: the instructions of one block wait for the
// previous round's result, so eight independent chains keep the unit busy.
__attribute__((target("aes,sse4.1"))) void DecryptEight(const InstructionKeys& keys,
                                                        uint8_t* buffer, __m128i& chain) {
    __m128i c[8], x[8];
    for (int i = 0; i < 8; ++i) {
        c[i] = Load(buffer + 16 * i);
        x[i] = _mm_xor_si128(c[i], keys.round[0]);
    }
    for (int r = 1; r < kRounds; ++r) {
        for (int i = 0; i < 8; ++i) x[i] = _mm_aesdec_si128(x[i], keys.round[r]);
    }
    for (int i = 0; i < 8; ++i) x[i] = _mm_aesdeclast_si128(x[i], keys.round[kRounds]);
    Store(buffer, _mm_xor_si128(x[0], chain));
    for (int i = 1; i < 8; ++i) Store(buffer + 16 * i, _mm_xor_si128(x[i], c[i - 1]));
    chain = c[7];
}

// The round keys broadcast to all four lanes of a 512-bit register.
struct WideKeys {
    __m512i round[kRounds + 1];
    WideKeys(const WideKeys&) = delete;
    WideKeys& operator=(const WideKeys&) = delete;
    __attribute__((target("vaes,avx512f"))) explicit WideKeys(const InstructionKeys& keys) {
        for (int r = 0; r <= kRounds; ++r)
            round[r] = _mm512_maskz_broadcast_i32x4(0xffff, keys.round[r]);
    }
    ~WideKeys() { SecureWipe(round, sizeof(round)); }
};

// Sixteen blocks as four registers of four. Each block is XORed with the
// ciphertext block before it: lane 0 of register i takes lane 3 of register
// i - 1, which one valignq per register supplies. `previous` holds the last
// ciphertext block in lane 3.
__attribute__((target("vaes,avx512f"))) void DecryptSixteen(const WideKeys& keys, uint8_t* buffer,
                                                            __m512i& previous) {
    __m512i c[4], x[4];
    for (int i = 0; i < 4; ++i) {
        c[i] = _mm512_loadu_si512(buffer + 64 * i);
        x[i] = _mm512_xor_si512(c[i], keys.round[0]);
    }
    for (int r = 1; r < kRounds; ++r) {
        for (int i = 0; i < 4; ++i) x[i] = _mm512_aesdec_epi128(x[i], keys.round[r]);
    }
    for (int i = 0; i < 4; ++i) x[i] = _mm512_aesdeclast_epi128(x[i], keys.round[kRounds]);
    __m512i before = previous;
    for (int i = 0; i < 4; ++i) {
        _mm512_storeu_si512(buffer + 64 * i, _mm512_xor_si512(x[i], _mm512_maskz_alignr_epi64(
                                                                        0xff, c[i], before, 6)));
        before = c[i];
    }
    previous = before;
}

// The round keys broadcast to both lanes of a 256-bit register.
struct HalfWideKeys {
    __m256i round[kRounds + 1];
    HalfWideKeys(const HalfWideKeys&) = delete;
    HalfWideKeys& operator=(const HalfWideKeys&) = delete;
    __attribute__((target("vaes,avx2"))) explicit HalfWideKeys(const InstructionKeys& keys) {
        for (int r = 0; r <= kRounds; ++r) round[r] = _mm256_broadcastsi128_si256(keys.round[r]);
    }
    ~HalfWideKeys() { SecureWipe(round, sizeof(round)); }
};

// Sixteen blocks as eight registers of two: as many independent chains as
// the 512-bit form, for processors with VAES but without AVX-512. `previous`
// holds the last ciphertext block in its upper lane.
__attribute__((target("vaes,avx2"))) void DecryptSixteenAvx2(const HalfWideKeys& keys,
                                                             uint8_t* buffer, __m256i& previous) {
    __m256i c[8], x[8];
    for (int i = 0; i < 8; ++i) {
        c[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(buffer + 32 * i));
        x[i] = _mm256_xor_si256(c[i], keys.round[0]);
    }
    for (int r = 1; r < kRounds; ++r) {
        for (int i = 0; i < 8; ++i) x[i] = _mm256_aesdec_epi128(x[i], keys.round[r]);
    }
    for (int i = 0; i < 8; ++i) x[i] = _mm256_aesdeclast_epi128(x[i], keys.round[kRounds]);
    __m256i before = previous;
    for (int i = 0; i < 8; ++i) {
        // Upper lane of the register before, then the lower lane of this one.
        const __m256i chain = _mm256_permute2x128_si256(before, c[i], 0x21);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(buffer + 32 * i),
                            _mm256_xor_si256(x[i], chain));
        before = c[i];
    }
    previous = before;
}

}  // namespace

__attribute__((target("aes,sse4.1"))) void Aes256NiCbcEncrypt(std::size_t blocks, uint8_t* buffer,
                                                              const Aes256Context* context,
                                                              uint8_t chain[16]) {
    if (blocks == 0) return;
    const InstructionKeys keys(context);
    __m128i state = Load(chain);
    for (std::size_t b = 0; b < blocks; ++b) {
        uint8_t* block = buffer + 16 * b;
        // The chain value and round key 0 are XORed in together.
        state = _mm_xor_si128(state, _mm_xor_si128(Load(block), keys.round[0]));
        for (int r = 1; r < kRounds; ++r) state = _mm_aesenc_si128(state, keys.round[r]);
        state = _mm_aesenclast_si128(state, keys.round[kRounds]);
        Store(block, state);
    }
    Store(chain, state);
}

__attribute__((target("aes,sse4.1"))) void Aes256NiCbcDecrypt(std::size_t blocks, uint8_t* buffer,
                                                              const Aes256Context* context,
                                                              uint8_t chain[16]) {
    if (blocks == 0) return;
    const InstructionKeys keys(context);
    __m128i previous = Load(chain);
    std::size_t b = 0;
    for (; b + 8 <= blocks; b += 8) DecryptEight(keys, buffer + 16 * b, previous);
    for (; b < blocks; ++b) {
        uint8_t* block = buffer + 16 * b;
        const __m128i c = Load(block);
        Store(block, _mm_xor_si128(DecryptOne(keys, c), previous));
        previous = c;
    }
    Store(chain, previous);
}

__attribute__((target("aes,sse4.1,vaes,avx512f"))) void Aes256VaesCbcDecrypt(
    std::size_t blocks, uint8_t* buffer, const Aes256Context* context, uint8_t chain[16]) {
    const std::size_t wide = blocks - blocks % 16;
    if (wide > 0) {
        const InstructionKeys keys(context);
        const WideKeys wideKeys(keys);
        __m512i previous = _mm512_maskz_broadcast_i32x4(0xffff, Load(chain));
        for (std::size_t b = 0; b < wide; b += 16) {
            DecryptSixteen(wideKeys, buffer + 16 * b, previous);
        }
        Store(chain, _mm512_maskz_extracti32x4_epi32(0xf, previous, 3));
    }
    Aes256NiCbcDecrypt(blocks - wide, buffer + 16 * wide, context, chain);
}

__attribute__((target("aes,sse4.1,vaes,avx2"))) void Aes256VaesAvx2CbcDecrypt(
    std::size_t blocks, uint8_t* buffer, const Aes256Context* context, uint8_t chain[16]) {
    const std::size_t wide = blocks - blocks % 16;
    if (wide > 0) {
        const InstructionKeys keys(context);
        const HalfWideKeys wideKeys(keys);
        __m256i previous = _mm256_broadcastsi128_si256(Load(chain));
        for (std::size_t b = 0; b < wide; b += 16) {
            DecryptSixteenAvx2(wideKeys, buffer + 16 * b, previous);
        }
        Store(chain, _mm256_extracti128_si256(previous, 1));
    }
    Aes256NiCbcDecrypt(blocks - wide, buffer + 16 * wide, context, chain);
}

#endif
