#include "ciphers/camellia256.h"
#include "platform/system/byte_order.h"

#include "ciphers/camellia_round.h"
#include "platform/system/secure_wipe.h"

namespace {

// SBOX1 of the cipher; SBOX2, SBOX3 and SBOX4 are derived from it by rotation.
alignas(64) constexpr uint8_t kSbox1[256] = {
    112, 130, 44,  236, 179, 39,  192, 229, 228, 133, 87,  53,  234, 12,  174, 65,  35,  239, 107,
    147, 69,  25,  165, 33,  237, 14,  79,  78,  29,  101, 146, 189, 134, 184, 175, 143, 124, 235,
    31,  206, 62,  48,  220, 95,  94,  197, 11,  26,  166, 225, 57,  202, 213, 71,  93,  61,  217,
    1,   90,  214, 81,  86,  108, 77,  139, 13,  154, 102, 251, 204, 176, 45,  116, 18,  43,  32,
    240, 177, 132, 153, 223, 76,  203, 194, 52,  126, 118, 5,   109, 183, 169, 49,  209, 23,  4,
    215, 20,  88,  58,  97,  222, 27,  17,  28,  50,  15,  156, 22,  83,  24,  242, 34,  254, 68,
    207, 178, 195, 181, 122, 145, 36,  8,   232, 168, 96,  252, 105, 80,  170, 208, 160, 125, 161,
    137, 98,  151, 84,  91,  30,  149, 224, 255, 100, 210, 16,  196, 0,   72,  163, 247, 117, 219,
    138, 3,   230, 218, 9,   63,  221, 148, 135, 92,  131, 2,   205, 74,  144, 51,  115, 103, 246,
    243, 157, 127, 191, 226, 82,  155, 216, 38,  200, 55,  198, 59,  129, 150, 111, 75,  19,  190,
    99,  46,  233, 121, 167, 140, 159, 110, 188, 142, 41,  245, 249, 182, 47,  253, 180, 89,  120,
    152, 6,   106, 231, 70,  113, 186, 212, 37,  171, 66,  136, 162, 141, 250, 114, 7,   185, 85,
    248, 238, 172, 10,  54,  73,  42,  104, 60,  56,  241, 164, 64,  40,  211, 123, 187, 201, 67,
    193, 21,  227, 173, 244, 119, 199, 128, 158,
};

// Key-schedule constants Sigma1..Sigma6, big-endian.
constexpr uint8_t kSigma[6][8] = {
    {0xa0, 0x9e, 0x66, 0x7f, 0x3b, 0xcc, 0x90, 0x8b},
    {0xb6, 0x7a, 0xe8, 0x58, 0x4c, 0xaa, 0x73, 0xb2},
    {0xc6, 0xef, 0x37, 0x2f, 0xe9, 0x4f, 0x82, 0xbe},
    {0x54, 0xff, 0x53, 0xa5, 0xf1, 0xd3, 0x6f, 0x1c},
    {0x10, 0xe5, 0x27, 0xfa, 0xde, 0x68, 0x2d, 0x1d},
    {0xb0, 0x56, 0x88, 0xc2, 0xb3, 0xe6, 0xc1, 0xfd},
};

enum KeySource : uint8_t { kKL = 0, kKR = 1, kKA = 2, kKB = 3 };

struct SubkeySource {
    KeySource source;
    uint8_t rotation;  // left rotation of the 128-bit source, in bits
};

// Which 128-bit value each subkey is cut from, in context order. The left half
// of a rotated value is the subkey at rotation r, the right half at r + 64.
constexpr SubkeySource kSchedule[34] = {
    {kKL, 0},   {kKL, 64},                                                  // kw1, kw2
    {kKB, 0},   {kKB, 64},  {kKR, 15}, {kKR, 79},  {kKA, 15},  {kKA, 79},   // k1..k6
    {kKR, 30},  {kKR, 94},                                                  // ke1, ke2
    {kKB, 30},  {kKB, 94},  {kKL, 45}, {kKL, 109}, {kKA, 45},  {kKA, 109},  // k7..k12
    {kKL, 60},  {kKL, 124},                                                 // ke3, ke4
    {kKR, 60},  {kKR, 124}, {kKB, 60}, {kKB, 124}, {kKL, 77},  {kKL, 13},   // k13..k18
    {kKA, 77},  {kKA, 13},                                                  // ke5, ke6
    {kKR, 94},  {kKR, 30},  {kKA, 94}, {kKA, 30},  {kKL, 111}, {kKL, 47},   // k19..k24
    {kKB, 111}, {kKB, 47},                                                  // kw3, kw4
};

inline uint32_t Rotl32(uint32_t v, int n) {
    return (v << n) | (v >> (32 - n));
}
constexpr uint32_t Rotr32(uint32_t v, int n) {
    return (v >> n) | (v << (32 - n));
}
constexpr uint32_t Rotl8(uint32_t v, int n) {
    return ((v << n) | (v >> (8 - n))) & 0xff;
}

// The S-boxes and the P-function folded into tables of 32-bit words. Write
// z1..z8 for the S-box outputs of the eight input bytes (SBOX1, 2, 3, 4, 2,
// 3, 4, 1) and y1..y8 for the P-function's output. Each z feeds a fixed set
// of the y: z1 reaches y1, y2, y3, z2 reaches y2, y3, y4, and so on. An
// entry of the `left` tables holds one S-box output in the bytes of y1..y4
// it reaches; a table's name lists which S-box fills each byte (0 for
// none). The right-hand bytes z5..z8 reach y1..y4 in the same pattern as z2,
// z3, z4, z1, and reach y5..y8 in that pattern too, so the same four tables
// give their share of both output words. What z1..z4 give to y5..y8
// (z1 ^ z2, z2 ^ z3, z3 ^ z4, z4 ^ z1) is their share of y1..y4 XORed with
// itself rotated right by a byte; the `right` tables hold that sum, so each
// output word is one XOR of lookups and no rotation waits on them.
struct SpTables {
    uint32_t sp1110[256], sp0222[256], sp3033[256], sp4404[256];  // left
    uint32_t sq1110[256], sq0222[256], sq3033[256], sq4404[256];  // right
};

constexpr SpTables MakeSpTables() {
    SpTables t{};
    for (uint32_t x = 0; x < 256; ++x) {
        const uint32_t s1 = kSbox1[x], s2 = Rotl8(s1, 1), s3 = Rotl8(s1, 7);
        const uint32_t s4 = kSbox1[Rotl8(x, 1)];
        t.sp1110[x] = s1 << 24 | s1 << 16 | s1 << 8;
        t.sp0222[x] = s2 << 16 | s2 << 8 | s2;
        t.sp3033[x] = s3 << 24 | s3 << 8 | s3;
        t.sp4404[x] = s4 << 24 | s4 << 16 | s4;
        t.sq1110[x] = t.sp1110[x] ^ Rotr32(t.sp1110[x], 8);
        t.sq0222[x] = t.sp0222[x] ^ Rotr32(t.sp0222[x], 8);
        t.sq3033[x] = t.sp3033[x] ^ Rotr32(t.sp3033[x], 8);
        t.sq4404[x] = t.sp4404[x] ^ Rotr32(t.sp4404[x], 8);
    }
    return t;
}

alignas(64) constexpr SpTables kSp = MakeSpTables();

// One 64-bit half as two 32-bit words, most significant first. The block
// functions keep the halves split so that no round packs or unpacks them.
struct Half {
    uint32_t hi, lo;
};

inline Half LoadHalf(const uint8_t bytes[8]) {
    return {LoadBe32(bytes), LoadBe32(bytes + 4)};
}

// y ^= F(x) for an x that already holds the subkey. Both words of x are
// looked up at once, and each output word is y XOR eight lookups.
[[gnu::always_inline]] inline void Feistel(const Half& x, Half& y) {
    const uint32_t a0 = x.hi >> 24, a1 = (x.hi >> 16) & 0xff, a2 = (x.hi >> 8) & 0xff,
                   a3 = x.hi & 0xff;
    const uint32_t b0 = x.lo >> 24, b1 = (x.lo >> 16) & 0xff, b2 = (x.lo >> 8) & 0xff,
                   b3 = x.lo & 0xff;
    const uint32_t u = (kSp.sp0222[b0] ^ kSp.sp3033[b1]) ^ (kSp.sp4404[b2] ^ kSp.sp1110[b3]);
    const uint32_t d = (kSp.sp1110[a0] ^ kSp.sp0222[a1]) ^ (kSp.sp3033[a2] ^ kSp.sp4404[a3]);
    const uint32_t e = (kSp.sq1110[a0] ^ kSp.sq0222[a1]) ^ (kSp.sq3033[a2] ^ kSp.sq4404[a3]);
    y.hi = (y.hi ^ u) ^ d;
    y.lo = (y.lo ^ u) ^ e;
}

inline Half operator^(const Half& a, const Half& b) {
    return {a.hi ^ b.hi, a.lo ^ b.lo};
}

inline void operator^=(Half& a, const Half& b) {
    a.hi ^= b.hi;
    a.lo ^= b.lo;
}

// The F-function on a 64-bit value, for the key schedule.
inline uint64_t F(uint64_t x, uint64_t k) {
    Half y{0, 0};
    Feistel({static_cast<uint32_t>((x ^ k) >> 32), static_cast<uint32_t>(x ^ k)}, y);
    return (uint64_t{y.hi} << 32) | y.lo;
}

// FL on the left half and FL^-1 on the right half.
[[gnu::always_inline]] inline void FLLayer(Half& left, Half& right, const Half& keLeft,
                                           const Half& keRight) {
    left.lo ^= Rotl32(left.hi & keLeft.hi, 1);
    left.hi ^= left.lo | keLeft.lo;
    right.hi ^= right.lo | keRight.lo;
    right.lo ^= Rotl32(right.hi & keRight.hi, 1);
}

inline Half Subkey(const Camellia256Context* context, int index) {
    return LoadHalf(context->subkeys[index]);
}

// Six rounds, with subkey k[i] in round i: right ^= F(left ^ k[0]),
// left ^= F(right ^ k[1]), and so on. Each half is carried with the subkey
// of its next use already XORed in (its true value is needed only at the
// end), so the key changes join while the lookups are under way and the
// rounds wait only on lookups and XORs.
[[gnu::always_inline]] inline void SixRounds(Half& left, Half& right, const Half (&k)[6]) {
    Half a = left ^ k[0], b = right ^ k[1];
    Feistel(a, b);
    a ^= k[0] ^ k[2];
    Feistel(b, a);
    b ^= k[1] ^ k[3];
    Feistel(a, b);
    a ^= k[2] ^ k[4];
    Feistel(b, a);
    b ^= k[3] ^ k[5];
    Feistel(a, b);
    Feistel(b, a);
    left = a ^ k[4];
    right = b ^ k[5];
}

// Six rounds with subkeys first, first + 1, ... (encryption order).
[[gnu::always_inline]] inline void SixRoundsForward(Half& left, Half& right,
                                                    const Camellia256Context* context, int first) {
    const Half k[6] = {Subkey(context, first),     Subkey(context, first + 1),
                       Subkey(context, first + 2), Subkey(context, first + 3),
                       Subkey(context, first + 4), Subkey(context, first + 5)};
    SixRounds(left, right, k);
}

// Six rounds with subkeys last, last - 1, ... (decryption order).
[[gnu::always_inline]] inline void SixRoundsBackward(Half& left, Half& right,
                                                     const Camellia256Context* context, int last) {
    const Half k[6] = {Subkey(context, last),     Subkey(context, last - 1),
                       Subkey(context, last - 2), Subkey(context, last - 3),
                       Subkey(context, last - 4), Subkey(context, last - 5)};
    SixRounds(left, right, k);
}

inline void Whiten(Half& half, const Camellia256Context* context, int index) {
    const Half key = Subkey(context, index);
    half.hi ^= key.hi;
    half.lo ^= key.lo;
}

inline void StoreHalf(uint8_t bytes[8], const Half& half) {
    StoreBe32(bytes, half.hi);
    StoreBe32(bytes + 4, half.lo);
}

// The 128-bit values the subkeys are cut from, as four big-endian words each.
struct KeyMaterial {
    uint32_t words[4][4];  // indexed by KeySource
};

void SplitWords(uint64_t high, uint64_t low, uint32_t out[4]) {
    out[0] = static_cast<uint32_t>(high >> 32);
    out[1] = static_cast<uint32_t>(high);
    out[2] = static_cast<uint32_t>(low >> 32);
    out[3] = static_cast<uint32_t>(low);
}

void DeriveKeyMaterial(const uint8_t key[32], KeyMaterial& material) {
    const uint64_t kl1 = LoadBe64(key), kl2 = LoadBe64(key + 8);
    const uint64_t kr1 = LoadBe64(key + 16), kr2 = LoadBe64(key + 24);
    uint64_t d1 = kl1 ^ kr1, d2 = kl2 ^ kr2;
    d2 ^= F(d1, LoadBe64(kSigma[0]));
    d1 ^= F(d2, LoadBe64(kSigma[1]));
    d1 ^= kl1;
    d2 ^= kl2;
    d2 ^= F(d1, LoadBe64(kSigma[2]));
    d1 ^= F(d2, LoadBe64(kSigma[3]));
    const uint64_t ka1 = d1, ka2 = d2;
    d1 = ka1 ^ kr1;
    d2 = ka2 ^ kr2;
    d2 ^= F(d1, LoadBe64(kSigma[4]));
    d1 ^= F(d2, LoadBe64(kSigma[5]));
    SplitWords(kl1, kl2, material.words[kKL]);
    SplitWords(kr1, kr2, material.words[kKR]);
    SplitWords(ka1, ka2, material.words[kKA]);
    SplitWords(d1, d2, material.words[kKB]);
}

// The top 64 bits of `words` rotated left by `rotation` bits.
uint64_t CutSubkey(const uint32_t words[4], int rotation) {
    const int offset = rotation / 32, shift = rotation % 32;
    uint32_t half[2];
    for (int i = 0; i < 2; ++i) {
        const uint32_t current = words[(offset + i) % 4];
        const uint32_t next = words[(offset + i + 1) % 4];
        half[i] = shift == 0 ? current : (current << shift) | (next >> (32 - shift));
    }
    return (uint64_t{half[0]} << 32) | half[1];
}

}  // namespace

