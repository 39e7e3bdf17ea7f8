#include "hash/engines/md5.h"

#include "hash/engines/engine_paths.h"

namespace {

inline uint32_t Rotl(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

// One step of each round: a = b + ((a + f(b, c, d) + word + constant) <<< s).
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, word, constant, s) \
    a += f(b, c, d) + (word) + (constant);         \
    a = Rotl(a, s) + b;

}  // namespace

namespace hash_engines {

void Md5BlockPortable(uint32_t state[4], const uint32_t block[16]) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    const uint32_t x0 = block[0], x1 = block[1], x2 = block[2], x3 = block[3];
    const uint32_t x4 = block[4], x5 = block[5], x6 = block[6], x7 = block[7];
    const uint32_t x8 = block[8], x9 = block[9], x10 = block[10], x11 = block[11];
    const uint32_t x12 = block[12], x13 = block[13], x14 = block[14], x15 = block[15];

    MD5_STEP(MD5_F, a, b, c, d, x0, 0xd76aa478u, 7)
    MD5_STEP(MD5_F, d, a, b, c, x1, 0xe8c7b756u, 12)
    MD5_STEP(MD5_F, c, d, a, b, x2, 0x242070dbu, 17)
    MD5_STEP(MD5_F, b, c, d, a, x3, 0xc1bdceeeu, 22)
    MD5_STEP(MD5_F, a, b, c, d, x4, 0xf57c0fafu, 7)
    MD5_STEP(MD5_F, d, a, b, c, x5, 0x4787c62au, 12)
    MD5_STEP(MD5_F, c, d, a, b, x6, 0xa8304613u, 17)
    MD5_STEP(MD5_F, b, c, d, a, x7, 0xfd469501u, 22)
    MD5_STEP(MD5_F, a, b, c, d, x8, 0x698098d8u, 7)
    MD5_STEP(MD5_F, d, a, b, c, x9, 0x8b44f7afu, 12)
    MD5_STEP(MD5_F, c, d, a, b, x10, 0xffff5bb1u, 17)
    MD5_STEP(MD5_F, b, c, d, a, x11, 0x895cd7beu, 22)
    MD5_STEP(MD5_F, a, b, c, d, x12, 0x6b901122u, 7)
    MD5_STEP(MD5_F, d, a, b, c, x13, 0xfd987193u, 12)
    MD5_STEP(MD5_F, c, d, a, b, x14, 0xa679438eu, 17)
    MD5_STEP(MD5_F, b, c, d, a, x15, 0x49b40821u, 22)

    MD5_STEP(MD5_G, a, b, c, d, x1, 0xf61e2562u, 5)
    MD5_STEP(MD5_G, d, a, b, c, x6, 0xc040b340u, 9)
    MD5_STEP(MD5_G, c, d, a, b, x11, 0x265e5a51u, 14)
    MD5_STEP(MD5_G, b, c, d, a, x0, 0xe9b6c7aau, 20)
    MD5_STEP(MD5_G, a, b, c, d, x5, 0xd62f105du, 5)
    MD5_STEP(MD5_G, d, a, b, c, x10, 0x02441453u, 9)
    MD5_STEP(MD5_G, c, d, a, b, x15, 0xd8a1e681u, 14)
    MD5_STEP(MD5_G, b, c, d, a, x4, 0xe7d3fbc8u, 20)
    MD5_STEP(MD5_G, a, b, c, d, x9, 0x21e1cde6u, 5)
    MD5_STEP(MD5_G, d, a, b, c, x14, 0xc33707d6u, 9)
    MD5_STEP(MD5_G, c, d, a, b, x3, 0xf4d50d87u, 14)
    MD5_STEP(MD5_G, b, c, d, a, x8, 0x455a14edu, 20)
    MD5_STEP(MD5_G, a, b, c, d, x13, 0xa9e3e905u, 5)
    MD5_STEP(MD5_G, d, a, b, c, x2, 0xfcefa3f8u, 9)
    MD5_STEP(MD5_G, c, d, a, b, x7, 0x676f02d9u, 14)
    MD5_STEP(MD5_G, b, c, d, a, x12, 0x8d2a4c8au, 20)

