#pragma once
// Constant lookup tables of the table-driven AES rounds. Each entry packs four
// bytes, most significant first; S is the AES S-box, InvS its inverse, and
// products are in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.

#include <array>
#include <cstdint>

using AesTable = std::array<uint32_t, 256>;

/// 02*S[x], S[x], S[x], 03*S[x]: SubBytes and MixColumns for one input byte.
extern const AesTable AesEnc0;
/// AesEnc0 rotated right by 8, 16 and 24 bits (the other three rows).
extern const AesTable AesEnc1;
extern const AesTable AesEnc2;
extern const AesTable AesEnc3;
/// S[x] in all four bytes: last round (no MixColumns) and key expansion.
extern const AesTable AesEncLast;
/// 0e*InvS[x], 09*InvS[x], 0d*InvS[x], 0b*InvS[x]: InvSubBytes and
/// InvMixColumns for one input byte.
extern const AesTable AesDec0;
/// AesDec0 rotated right by 8, 16 and 24 bits.
extern const AesTable AesDec1;
extern const AesTable AesDec2;
extern const AesTable AesDec3;
/// InvS[x] in all four bytes: last decryption round.
extern const AesTable AesDecLast;