uint8_t CamelliaSbox1(uint8_t x) {
    return kSbox1[x];
}

void CamelliaF(const uint8_t x[8], const uint8_t k[8], uint8_t y[8]) {
    Half half = LoadHalf(y);
    Feistel(LoadHalf(x) ^ LoadHalf(k), half);
    StoreHalf(y, half);
}

void CamelliaFL(uint8_t block[16], const uint8_t keLeft[8], const uint8_t keRight[8]) {
    Half left = LoadHalf(block), right = LoadHalf(block + 8);
    FLLayer(left, right, LoadHalf(keLeft), LoadHalf(keRight));
    StoreHalf(block, left);
    StoreHalf(block + 8, right);
}
void Camellia256DeriveKaKb(const uint8_t key[32], uint8_t ka[16], uint8_t kb[16]) {
    KeyMaterial material;
    DeriveKeyMaterial(key, material);
    for (int i = 0; i < 16; ++i) {
        ka[i] = static_cast<uint8_t>(material.words[kKA][i / 4] >> (24 - 8 * (i % 4)));
        kb[i] = static_cast<uint8_t>(material.words[kKB][i / 4] >> (24 - 8 * (i % 4)));
    }
    SecureWipeObject(material);
}

void Camellia256SetKey(Camellia256Context* context, const uint8_t key[32]) {
    KeyMaterial material;
    DeriveKeyMaterial(key, material);
    for (int i = 0; i < 34; ++i) {
        const SubkeySource& entry = kSchedule[i];
        StoreBe64(context->subkeys[i], CutSubkey(material.words[entry.source], entry.rotation));
    }
    SecureWipeObject(material);
}

