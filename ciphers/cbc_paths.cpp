#include "ciphers/cbc_paths.h"

#include <cstring>

#include "ciphers/camellia_round.h"
#include "platform/system/byte_order.h"
#include "platform/system/cpu_features.h"

#if defined(__x86_64__)
#include "ciphers/aes256_ni.h"
#include "ciphers/camellia256_gfni.h"
#endif

namespace {

inline void XorBlock(uint8_t* target, const uint8_t* other) {
    for (int i = 0; i < 16; ++i) target[i] ^= other[i];
}

template <typename EncipherBlock>
void CbcEncrypt(std::size_t blocks, uint8_t* buffer, uint8_t chain[16], EncipherBlock encipher) {
    for (std::size_t b = 0; b < blocks; ++b) {
        uint8_t* block = buffer + 16 * b;
        XorBlock(block, chain);
        encipher(block);
        std::memcpy(chain, block, 16);
    }
}

template <typename DecipherBlock>
void CbcDecrypt(std::size_t blocks, uint8_t* buffer, uint8_t chain[16], DecipherBlock decipher) {
    uint8_t previous[16];
    for (std::size_t b = 0; b < blocks; ++b) {
        uint8_t* block = buffer + 16 * b;
        std::memcpy(previous, chain, 16);
        std::memcpy(chain, block, 16);
        decipher(block);
        XorBlock(block, previous);
    }
}

void AesPortableEncrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                        uint8_t chain[16]) {
    CbcEncrypt(blocks, buffer, chain,
               [context](uint8_t* block) { Aes256EncryptBlock(context, block, block); });
}

void AesPortableDecrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                        uint8_t chain[16]) {
    CbcDecrypt(blocks, buffer, chain,
               [context](uint8_t* block) { Aes256DecryptBlock(context, block, block); });
}

// The chain value stays in registers: storing a block and reading it back in
// pieces of another size would stall each block on the store.
void CamelliaPortableEncrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                             uint8_t chain[16]) {
    if (blocks == 0) return;
    CamelliaWords state;
    for (int i = 0; i < 4; ++i) state.w[i] = LoadBe32(chain + 4 * i);
    for (std::size_t b = 0; b < blocks; ++b) {
        uint8_t* block = buffer + 16 * b;
        for (int i = 0; i < 4; ++i) state.w[i] ^= LoadBe32(block + 4 * i);
        state = Camellia256EncryptWords(state, context);
        for (int i = 0; i < 4; ++i) StoreBe32(block + 4 * i, state.w[i]);
    }
    for (int i = 0; i < 4; ++i) StoreBe32(chain + 4 * i, state.w[i]);
}

void CamelliaPortableDecrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                             uint8_t chain[16]) {
    CbcDecrypt(blocks, buffer, chain,
               [context](uint8_t* block) { Camellia256DecryptBlock(block, block, context); });
}

bool Always() {
    return true;
}

#if defined(__x86_64__)
bool HasAesNi() {
    const cpu::Features& f = cpu::Detected();
    return f.aesni && f.sse41;
}

bool HasVaesAvx512() {
    const cpu::Features& f = cpu::Detected();
    return HasAesNi() && f.vaes && f.avx512f;
}

bool HasVaesAvx2() {
    const cpu::Features& f = cpu::Detected();
    return HasAesNi() && f.vaes && f.avx2;
}

bool HasGfniAvx512() {
    const cpu::Features& f = cpu::Detected();
    return f.gfni && f.avx512f && f.avx512bw;
}
#endif

// CBC encryption is one chain, so every AES path but the portable one
// enciphers with AES-NI one block at a time; they differ in decryption.
constexpr AesCbcPath kAesPaths[] = {
#if defined(__x86_64__)
    {"vaes-avx512", HasVaesAvx512, Aes256NiCbcEncrypt, Aes256VaesCbcDecrypt},
    {"vaes-avx2", HasVaesAvx2, Aes256NiCbcEncrypt, Aes256VaesAvx2CbcDecrypt},
    {"aesni", HasAesNi, Aes256NiCbcEncrypt, Aes256NiCbcDecrypt},
#endif
    {"portable", Always, AesPortableEncrypt, AesPortableDecrypt},
};

constexpr CamelliaCbcPath kCamelliaPaths[] = {
#if defined(__x86_64__)
    {"gfni-avx512", HasGfniAvx512, CamelliaPortableEncrypt, Camellia256GfniCbcDecrypt},
#endif
    {"portable", Always, CamelliaPortableEncrypt, CamelliaPortableDecrypt},
};

template <typename Path>
const Path& FirstAvailable(std::span<const Path> paths) {
    for (const Path& path : paths) {
        if (path.available()) return path;
    }
    return paths.back();
}

}  // namespace

std::span<const AesCbcPath> AesCbcPaths() {
    return kAesPaths;
}

std::span<const CamelliaCbcPath> CamelliaCbcPaths() {
    return kCamelliaPaths;
}

const AesCbcPath& ChosenAesCbcPath() {
    static const AesCbcPath& chosen = FirstAvailable(AesCbcPaths());
    return chosen;
}

const CamelliaCbcPath& ChosenCamelliaCbcPath() {
    static const CamelliaCbcPath& chosen = FirstAvailable(CamelliaCbcPaths());
    return chosen;
}
