#include "hash/engines/keccak.h"

namespace {

constexpr int kRateBits = 512;
constexpr int kRateBytes = kRateBits / 8;
constexpr uint32_t kRateLanes = kRateBytes / 8;

constexpr uint64_t kRoundConstants[24] = {
    0x0000000000000001ull, 0x0000000000008082ull, 0x800000000000808Aull, 0x8000000080008000ull,
    0x000000000000808Bull, 0x0000000080000001ull, 0x8000000080008081ull, 0x8000000000008009ull,
    0x000000000000008Aull, 0x0000000000000088ull, 0x0000000080008009ull, 0x000000008000000Aull,
    0x000000008000808Bull, 0x800000000000008Bull, 0x8000000000008089ull, 0x8000000000008003ull,
    0x8000000000008002ull, 0x8000000000000080ull, 0x000000000000800Aull, 0x800000008000000Aull,
    0x8000000080008081ull, 0x8000000000008080ull, 0x0000000080000001ull, 0x8000000080008008ull};

inline uint64_t Rotl(uint64_t x, int n) {
    return n == 0 ? x : (x << n) | (x >> (64 - n));
}

inline uint64_t LoadLe64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

inline void StoreLe64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        p[i] = uint8_t(v);
        v >>= 8;
    }
}

// One round on the lanes a[x + 5y]: theta, rho and pi fused into the
// computation of b, then chi and iota. Written out lane by lane so the
// compiler keeps the 25 lanes in registers.
#define KECCAK_THETA_RHO_PI(dst, src, d, r) dst = Rotl(a[src] ^ d, r)
inline void KeccakRound(uint64_t* a, uint64_t round_constant) {
    const uint64_t c0 = a[0] ^ a[5] ^ a[10] ^ a[15] ^ a[20];
    const uint64_t c1 = a[1] ^ a[6] ^ a[11] ^ a[16] ^ a[21];
    const uint64_t c2 = a[2] ^ a[7] ^ a[12] ^ a[17] ^ a[22];
    const uint64_t c3 = a[3] ^ a[8] ^ a[13] ^ a[18] ^ a[23];
    const uint64_t c4 = a[4] ^ a[9] ^ a[14] ^ a[19] ^ a[24];
    const uint64_t d0 = c4 ^ Rotl(c1, 1);
    const uint64_t d1 = c0 ^ Rotl(c2, 1);
    const uint64_t d2 = c1 ^ Rotl(c3, 1);
    const uint64_t d3 = c2 ^ Rotl(c4, 1);
    const uint64_t d4 = c3 ^ Rotl(c0, 1);

    // b[y + 5((2x + 3y) mod 5)] = rot(a[x + 5y] ^ d[x], r[x][y]).
    uint64_t b[25];
    KECCAK_THETA_RHO_PI(b[0], 0, d0, 0);
    KECCAK_THETA_RHO_PI(b[16], 5, d0, 36);
    KECCAK_THETA_RHO_PI(b[7], 10, d0, 3);
    KECCAK_THETA_RHO_PI(b[23], 15, d0, 41);
    KECCAK_THETA_RHO_PI(b[14], 20, d0, 18);
    KECCAK_THETA_RHO_PI(b[10], 1, d1, 1);
    KECCAK_THETA_RHO_PI(b[1], 6, d1, 44);
    KECCAK_THETA_RHO_PI(b[17], 11, d1, 10);
    KECCAK_THETA_RHO_PI(b[8], 16, d1, 45);
    KECCAK_THETA_RHO_PI(b[24], 21, d1, 2);
    KECCAK_THETA_RHO_PI(b[20], 2, d2, 62);
    KECCAK_THETA_RHO_PI(b[11], 7, d2, 6);
    KECCAK_THETA_RHO_PI(b[2], 12, d2, 43);
    KECCAK_THETA_RHO_PI(b[18], 17, d2, 15);
    KECCAK_THETA_RHO_PI(b[9], 22, d2, 61);
    KECCAK_THETA_RHO_PI(b[5], 3, d3, 28);
    KECCAK_THETA_RHO_PI(b[21], 8, d3, 55);
    KECCAK_THETA_RHO_PI(b[12], 13, d3, 25);
    KECCAK_THETA_RHO_PI(b[3], 18, d3, 21);
    KECCAK_THETA_RHO_PI(b[19], 23, d3, 56);
    KECCAK_THETA_RHO_PI(b[15], 4, d4, 27);
    KECCAK_THETA_RHO_PI(b[6], 9, d4, 20);
    KECCAK_THETA_RHO_PI(b[22], 14, d4, 39);
    KECCAK_THETA_RHO_PI(b[13], 19, d4, 8);
    KECCAK_THETA_RHO_PI(b[4], 24, d4, 14);

    for (int y = 0; y < 25; y += 5) {
        a[y + 0] = b[y + 0] ^ (~b[y + 1] & b[y + 2]);
        a[y + 1] = b[y + 1] ^ (~b[y + 2] & b[y + 3]);
        a[y + 2] = b[y + 2] ^ (~b[y + 3] & b[y + 4]);
        a[y + 3] = b[y + 3] ^ (~b[y + 4] & b[y + 0]);
        a[y + 4] = b[y + 4] ^ (~b[y + 0] & b[y + 1]);
    }
    a[0] ^= round_constant;
}

void XorByte(KeccakContext& context, int32_t bit_position, uint8_t value) {
    context.state[bit_position / 8] ^= value;
}

}  // namespace

void KeccakPermute(KeccakContext& context, uint32_t lane_count, const uint8_t* data) {
    uint64_t a[25];
    for (int i = 0; i < 25; ++i) a[i] = LoadLe64(context.state + 8 * i);
    for (uint32_t i = 0; i < lane_count && i < 25; ++i) a[i] ^= LoadLe64(data + 8 * i);
    for (int round = 0; round < 24; ++round) KeccakRound(a, kRoundConstants[round]);
    for (int i = 0; i < 25; ++i) StoreLe64(context.state + 8 * i, a[i]);
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
    while (bit_length >= kRateBits) {
        KeccakPermute(context, kRateLanes, data);
        data += kRateBytes;
        bit_length -= kRateBits;
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
