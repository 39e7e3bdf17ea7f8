#include "encrypt/cbc.h"

#include "ciphers/cbc_paths.h"

// Each function hands the work to the implementation chosen once for this
// processor (ciphers/cbc_paths.cpp).

void Aes256CbcEncrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                      uint8_t chain[16]) {
    ChosenAesCbcPath().encrypt(blocks, buffer, context, chain);
}

void Aes256CbcDecrypt(std::size_t blocks, uint8_t* buffer, const Aes256Context* context,
                      uint8_t chain[16]) {
    ChosenAesCbcPath().decrypt(blocks, buffer, context, chain);
}

void Camellia256CbcEncrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                           uint8_t chain[16]) {
    ChosenCamelliaCbcPath().encrypt(blocks, buffer, context, chain);
}

void Camellia256CbcDecrypt(std::size_t blocks, uint8_t* buffer, const Camellia256Context* context,
                           uint8_t chain[16]) {
    ChosenCamelliaCbcPath().decrypt(blocks, buffer, context, chain);
}
