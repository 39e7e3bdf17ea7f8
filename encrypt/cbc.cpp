#include "encrypt/cbc.h"

#include <cstring>

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

}  // namespace

void Aes256CbcEncrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                      uint8_t chain[16]) {
    CbcEncrypt(blocks, buffer, chain,
               [context](uint8_t* block) { Aes256EncryptBlock(context, block, block); });
}

void Aes256CbcDecrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                      uint8_t chain[16]) {
    CbcDecrypt(blocks, buffer, chain,
               [context](uint8_t* block) { Aes256DecryptBlock(context, block, block); });
}

void Camellia256CbcEncrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                           uint8_t chain[16]) {
    CbcEncrypt(blocks, buffer, chain,
               [context](uint8_t* block) { Camellia256EncryptBlock(block, block, context); });
}

void Camellia256CbcDecrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                           uint8_t chain[16]) {
    CbcDecrypt(blocks, buffer, chain,
               [context](uint8_t* block) { Camellia256DecryptBlock(block, block, context); });
}
