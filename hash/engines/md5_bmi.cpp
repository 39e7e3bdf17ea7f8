// MD5's block function arranged around its dependency chain: each step
// waits for b of the step before, so everything that does not involve b (the
// message word plus the constant, the parts of the round function made of c
// and d) is added to a first, and what remains on the chain is as short as
// the round function allows. BMI's andn makes the complemented terms single
// instructions.
#if defined(__x86_64__)

#include "hash/engines/engine_paths.h"

namespace {

#define BMI_TARGET __attribute__((target("bmi,bmi2")))

BMI_TARGET inline uint32_t Rotl(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

// Keeps the sum so far as it is: without it the compiler regroups the
// additions and puts the constant after the round function, on the chain.
#define MD5_KEEP(x) __asm__("" : "+r"(x))

// F = (b & c) | (~b & d) = d ^ (b & (c ^ d)): two operations after b.
#define STEP_F(a, b, c, d, word, constant, s) \
    a += (word) + (constant);                 \
    MD5_KEEP(a);                              \
    a += (d) ^ ((b) & ((c) ^ (d)));           \
    a = Rotl(a, s) + (b);
// G = (b & d) | (c & ~d); the two terms share no bit, so G is their sum and
// the term without b joins a early: one operation after b.
#define STEP_G(a, b, c, d, word, constant, s) \
    a += (word) + (constant) + ((c) & ~(d));  \
    MD5_KEEP(a);                              \
    a += (b) & (d);                           \
    a = Rotl(a, s) + (b);
// H = b ^ c ^ d with c ^ d formed first: one operation after b.
#define STEP_H(a, b, c, d, word, constant, s) \
    {                                         \
        uint32_t cd = (c) ^ (d);              \
        MD5_KEEP(cd);                         \
        a += (word) + (constant);             \
        MD5_KEEP(a);                          \
        a += (b) ^ cd;                        \
        a = Rotl(a, s) + (b);                 \
    }
// I = c ^ (b | ~d): two operations after b.
#define STEP_I(a, b, c, d, word, constant, s) \
    a += (word) + (constant);                 \
    MD5_KEEP(a);                              \
    a += (c) ^ ((b) | ~(d));                  \
    a = Rotl(a, s) + (b);

}  // namespace

namespace hash_engines {

BMI_TARGET void Md5BlockBmi(uint32_t state[4], const uint32_t x[16]) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

    STEP_F(a, b, c, d, x[0], 0xd76aa478u, 7)
    STEP_F(d, a, b, c, x[1], 0xe8c7b756u, 12)
    STEP_F(c, d, a, b, x[2], 0x242070dbu, 17)
    STEP_F(b, c, d, a, x[3], 0xc1bdceeeu, 22)
    STEP_F(a, b, c, d, x[4], 0xf57c0fafu, 7)
    STEP_F(d, a, b, c, x[5], 0x4787c62au, 12)
    STEP_F(c, d, a, b, x[6], 0xa8304613u, 17)
    STEP_F(b, c, d, a, x[7], 0xfd469501u, 22)
    STEP_F(a, b, c, d, x[8], 0x698098d8u, 7)
    STEP_F(d, a, b, c, x[9], 0x8b44f7afu, 12)
    STEP_F(c, d, a, b, x[10], 0xffff5bb1u, 17)
    STEP_F(b, c, d, a, x[11], 0x895cd7beu, 22)
    STEP_F(a, b, c, d, x[12], 0x6b901122u, 7)
    STEP_F(d, a, b, c, x[13], 0xfd987193u, 12)
    STEP_F(c, d, a, b, x[14], 0xa679438eu, 17)
    STEP_F(b, c, d, a, x[15], 0x49b40821u, 22)

