#pragma once
// Camellia's S-boxes as affine maps around inversion in the AES field
// (GF(2^8) modulo x^8 + x^4 + x^3 + x + 1), the form the GF2P8AFFINEQB and
// GF2P8AFFINEINVQB instructions compute.
//
// SBOX1 is inversion in GF(2^8) between two affine maps. Every field of 256
// elements is the same field up to a GF(2)-linear change of representation,
// so the inversion can be taken in the AES field with the change folded into
// the outer maps:
//
//     SBOX1(x) = Post * inv(Pre * x ^ 0x08) ^ 0x6e
//
// SBOX1(0xc5) = 0x6e fixes the constants (inv(0) = 0); Pre and Post follow
// from the table by a search over the images of the basis bits under Pre
// (with the image of bit 0 fixed to 1, which a scaling of the field allows),
// in which every candidate's values must be consistent with a linear Post.
// The unit tests check all 256 entries of all four S-boxes.
//
// SBOX2 and SBOX3 rotate SBOX1's output and SBOX4 rotates its input, so they
// differ from SBOX1 only in the rotated outer matrix.

#include <cstdint>

namespace camellia_affine {

/// Pre and Post as the images of input bits 0 to 7 (column vectors).
inline constexpr uint8_t kPreColumns[8] = {0x01, 0x19, 0xb1, 0xab, 0xa7, 0x93, 0x61, 0xd9};
inline constexpr uint8_t kPostColumns[8] = {0xf1, 0xbb, 0x8e, 0x09, 0xfa, 0xd7, 0x21, 0xe1};
inline constexpr uint8_t kPreConstant = 0x08;
inline constexpr uint8_t kPostConstant = 0x6e;

constexpr uint8_t RotateLeft(uint8_t v, int n) {
    return static_cast<uint8_t>((v << n) | (v >> (8 - n)));
}

/// A matrix in the instructions' encoding: the row of output bit i (which
/// input bits it sums) in byte 7 - i of the 64-bit operand.
constexpr uint64_t InstructionMatrix(const uint8_t (&columns)[8]) {
    uint64_t matrix = 0;
    for (int row = 0; row < 8; ++row) {
        uint64_t bits = 0;
        for (int column = 0; column < 8; ++column)
            bits |= ((columns[column] >> row) & 1u) << column;
        matrix |= bits << (8 * (7 - row));
    }
    return matrix;
}

/// Each column rotated left by `n`: the matrix followed by a rotation.
constexpr uint64_t RotatedOutput(const uint8_t (&columns)[8], int n) {
    uint8_t rotated[8] = {};
    for (int i = 0; i < 8; ++i) rotated[i] = RotateLeft(columns[i], n);
    return InstructionMatrix(rotated);
}

/// Column i replaced by column i + 1: the matrix after rotating its input left by one.
constexpr uint64_t RotatedInput(const uint8_t (&columns)[8]) {
    uint8_t rotated[8] = {};
    for (int i = 0; i < 8; ++i) rotated[i] = columns[(i + 1) % 8];
    return InstructionMatrix(rotated);
}

/// One S-box: Sbox(x) = post * inv(pre * x ^ preConstant) ^ postConstant.
struct SboxAffine {
    uint64_t pre;
    uint8_t preConstant;
    uint64_t post;
    uint8_t postConstant;
};

/// SBOX1 to SBOX4, in that order.
inline constexpr SboxAffine kSboxes[4] = {
    {InstructionMatrix(kPreColumns), kPreConstant, InstructionMatrix(kPostColumns), kPostConstant},
    {InstructionMatrix(kPreColumns), kPreConstant, RotatedOutput(kPostColumns, 1),
     RotateLeft(kPostConstant, 1)},
    {InstructionMatrix(kPreColumns), kPreConstant, RotatedOutput(kPostColumns, 7),
     RotateLeft(kPostConstant, 7)},
    {RotatedInput(kPreColumns), kPreConstant, InstructionMatrix(kPostColumns), kPostConstant},
};

}  // namespace camellia_affine