    MD5_STEP(MD5_H, a, b, c, d, x5, 0xfffa3942u, 4)
    MD5_STEP(MD5_H, d, a, b, c, x8, 0x8771f681u, 11)
    MD5_STEP(MD5_H, c, d, a, b, x11, 0x6d9d6122u, 16)
    MD5_STEP(MD5_H, b, c, d, a, x14, 0xfde5380cu, 23)
    MD5_STEP(MD5_H, a, b, c, d, x1, 0xa4beea44u, 4)
    MD5_STEP(MD5_H, d, a, b, c, x4, 0x4bdecfa9u, 11)
    MD5_STEP(MD5_H, c, d, a, b, x7, 0xf6bb4b60u, 16)
    MD5_STEP(MD5_H, b, c, d, a, x10, 0xbebfbc70u, 23)
    MD5_STEP(MD5_H, a, b, c, d, x13, 0x289b7ec6u, 4)
    MD5_STEP(MD5_H, d, a, b, c, x0, 0xeaa127fau, 11)
    MD5_STEP(MD5_H, c, d, a, b, x3, 0xd4ef3085u, 16)
    MD5_STEP(MD5_H, b, c, d, a, x6, 0x04881d05u, 23)
    MD5_STEP(MD5_H, a, b, c, d, x9, 0xd9d4d039u, 4)
    MD5_STEP(MD5_H, d, a, b, c, x12, 0xe6db99e5u, 11)
    MD5_STEP(MD5_H, c, d, a, b, x15, 0x1fa27cf8u, 16)
    MD5_STEP(MD5_H, b, c, d, a, x2, 0xc4ac5665u, 23)

    MD5_STEP(MD5_I, a, b, c, d, x0, 0xf4292244u, 6)
    MD5_STEP(MD5_I, d, a, b, c, x7, 0x432aff97u, 10)
    MD5_STEP(MD5_I, c, d, a, b, x14, 0xab9423a7u, 15)
    MD5_STEP(MD5_I, b, c, d, a, x5, 0xfc93a039u, 21)
    MD5_STEP(MD5_I, a, b, c, d, x12, 0x655b59c3u, 6)
    MD5_STEP(MD5_I, d, a, b, c, x3, 0x8f0ccc92u, 10)
    MD5_STEP(MD5_I, c, d, a, b, x10, 0xffeff47du, 15)
    MD5_STEP(MD5_I, b, c, d, a, x1, 0x85845dd1u, 21)
    MD5_STEP(MD5_I, a, b, c, d, x8, 0x6fa87e4fu, 6)
    MD5_STEP(MD5_I, d, a, b, c, x15, 0xfe2ce6e0u, 10)
    MD5_STEP(MD5_I, c, d, a, b, x6, 0xa3014314u, 15)
    MD5_STEP(MD5_I, b, c, d, a, x13, 0x4e0811a1u, 21)
    MD5_STEP(MD5_I, a, b, c, d, x4, 0xf7537e82u, 6)
    MD5_STEP(MD5_I, d, a, b, c, x11, 0xbd3af235u, 10)
    MD5_STEP(MD5_I, c, d, a, b, x2, 0x2ad7d2bbu, 15)
    MD5_STEP(MD5_I, b, c, d, a, x9, 0xeb86d391u, 21)

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

}  // namespace hash_engines

void Md5Transform(uint32_t state[4], const uint32_t block[16]) {
    hash_engines::Md5Paths().Active().function(state, block);
}

void Md5StateToDigestWords(const uint32_t state[4], uint32_t digest_words[4]) {
    for (int k = 0; k < 4; ++k) {
        const uint32_t w = state[k];
        digest_words[k] = (w >> 24) | ((w >> 8) & 0xff00u) | ((w << 8) & 0xff0000u) | (w << 24);
    }
}

void Md5StateToBytes(const uint32_t state[4], uint8_t digest[16]) {
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < 4; ++i) digest[4 * k + i] = uint8_t(state[k] >> (8 * i));
    }
}
