#pragma once
// The code paths of each digest engine's block function (code_paths.h): the
// portable code that runs everywhere and is the reference, and the fast paths
// for processors that offer the instructions they need; the tables are in
// engine_paths.cpp. Internal to the engines, their path report, their tests
// and benchmarks.

#include <cstddef>
#include <cstdint>

#include "platform/system/code_paths.h"

namespace hash_engines {

/// Compresses `blocks` consecutive 64-byte blocks of `data` into h0..h4.
using Sha1Blocks = void (*)(uint32_t h[5], const uint8_t* data, std::size_t blocks);
/// Compresses `blocks` consecutive 64-byte blocks of `data` into h0..h7.
using Sha256Blocks = void (*)(uint32_t h[8], const uint8_t* data, std::size_t blocks);
/// Compresses `blocks` consecutive 128-byte blocks of `data` into h0..h7.
using Sha512Blocks = void (*)(uint64_t h[8], const uint8_t* data, std::size_t blocks);
/// MD5's block function exactly as Md5Transform: sixteen little-endian words.
using Md5Block = void (*)(uint32_t state[4], const uint32_t words[16]);

/// Keccak-f[1600] on the 200 state bytes (lane i = bytes 8i..8i+7 little-endian).
struct KeccakFunctions {
    /// Applies the permutation once.
    void (*permute)(uint8_t state[200]);
    /// For each of `blocks` consecutive 64-byte blocks of `data`: XORs it into
    /// lanes 0..7, then applies the permutation.
    void (*absorb)(uint8_t state[200], const uint8_t* data, std::size_t blocks);
};

using Md5Path = cpu::CodePath<Md5Block>;
using Sha1Path = cpu::CodePath<Sha1Blocks>;
using Sha256Path = cpu::CodePath<Sha256Blocks>;
using Sha512Path = cpu::CodePath<Sha512Blocks>;
using KeccakPath = cpu::CodePath<KeccakFunctions>;

/// Each engine's paths and the choice among them.
cpu::CodePaths<Md5Block>& Md5Paths();
cpu::CodePaths<Sha1Blocks>& Sha1Paths();
cpu::CodePaths<Sha256Blocks>& Sha256Paths();
cpu::CodePaths<Sha512Blocks>& Sha512Paths();
cpu::CodePaths<KeccakFunctions>& KeccakPaths();

// The portable block functions (the references).
void Md5BlockPortable(uint32_t state[4], const uint32_t words[16]);
void Sha1BlocksPortable(uint32_t h[5], const uint8_t* data, std::size_t blocks);
void Sha256BlocksPortable(uint32_t h[8], const uint8_t* data, std::size_t blocks);
void Sha512BlocksPortable(uint64_t h[8], const uint8_t* data, std::size_t blocks);
void KeccakPermutePortable(uint8_t state[200]);
void KeccakAbsorbPortable(uint8_t state[200], const uint8_t* data, std::size_t blocks);

#if defined(__x86_64__)
// The x86-64 fast paths, each in a unit of its own compiled for its
// instructions; call them only when the processor has those.
void Md5BlockBmi(uint32_t state[4], const uint32_t words[16]);
void Sha1BlocksShaNi(uint32_t h[5], const uint8_t* data, std::size_t blocks);
void Sha256BlocksShaNi(uint32_t h[8], const uint8_t* data, std::size_t blocks);
void Sha512BlocksAvx2Bmi2(uint64_t h[8], const uint8_t* data, std::size_t blocks);
void KeccakPermuteAvx512(uint8_t state[200]);
void KeccakAbsorbAvx512(uint8_t state[200], const uint8_t* data, std::size_t blocks);
#endif

}  // namespace hash_engines
