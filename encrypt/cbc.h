#pragma once
// Cipher block chaining over whole 16-byte blocks, in place.
//
// `chain` holds the previous ciphertext block (the IV before the first call).
// After a call it holds the last ciphertext block, so consecutive calls over
// consecutive parts of a message continue one unbroken chain. A block count of
// 0 changes nothing. The buffer holds at least 16 × `blocks` bytes.

#include <cstddef>
#include <cstdint>

#include "ciphers/aes256.h"
#include "ciphers/camellia256.h"

/// Per block: XOR the chain value in, encipher in place, keep the result as the
/// chain value. `context` is an encryption schedule (Aes256SetEncryptKey).
void Aes256CbcEncrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                      uint8_t chain[16]);

/// Per block: keep the ciphertext as the next chain value, decipher in place,
/// XOR the previous chain value in. `context` is a decryption schedule
/// (Aes256SetDecryptKey).
void Aes256CbcDecrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                      uint8_t chain[16]);

/// As Aes256CbcEncrypt, with a Camellia256SetKey schedule.
void Camellia256CbcEncrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                           uint8_t chain[16]);

/// As Aes256CbcDecrypt, with the same Camellia256SetKey schedule as encryption.
void Camellia256CbcDecrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                           uint8_t chain[16]);
