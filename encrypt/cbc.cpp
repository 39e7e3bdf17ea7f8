#include "encrypt/cbc.h"

#include "ciphers/cbc_paths.h"

// Each function hands the work to the active path (ciphers/cbc_paths.cpp).

void Aes256CbcEncrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                      uint8_t chain[16]) {
    AesCbcPaths().Active().function.encrypt(blocks, buffer, context, chain);
}

void Aes256CbcDecrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                      uint8_t chain[16]) {
    AesCbcPaths().Active().function.decrypt(blocks, buffer, context, chain);
}

void Camellia256CbcEncrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                           uint8_t chain[16]) {
    CamelliaCbcPaths().Active().function.encrypt(blocks, buffer, context, chain);
}

void Camellia256CbcDecrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                           uint8_t chain[16]) {
    CamelliaCbcPaths().Active().function.decrypt(blocks, buffer, context, chain);
}
