#pragma once
// Building blocks of Camellia-256, shared by the key schedule, the block
// operations and their tests. Not meant for callers of the cipher.

#include <cstdint>

#include "ciphers/camellia256.h"

/// A block as four 32-bit words, most significant byte first.
struct CamelliaWords {
    uint32_t w[4];
};

/// Camellia256EncryptBlock on words: for chaining code that keeps the chain
/// value in registers rather than storing and reloading it between blocks.
CamelliaWords Camellia256EncryptWords(CamelliaWords block, const Camellia256Context* context);

/// SBOX1 of RFC 3713; the other three S-boxes are rotations of it.
uint8_t CamelliaSbox1(uint8_t x);

/// One Feistel half-round: y ^= F(x, k), where F is the RFC 3713 F-function
/// (S-boxes 1,2,3,4,2,3,4,1 on x ^ k, then the P-function). x, y and k are
/// 8-byte big-endian halves; k is a subkey or a key-schedule constant.
void CamelliaF(const uint8_t x[8], const uint8_t k[8], uint8_t y[8]);

/// The FL layer on a 16-byte block: FL with `keLeft` on the left half and
/// FL^-1 with `keRight` on the right half.
void CamelliaFL(uint8_t block[16], const uint8_t keLeft[8], const uint8_t keRight[8]);

/// KA and KB of the key schedule for the 32-byte `key`, each 16 bytes
/// big-endian. Exposed so the intermediate values can be checked.
void Camellia256DeriveKaKb(const uint8_t key[32], uint8_t ka[16], uint8_t kb[16]);
