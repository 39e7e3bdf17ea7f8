#include "hash/engines/keccak.h"
#include "hash/engines/round_constants.h"
#include "platform/system/byte_order.h"

#include "hash/engines/engine_paths.h"

namespace {

constexpr int kRateBits = 512;
constexpr int kRateBytes = kRateBits / 8;
constexpr uint32_t kRateLanes = kRateBytes / 8;

inline uint64_t Rotl(uint64_t x, int n) {
    return n == 0 ? x : (x << n) | (x >> (64 - n));
}

// The 25 lanes live in named locals (index x + 5y) for the whole permutation
// so that the compiler keeps what it can in registers. One round reads the
// lanes `a` and writes the lanes `e`: theta's column parities first, then for
// each row its five lanes after theta, rho and pi (only five temporaries
// alive at a time), then chi on that row; iota on lane 0.
#define KECCAK_ROUND(a, e, rc)                   \
    c00 = a##00 ^ a##05 ^ a##10 ^ a##15 ^ a##20; \
    c01 = a##01 ^ a##06 ^ a##11 ^ a##16 ^ a##21; \
    c02 = a##02 ^ a##07 ^ a##12 ^ a##17 ^ a##22; \
    c03 = a##03 ^ a##08 ^ a##13 ^ a##18 ^ a##23; \
    c04 = a##04 ^ a##09 ^ a##14 ^ a##19 ^ a##24; \
    d0 = c04 ^ Rotl(c01, 1);                     \
    d1 = c00 ^ Rotl(c02, 1);                     \
    d2 = c01 ^ Rotl(c03, 1);                     \
    d3 = c02 ^ Rotl(c04, 1);                     \
    d4 = c03 ^ Rotl(c00, 1);                     \
    b0 = a##00 ^ d0;                             \
    b1 = Rotl(a##06 ^ d1, 44);                   \
    b2 = Rotl(a##12 ^ d2, 43);                   \
    b3 = Rotl(a##18 ^ d3, 21);                   \
    b4 = Rotl(a##24 ^ d4, 14);                   \
    e##00 = b0 ^ (~b1 & b2);                     \
    e##01 = b1 ^ (~b2 & b3);                     \
    e##02 = b2 ^ (~b3 & b4);                     \
    e##03 = b3 ^ (~b4 & b0);                     \
    e##04 = b4 ^ (~b0 & b1);                     \
    b0 = Rotl(a##03 ^ d3, 28);                   \
    b1 = Rotl(a##09 ^ d4, 20);                   \
    b2 = Rotl(a##10 ^ d0, 3);                    \
    b3 = Rotl(a##16 ^ d1, 45);                   \
    b4 = Rotl(a##22 ^ d2, 61);                   \
    e##05 = b0 ^ (~b1 & b2);                     \
    e##06 = b1 ^ (~b2 & b3);                     \
    e##07 = b2 ^ (~b3 & b4);                     \
    e##08 = b3 ^ (~b4 & b0);                     \
    e##09 = b4 ^ (~b0 & b1);                     \
    b0 = Rotl(a##01 ^ d1, 1);                    \
    b1 = Rotl(a##07 ^ d2, 6);                    \
    b2 = Rotl(a##13 ^ d3, 25);                   \
    b3 = Rotl(a##19 ^ d4, 8);                    \
    b4 = Rotl(a##20 ^ d0, 18);                   \
    e##10 = b0 ^ (~b1 & b2);                     \
    e##11 = b1 ^ (~b2 & b3);                     \
    e##12 = b2 ^ (~b3 & b4);                     \
    e##13 = b3 ^ (~b4 & b0);                     \
    e##14 = b4 ^ (~b0 & b1);                     \
    b0 = Rotl(a##04 ^ d4, 27);                   \
    b1 = Rotl(a##05 ^ d0, 36);                   \
    b2 = Rotl(a##11 ^ d1, 10);                   \
    b3 = Rotl(a##17 ^ d2, 15);                   \
    b4 = Rotl(a##23 ^ d3, 56);                   \
    e##15 = b0 ^ (~b1 & b2);                     \
    e##16 = b1 ^ (~b2 & b3);                     \
    e##17 = b2 ^ (~b3 & b4);                     \
    e##18 = b3 ^ (~b4 & b0);                     \
    e##19 = b4 ^ (~b0 & b1);                     \
    b0 = Rotl(a##02 ^ d2, 62);                   \
    b1 = Rotl(a##08 ^ d3, 55);                   \
    b2 = Rotl(a##14 ^ d4, 39);                   \
    b3 = Rotl(a##15 ^ d0, 41);                   \
    b4 = Rotl(a##21 ^ d1, 2);                    \
    e##20 = b0 ^ (~b1 & b2);                     \
    e##21 = b1 ^ (~b2 & b3);                     \
    e##22 = b2 ^ (~b3 & b4);                     \
    e##23 = b3 ^ (~b4 & b0);                     \
    e##24 = b4 ^ (~b0 & b1);                     \
    e##00 ^= (rc);

void XorByte(KeccakContext& context, int32_t bit_position, uint8_t value) {
    context.state[bit_position / 8] ^= value;
}

// The permutation over the state bytes, with the lanes kept in locals from
// the first block to the last: each of `blocks` blocks of `data` is XORed into
// lanes 0..7 before a permutation; with `data` null, one bare permutation.
void Sponge(uint8_t state[200], const uint8_t* data, std::size_t blocks) {
    uint64_t a00, a01, a02, a03, a04, a05, a06, a07, a08, a09, a10, a11, a12, a13, a14, a15, a16,
        a17, a18, a19, a20, a21, a22, a23, a24;
    uint64_t e00, e01, e02, e03, e04, e05, e06, e07, e08, e09, e10, e11, e12, e13, e14, e15, e16,
        e17, e18, e19, e20, e21, e22, e23, e24;
    uint64_t c00, c01, c02, c03, c04, d0, d1, d2, d3, d4, b0, b1, b2, b3, b4;
    a00 = LoadLe64(state + 0);
    a01 = LoadLe64(state + 8);
    a02 = LoadLe64(state + 16);
    a03 = LoadLe64(state + 24);
    a04 = LoadLe64(state + 32);
    a05 = LoadLe64(state + 40);
    a06 = LoadLe64(state + 48);
    a07 = LoadLe64(state + 56);
    a08 = LoadLe64(state + 64);
    a09 = LoadLe64(state + 72);
    a10 = LoadLe64(state + 80);
    a11 = LoadLe64(state + 88);
    a12 = LoadLe64(state + 96);
    a13 = LoadLe64(state + 104);
    a14 = LoadLe64(state + 112);
    a15 = LoadLe64(state + 120);
    a16 = LoadLe64(state + 128);
    a17 = LoadLe64(state + 136);
    a18 = LoadLe64(state + 144);
    a19 = LoadLe64(state + 152);
    a20 = LoadLe64(state + 160);
    a21 = LoadLe64(state + 168);
    a22 = LoadLe64(state + 176);
    a23 = LoadLe64(state + 184);
    a24 = LoadLe64(state + 192);
    for (std::size_t block = 0; block < (data != nullptr ? blocks : 1); ++block) {
        if (data != nullptr) {
            a00 ^= LoadLe64(data + 0);
            a01 ^= LoadLe64(data + 8);
            a02 ^= LoadLe64(data + 16);
            a03 ^= LoadLe64(data + 24);
            a04 ^= LoadLe64(data + 32);
            a05 ^= LoadLe64(data + 40);
            a06 ^= LoadLe64(data + 48);
            a07 ^= LoadLe64(data + 56);
            data += kRateBytes;
        }
        for (int round = 0; round < 24; round += 2) {
            KECCAK_ROUND(a, e, hash_engines::kKeccakRoundConstants[round])
            KECCAK_ROUND(e, a, hash_engines::kKeccakRoundConstants[round + 1])
        }
    }
    StoreLe64(state + 0, a00);
    StoreLe64(state + 8, a01);
    StoreLe64(state + 16, a02);
    StoreLe64(state + 24, a03);
    StoreLe64(state + 32, a04);
    StoreLe64(state + 40, a05);
    StoreLe64(state + 48, a06);
    StoreLe64(state + 56, a07);
    StoreLe64(state + 64, a08);
    StoreLe64(state + 72, a09);
    StoreLe64(state + 80, a10);
    StoreLe64(state + 88, a11);
    StoreLe64(state + 96, a12);
    StoreLe64(state + 104, a13);
    StoreLe64(state + 112, a14);
    StoreLe64(state + 120, a15);
    StoreLe64(state + 128, a16);
    StoreLe64(state + 136, a17);
    StoreLe64(state + 144, a18);
    StoreLe64(state + 152, a19);
    StoreLe64(state + 160, a20);
    StoreLe64(state + 168, a21);
    StoreLe64(state + 176, a22);
    StoreLe64(state + 184, a23);
    StoreLe64(state + 192, a24);
}

}  // namespace

namespace hash_engines {

void KeccakPermutePortable(uint8_t state[200]) {
    Sponge(state, nullptr, 1);
}
void KeccakAbsorbPortable(uint8_t state[200], const uint8_t* data, std::size_t blocks) {
    if (blocks > 0) Sponge(state, data, blocks);
}

}  // namespace hash_engines

void KeccakPermute(KeccakContext& context, uint32_t lane_count, const uint8_t* data) {
    const hash_engines::KeccakFunctions& path = hash_engines::KeccakPaths().Active().function;
    if (lane_count == kRateLanes) {
        path.absorb(context.state, data, 1);
        return;
    }
    // Other lane counts (0 above all) go through the state bytes.
    for (uint32_t i = 0; i < lane_count * 8 && i < 200; ++i) context.state[i] ^= data[i];
    path.permute(context.state);
}

void KeccakUpdate(KeccakContext& context, const uint8_t* data, uint64_t bit_length) {
    if (context.position < 0 || context.position % 8 != 0) return;
    while (bit_length >= 8 && context.position != 0) {
        XorByte(context, context.position, *data++);
        bit_length -= 8;
        context.position += 8;
        if (context.position == kRateBits) {
            KeccakPermute(context, 0, nullptr);
            context.position = 0;
        }
    }
    if (bit_length >= kRateBits) {
        const uint64_t blocks = bit_length / kRateBits;
        hash_engines::KeccakPaths().Active().function.absorb(context.state, data,
                                                             std::size_t(blocks));
        data += blocks * kRateBytes;
        bit_length -= blocks * kRateBits;
    }
    while (bit_length >= 8) {
        XorByte(context, context.position, *data++);
        bit_length -= 8;
        context.position += 8;
    }
    if (bit_length > 0) {
        const int bits = int(bit_length);
        XorByte(context, context.position, uint8_t(*data >> (8 - bits)));
        context.position += bits;
    }
}

void KeccakFinal(KeccakContext& context, uint8_t digest[64]) {
    if (context.position < 0) return;
    if (context.position == kRateBits - 1) {
        context.state[kRateBytes - 1] ^= 0x80;
        KeccakPermute(context, 0, nullptr);
    } else {
        XorByte(context, context.position, uint8_t(1u << (context.position % 8)));
    }
    context.state[kRateBytes - 1] ^= 0x80;
    KeccakPermute(context, 0, nullptr);
    for (int i = 0; i < kRateBytes; ++i) digest[i] = context.state[i];
    context.position = -1;
}
