#pragma once
// Camellia-256 (RFC 3713, 256-bit keys only: 24 rounds, three FL/FL^-1
// layers, 16-byte blocks).
//
// Table-driven: the four S-boxes and the P-function are folded into four
// 1 KiB tables of 32-bit words (computed at compile time from the one
// published S-box), so an F-function costs eight lookups. The lookups depend
// on secret data; see the README's security notes.

#include <cstdint>

/// The 34 subkeys of 64 bits, each stored big-endian, in the order encryption
/// uses them: kw1, kw2, k1..k6, ke1, ke2, k7..k12, ke3, ke4, k13..k18, ke5,
/// ke6, k19..k24, kw3, kw4. Decryption reads the same table from the other end.
struct Camellia256Context {
    uint8_t subkeys[34][8];
};

/// Computes the subkey table for the 32-byte `key` (KL = bytes 0..15,
/// KR = bytes 16..31). Any 32 bytes are a valid key; a zero tail (KR = 0) is
/// still a 256-bit key.
void Camellia256SetKey(Camellia256Context* context, const uint8_t key[32]);

/// Enciphers one block. `in` and `out` may be the same array: the input is read
/// only by the first whitening step, which writes the output.
void Camellia256EncryptBlock(const uint8_t in[16], uint8_t out[16],
                             const Camellia256Context* context);

/// Deciphers one block. `in` and `out` may be the same array, as for
/// Camellia256EncryptBlock.
void Camellia256DecryptBlock(const uint8_t in[16], uint8_t out[16],
                             const Camellia256Context* context);
