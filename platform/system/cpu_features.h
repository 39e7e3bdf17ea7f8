#pragma once
// What the processor offers, read once. Fast paths of the ciphers and digests
// are chosen from this at their first use (code_paths.h); the portable
// table-driven code is always there as the fallback and as the reference the
// fast paths are tested against.
//
// QUORVANE_CPU=portable in the environment forces the portable paths. The
// features stay those of the processor, so the tests still run every path it
// can run.

namespace cpu {

struct Features {
    bool sse41 = false;
    bool ssse3 = false;
    bool aesni = false;
    bool pclmul = false;
    bool avx = false;  // with the OS saving the YMM state
    bool avx2 = false;
    bool bmi1 = false;
    bool bmi2 = false;
    bool sha = false;      // SHA-1 and SHA-256 instructions
    bool avx512f = false;  // with the OS saving the ZMM and mask state
    bool avx512vl = false;
    bool avx512bw = false;
    bool vaes = false;  // AES on 256/512-bit registers (with AVX2 / AVX-512)
    bool vpclmulqdq = false;
    bool gfni = false;
};

/// The features of this processor as the operating system lets us use them,
/// determined on the first call (thread-safe) and fixed afterwards.
const Features& Detected();

/// True when QUORVANE_CPU=portable was set at the first call.
bool PortableForced();

}  // namespace cpu
