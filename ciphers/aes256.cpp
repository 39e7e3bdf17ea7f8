#include "ciphers/aes256.h"
#include "platform/system/byte_order.h"

#include "ciphers/aes_tables.h"

namespace {

constexpr int kRounds = 14;
constexpr int kWords = 4 * (kRounds + 1);

// Round constants for the 256-bit expansion, already in the top byte.
constexpr uint32_t kRcon[7] = {0x01000000, 0x02000000, 0x04000000, 0x08000000,
                               0x10000000, 0x20000000, 0x40000000};

inline uint32_t Byte0(uint32_t w) {
    return w >> 24;
}
inline uint32_t Byte1(uint32_t w) {
    return (w >> 16) & 0xff;
}
inline uint32_t Byte2(uint32_t w) {
    return (w >> 8) & 0xff;
}
inline uint32_t Byte3(uint32_t w) {
    return w & 0xff;
}

// S-box applied to each byte of `w`, read from the last-round table.
inline uint32_t SubWord(uint32_t w) {
    return (AesEncLast[Byte0(w)] & 0xff000000) ^ (AesEncLast[Byte1(w)] & 0x00ff0000) ^
           (AesEncLast[Byte2(w)] & 0x0000ff00) ^ (AesEncLast[Byte3(w)] & 0x000000ff);
}

// SubWord(RotWord(w)) in one step: the new top byte is S of the old second.
inline uint32_t SubRotWord(uint32_t w) {
    return (AesEncLast[Byte1(w)] & 0xff000000) ^ (AesEncLast[Byte2(w)] & 0x00ff0000) ^
           (AesEncLast[Byte3(w)] & 0x0000ff00) ^ (AesEncLast[Byte0(w)] & 0x000000ff);
}

// InvMixColumns of one word: the inverse S-box inside the decryption tables
// cancels the S-box applied first.
inline uint32_t InvMixColumn(uint32_t w) {
    return AesDec0[AesEncLast[Byte0(w)] & 0xff] ^ AesDec1[AesEncLast[Byte1(w)] & 0xff] ^
           AesDec2[AesEncLast[Byte2(w)] & 0xff] ^ AesDec3[AesEncLast[Byte3(w)] & 0xff];
}

struct State {
    uint32_t s0, s1, s2, s3;
};

inline State LoadState(const uint8_t in[16], const uint32_t* rk) {
    return {LoadBe32(in) ^ rk[0], LoadBe32(in + 4) ^ rk[1], LoadBe32(in + 8) ^ rk[2],
            LoadBe32(in + 12) ^ rk[3]};
}

inline void StoreState(const State& s, uint8_t out[16]) {
    StoreBe32(out, s.s0);
    StoreBe32(out + 4, s.s1);
    StoreBe32(out + 8, s.s2);
    StoreBe32(out + 12, s.s3);
}

// One full round: SubBytes, ShiftRows, MixColumns and AddRoundKey.
[[gnu::always_inline]] inline State EncRound(const State& s, const uint32_t* rk) {
    return {
        AesEnc0[Byte0(s.s0)] ^ AesEnc1[Byte1(s.s1)] ^ AesEnc2[Byte2(s.s2)] ^ AesEnc3[Byte3(s.s3)] ^
            rk[0],
        AesEnc0[Byte0(s.s1)] ^ AesEnc1[Byte1(s.s2)] ^ AesEnc2[Byte2(s.s3)] ^ AesEnc3[Byte3(s.s0)] ^
            rk[1],
        AesEnc0[Byte0(s.s2)] ^ AesEnc1[Byte1(s.s3)] ^ AesEnc2[Byte2(s.s0)] ^ AesEnc3[Byte3(s.s1)] ^
            rk[2],
        AesEnc0[Byte0(s.s3)] ^ AesEnc1[Byte1(s.s0)] ^ AesEnc2[Byte2(s.s1)] ^ AesEnc3[Byte3(s.s2)] ^
            rk[3],
    };
}

[[gnu::always_inline]] inline uint32_t EncLastColumn(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                     uint32_t rk) {
    return ((AesEncLast[Byte0(a)] & 0xff000000) ^ (AesEncLast[Byte1(b)] & 0x00ff0000) ^
            (AesEncLast[Byte2(c)] & 0x0000ff00) ^ (AesEncLast[Byte3(d)] & 0x000000ff)) ^
           rk;
}

// The last round has no MixColumns.
[[gnu::always_inline]] inline State EncLastRound(const State& s, const uint32_t* rk) {
    return {
        EncLastColumn(s.s0, s.s1, s.s2, s.s3, rk[0]), EncLastColumn(s.s1, s.s2, s.s3, s.s0, rk[1]),
        EncLastColumn(s.s2, s.s3, s.s0, s.s1, rk[2]), EncLastColumn(s.s3, s.s0, s.s1, s.s2, rk[3])};
}

// One inverse round of the equivalent inverse cipher (inverse ShiftRows takes
// the second byte from column c + 3 and the low byte from column c + 1).
[[gnu::always_inline]] inline State DecRound(const State& s, const uint32_t* rk) {
    return {
        AesDec0[Byte0(s.s0)] ^ AesDec1[Byte1(s.s3)] ^ AesDec2[Byte2(s.s2)] ^ AesDec3[Byte3(s.s1)] ^
            rk[0],
        AesDec0[Byte0(s.s1)] ^ AesDec1[Byte1(s.s0)] ^ AesDec2[Byte2(s.s3)] ^ AesDec3[Byte3(s.s2)] ^
            rk[1],
        AesDec0[Byte0(s.s2)] ^ AesDec1[Byte1(s.s1)] ^ AesDec2[Byte2(s.s0)] ^ AesDec3[Byte3(s.s3)] ^
            rk[2],
        AesDec0[Byte0(s.s3)] ^ AesDec1[Byte1(s.s2)] ^ AesDec2[Byte2(s.s1)] ^ AesDec3[Byte3(s.s0)] ^
            rk[3],
    };
}

[[gnu::always_inline]] inline uint32_t DecLastColumn(uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                                                     uint32_t rk) {
    return ((AesDecLast[Byte0(a)] & 0xff000000) ^ (AesDecLast[Byte1(b)] & 0x00ff0000) ^
            (AesDecLast[Byte2(c)] & 0x0000ff00) ^ (AesDecLast[Byte3(d)] & 0x000000ff)) ^
           rk;
}

[[gnu::always_inline]] inline State DecLastRound(const State& s, const uint32_t* rk) {
    return {
        DecLastColumn(s.s0, s.s3, s.s2, s.s1, rk[0]), DecLastColumn(s.s1, s.s0, s.s3, s.s2, rk[1]),
        DecLastColumn(s.s2, s.s1, s.s0, s.s3, rk[2]), DecLastColumn(s.s3, s.s2, s.s1, s.s0, rk[3])};
}

}  // namespace

