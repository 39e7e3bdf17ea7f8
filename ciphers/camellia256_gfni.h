#pragma once
// Camellia-256 CBC decryption on 64 blocks at once with the GF(2^8) affine
// instructions (GFNI) on 512-bit registers (AVX-512F/BW). It takes the
// context of Camellia256SetKey; blocks left over after the groups of 64 go
// through the table-driven cipher.
//
// Compiled for its instruction set only; call it only when cpu::Detected()
// reports GFNI, AVX-512F and AVX-512BW. Not built on other architectures.
// Arguments and chaining are those of Camellia256CbcDecrypt.

#include <cstddef>
#include <cstdint>

#include "ciphers/camellia256.h"

#if defined(__x86_64__)

void Camellia256GfniCbcDecrypt(std::size_t blocks, uint8_t* buffer,
                               const Camellia256Context* context, uint8_t chain[16]);

#endif
