#pragma once
// AES-256 in CBC mode on the processor's AES instructions. The functions take
// the same contexts as the table-driven cipher (Aes256SetEncryptKey /
// Aes256SetDecryptKey) and turn their big-endian words into instruction round
// keys at the start of each call; that copy is wiped before returning.
//
// Each function is compiled for its instruction set only; call it only when
// cpu::Detected() reports that set. On other architectures none is built.
// Arguments and chaining are those of Aes256CbcEncrypt / Aes256CbcDecrypt.

#include <cstddef>
#include <cstdint>

#include "ciphers/aes256.h"

#if defined(__x86_64__)

/// One block after the other along the chain (AES-NI, SSE4.1).
void Aes256NiCbcEncrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                        uint8_t chain[16]);

/// Eight blocks in flight (AES-NI, SSE4.1); the rest one at a time.
void Aes256NiCbcDecrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                        uint8_t chain[16]);

/// Sixteen blocks in flight as four 512-bit registers of four (VAES,
/// AVX-512F); fewer than sixteen left over go through Aes256NiCbcDecrypt.
void Aes256VaesCbcDecrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                          uint8_t chain[16]);

/// Sixteen blocks in flight as eight 256-bit registers of two (VAES, AVX2);
/// fewer than sixteen left over go through Aes256NiCbcDecrypt.
void Aes256VaesAvx2CbcDecrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                              uint8_t chain[16]);

#endif