CamelliaWords Camellia256EncryptWords(CamelliaWords block, const Camellia256Context* context) {
    Half left{block.w[0], block.w[1]}, right{block.w[2], block.w[3]};
    Whiten(left, context, 0);
    Whiten(right, context, 1);
    SixRoundsForward(left, right, context, 2);
    FLLayer(left, right, Subkey(context, 8), Subkey(context, 9));
    SixRoundsForward(left, right, context, 10);
    FLLayer(left, right, Subkey(context, 16), Subkey(context, 17));
    SixRoundsForward(left, right, context, 18);
    FLLayer(left, right, Subkey(context, 24), Subkey(context, 25));
    SixRoundsForward(left, right, context, 26);
    // The final swap of the halves, then whitening with kw3 || kw4.
    Whiten(right, context, 32);
    Whiten(left, context, 33);
    return {{right.hi, right.lo, left.hi, left.lo}};
}

void Camellia256EncryptBlock(const uint8_t in[16], uint8_t out[16],
                             const Camellia256Context* context) {
    const CamelliaWords result = Camellia256EncryptWords(
        {{LoadBe32(in), LoadBe32(in + 4), LoadBe32(in + 8), LoadBe32(in + 12)}}, context);
    for (int i = 0; i < 4; ++i) StoreBe32(out + 4 * i, result.w[i]);
}

void Camellia256DecryptBlock(const uint8_t in[16], uint8_t out[16],
                             const Camellia256Context* context) {
    Half left = LoadHalf(in), right = LoadHalf(in + 8);
    Whiten(left, context, 32);
    Whiten(right, context, 33);
    SixRoundsBackward(left, right, context, 31);
    FLLayer(left, right, Subkey(context, 25), Subkey(context, 24));
    SixRoundsBackward(left, right, context, 23);
    FLLayer(left, right, Subkey(context, 17), Subkey(context, 16));
    SixRoundsBackward(left, right, context, 15);
    FLLayer(left, right, Subkey(context, 9), Subkey(context, 8));
    SixRoundsBackward(left, right, context, 7);
    Whiten(right, context, 0);
    Whiten(left, context, 1);
    StoreHalf(out, right);
    StoreHalf(out + 8, left);
}
