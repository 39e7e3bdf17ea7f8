#pragma once
// MD5 (RFC 1321) as a bare block function. MD5 keeps no context of its own:
// the file driver holds the four state words, knows the message length in
// advance and pads the last block itself.

#include <cstdint>

/// The RFC 1321 initial values of A, B, C, D.
inline constexpr uint32_t kMd5InitialState[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu,
                                                 0x10325476u};

/// Applies the RFC 1321 compression of one 64-byte block, given as sixteen
/// words (word j = bytes 4j..4j+3 read little-endian), to `state` (A, B, C, D,
/// changed in place). The block words are only read.
void Md5Transform(uint32_t state[4], const uint32_t block[16]);

/// Reads a 64-byte block as the sixteen little-endian words Md5Transform takes.
/// Inline so that the conversion before every block costs no call.
inline void Md5BlockToWords(const uint8_t block[64], uint32_t words[16]) {
    for (int j = 0; j < 16; ++j) {
        const uint8_t* p = block + 4 * j;
        words[j] =
            uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
}

/// Turns the final state into the digest words handed to the hash page: each
/// word with its bytes reversed, so that word k holds digest bytes 4k..4k+3
/// with byte 4k most significant and "%08X" prints the standard digest.
void Md5StateToDigestWords(const uint32_t state[4], uint32_t digest_words[4]);

/// The sixteen standard digest bytes of a final state (A..D little-endian).
void Md5StateToBytes(const uint32_t state[4], uint8_t digest[16]);
