#pragma once
// AES-256 (FIPS-197, 256-bit keys only: 14 rounds, 16-byte blocks).
//
// Table-driven: each of rounds 1 to 13 is 16 lookups into four 1 KiB tables,
// the last round uses a fifth table. The context holds the expanded round
// keys and nothing else; the cipher keeps no state of its own.

#include <cstdint>

/// Round keys of one direction: 15 round keys of 4 words, round key r in words
/// 4r to 4r + 3. Each word holds four bytes big-endian (first byte on top).
/// An encryption context and a decryption context have the same shape but
/// different contents; fill it with the matching Set*Key call.
struct Aes256Context {
    uint32_t roundKeys[60];
};

/// Expands the 32-byte `key` into encryption round keys. Any 32 bytes are a
/// valid key (a zero tail is still a 256-bit key). Returns the number of
/// rounds, always 14.
int Aes256SetEncryptKey(Aes256Context* context, const uint8_t key[32]);

/// Expands the 32-byte `key` into the round keys of the equivalent inverse
/// cipher: the encryption schedule in reverse round order, with InvMixColumns
/// applied to round keys 1 to 13. Returns the number of rounds, always 14.
int Aes256SetDecryptKey(Aes256Context* context, const uint8_t key[32]);

/// Enciphers one block with an encryption context. `in` and `out` may be the
/// same array: all input is read before any output is written.
void Aes256EncryptBlock(const Aes256Context* context, const uint8_t in[16], uint8_t out[16]);

/// Deciphers one block with a decryption context. `in` and `out` may be the
/// same array: all input is read before any output is written.
void Aes256DecryptBlock(const Aes256Context* context, const uint8_t in[16], uint8_t out[16]);