int Aes256SetEncryptKey(Aes256Context* context, const uint8_t key[32]) {
    uint32_t* w = context->roundKeys;
    for (int i = 0; i < 8; ++i) w[i] = LoadBe32(key + 4 * i);
    for (int i = 8; i < kWords; ++i) {
        uint32_t t = w[i - 1];
        if (i % 8 == 0) {
            t = SubRotWord(t) ^ kRcon[i / 8 - 1];
        } else if (i % 8 == 4) {
            t = SubWord(t);
        }
        w[i] = w[i - 8] ^ t;
    }
    return kRounds;
}

int Aes256SetDecryptKey(Aes256Context* context, const uint8_t key[32]) {
    Aes256SetEncryptKey(context, key);
    uint32_t* w = context->roundKeys;
    // Reverse the order of the round keys; the words inside each keep theirs.
    for (int front = 0, back = kRounds; front < back; ++front, --back) {
        for (int j = 0; j < 4; ++j) {
            const uint32_t t = w[4 * front + j];
            w[4 * front + j] = w[4 * back + j];
            w[4 * back + j] = t;
        }
    }
    for (int i = 4; i < 4 * kRounds; ++i) w[i] = InvMixColumn(w[i]);
    return kRounds;
}

void Aes256EncryptBlock(const Aes256Context* context, const uint8_t in[16], uint8_t out[16]) {
    const uint32_t* rk = context->roundKeys;
    State s = LoadState(in, rk);
    s = EncRound(s, rk + 4);
    s = EncRound(s, rk + 8);
    s = EncRound(s, rk + 12);
    s = EncRound(s, rk + 16);
    s = EncRound(s, rk + 20);
    s = EncRound(s, rk + 24);
    s = EncRound(s, rk + 28);
    s = EncRound(s, rk + 32);
    s = EncRound(s, rk + 36);
    s = EncRound(s, rk + 40);
    s = EncRound(s, rk + 44);
    s = EncRound(s, rk + 48);
    s = EncRound(s, rk + 52);
    s = EncLastRound(s, rk + 56);
    StoreState(s, out);
}

void Aes256DecryptBlock(const Aes256Context* context, const uint8_t in[16], uint8_t out[16]) {
    const uint32_t* rk = context->roundKeys;
    State s = LoadState(in, rk);
    s = DecRound(s, rk + 4);
    s = DecRound(s, rk + 8);
    s = DecRound(s, rk + 12);
    s = DecRound(s, rk + 16);
    s = DecRound(s, rk + 20);
    s = DecRound(s, rk + 24);
    s = DecRound(s, rk + 28);
    s = DecRound(s, rk + 32);
    s = DecRound(s, rk + 36);
    s = DecRound(s, rk + 40);
    s = DecRound(s, rk + 44);
    s = DecRound(s, rk + 48);
    s = DecRound(s, rk + 52);
    s = DecLastRound(s, rk + 56);
    StoreState(s, out);
}
