#include "ciphers/aes_tables.h"

// The tables are computed by the compiler from the field arithmetic that
// defines the S-box, so the object file holds them as plain constant data and
// nothing runs at start-up.

namespace {

constexpr uint8_t Xtime(uint8_t a) {
    return static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1b : 0));
}

constexpr uint8_t Multiply(uint8_t a, uint8_t b) {
    uint8_t product = 0;
    for (; b != 0; b >>= 1, a = Xtime(a)) {
        if (b & 1) product ^= a;
    }
    return product;
}

// Multiplicative inverse as a^254 = a^2 * a^4 * ... * a^128 (0 maps to 0),
// by repeated squaring: few enough steps for every compiler's limit on
// compile-time evaluation.
constexpr uint8_t Inverse(uint8_t a) {
    uint8_t result = 1, power = a;
    for (int i = 1; i < 8; ++i) {
        power = Multiply(power, power);
        result = Multiply(result, power);
    }
    return result;
}

constexpr uint8_t Rotl8(uint8_t v, int n) {
    return static_cast<uint8_t>((v << n) | (v >> (8 - n)));
}

constexpr uint8_t SBox(uint8_t x) {
    const uint8_t b = Inverse(x);
    return static_cast<uint8_t>(b ^ Rotl8(b, 1) ^ Rotl8(b, 2) ^ Rotl8(b, 3) ^ Rotl8(b, 4) ^ 0x63);
}

constexpr std::array<uint8_t, 256> MakeSBox() {
    std::array<uint8_t, 256> box{};
    for (int x = 0; x < 256; ++x) box[x] = SBox(static_cast<uint8_t>(x));
    return box;
}

constexpr std::array<uint8_t, 256> kSBox = MakeSBox();

constexpr std::array<uint8_t, 256> MakeInverseSBox() {
    std::array<uint8_t, 256> box{};
    for (int x = 0; x < 256; ++x) box[kSBox[x]] = static_cast<uint8_t>(x);
    return box;
}

constexpr std::array<uint8_t, 256> kInverseSBox = MakeInverseSBox();

constexpr uint32_t Pack(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return (uint32_t{b0} << 24) | (uint32_t{b1} << 16) | (uint32_t{b2} << 8) | b3;
}

constexpr uint32_t RotateRight(uint32_t v, int n) {
    return (v >> n) | (v << (32 - n));
}

// Column-mixing table for one S-box, rotated right by `rotation` bits;
// `m0..m3` are the coefficients of the first column of the mixing matrix.
constexpr AesTable MakeRoundTable(const std::array<uint8_t, 256>& box, uint8_t m0, uint8_t m1,
                                  uint8_t m2, uint8_t m3, int rotation) {
    AesTable table{};
    for (int x = 0; x < 256; ++x) {
        const uint8_t s = box[x];
        const uint32_t word =
            Pack(Multiply(m0, s), Multiply(m1, s), Multiply(m2, s), Multiply(m3, s));
        table[x] = rotation == 0 ? word : RotateRight(word, rotation);
    }
    return table;
}

constexpr AesTable MakeLastTable(const std::array<uint8_t, 256>& box) {
    AesTable table{};
    for (int x = 0; x < 256; ++x) table[x] = Pack(box[x], box[x], box[x], box[x]);
    return table;
}

}  // namespace

alignas(64) constinit const AesTable AesEnc0 = MakeRoundTable(kSBox, 2, 1, 1, 3, 0);
alignas(64) constinit const AesTable AesEnc1 = MakeRoundTable(kSBox, 2, 1, 1, 3, 8);
alignas(64) constinit const AesTable AesEnc2 = MakeRoundTable(kSBox, 2, 1, 1, 3, 16);
alignas(64) constinit const AesTable AesEnc3 = MakeRoundTable(kSBox, 2, 1, 1, 3, 24);
alignas(64) constinit const AesTable AesEncLast = MakeLastTable(kSBox);

alignas(64) constinit const AesTable AesDec0 = MakeRoundTable(kInverseSBox, 0x0e, 0x09, 0x0d, 0x0b,
                                                              0);
alignas(64) constinit const AesTable AesDec1 = MakeRoundTable(kInverseSBox, 0x0e, 0x09, 0x0d, 0x0b,
                                                              8);
alignas(64) constinit const AesTable AesDec2 = MakeRoundTable(kInverseSBox, 0x0e, 0x09, 0x0d, 0x0b,
                                                              16);
alignas(64) constinit const AesTable AesDec3 = MakeRoundTable(kInverseSBox, 0x0e, 0x09, 0x0d, 0x0b,
                                                              24);
alignas(64) constinit const AesTable AesDecLast = MakeLastTable(kInverseSBox);