    STEP_G(a, b, c, d, x[1], 0xf61e2562u, 5)
    STEP_G(d, a, b, c, x[6], 0xc040b340u, 9)
    STEP_G(c, d, a, b, x[11], 0x265e5a51u, 14)
    STEP_G(b, c, d, a, x[0], 0xe9b6c7aau, 20)
    STEP_G(a, b, c, d, x[5], 0xd62f105du, 5)
    STEP_G(d, a, b, c, x[10], 0x02441453u, 9)
    STEP_G(c, d, a, b, x[15], 0xd8a1e681u, 14)
    STEP_G(b, c, d, a, x[4], 0xe7d3fbc8u, 20)
    STEP_G(a, b, c, d, x[9], 0x21e1cde6u, 5)
    STEP_G(d, a, b, c, x[14], 0xc33707d6u, 9)
    STEP_G(c, d, a, b, x[3], 0xf4d50d87u, 14)
    STEP_G(b, c, d, a, x[8], 0x455a14edu, 20)
    STEP_G(a, b, c, d, x[13], 0xa9e3e905u, 5)
    STEP_G(d, a, b, c, x[2], 0xfcefa3f8u, 9)
    STEP_G(c, d, a, b, x[7], 0x676f02d9u, 14)
    STEP_G(b, c, d, a, x[12], 0x8d2a4c8au, 20)

    STEP_H(a, b, c, d, x[5], 0xfffa3942u, 4)
    STEP_H(d, a, b, c, x[8], 0x8771f681u, 11)
    STEP_H(c, d, a, b, x[11], 0x6d9d6122u, 16)
    STEP_H(b, c, d, a, x[14], 0xfde5380cu, 23)
    STEP_H(a, b, c, d, x[1], 0xa4beea44u, 4)
    STEP_H(d, a, b, c, x[4], 0x4bdecfa9u, 11)
    STEP_H(c, d, a, b, x[7], 0xf6bb4b60u, 16)
    STEP_H(b, c, d, a, x[10], 0xbebfbc70u, 23)
    STEP_H(a, b, c, d, x[13], 0x289b7ec6u, 4)
    STEP_H(d, a, b, c, x[0], 0xeaa127fau, 11)
    STEP_H(c, d, a, b, x[3], 0xd4ef3085u, 16)
    STEP_H(b, c, d, a, x[6], 0x04881d05u, 23)
    STEP_H(a, b, c, d, x[9], 0xd9d4d039u, 4)
    STEP_H(d, a, b, c, x[12], 0xe6db99e5u, 11)
    STEP_H(c, d, a, b, x[15], 0x1fa27cf8u, 16)
    STEP_H(b, c, d, a, x[2], 0xc4ac5665u, 23)

    STEP_I(a, b, c, d, x[0], 0xf4292244u, 6)
    STEP_I(d, a, b, c, x[7], 0x432aff97u, 10)
    STEP_I(c, d, a, b, x[14], 0xab9423a7u, 15)
    STEP_I(b, c, d, a, x[5], 0xfc93a039u, 21)
    STEP_I(a, b, c, d, x[12], 0x655b59c3u, 6)
    STEP_I(d, a, b, c, x[3], 0x8f0ccc92u, 10)
    STEP_I(c, d, a, b, x[10], 0xffeff47du, 15)
    STEP_I(b, c, d, a, x[1], 0x85845dd1u, 21)
    STEP_I(a, b, c, d, x[8], 0x6fa87e4fu, 6)
    STEP_I(d, a, b, c, x[15], 0xfe2ce6e0u, 10)
    STEP_I(c, d, a, b, x[6], 0xa3014314u, 15)
    STEP_I(b, c, d, a, x[13], 0x4e0811a1u, 21)
    STEP_I(a, b, c, d, x[4], 0xf7537e82u, 6)
    STEP_I(d, a, b, c, x[11], 0xbd3af235u, 10)
    STEP_I(c, d, a, b, x[2], 0x2ad7d2bbu, 15)
    STEP_I(b, c, d, a, x[9], 0xeb86d391u, 21)

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

}  // namespace hash_engines

#endif
