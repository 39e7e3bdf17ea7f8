#include "ciphers/cipher_paths.h"

#include "encrypt/cbc_paths.h"

std::string CipherPathsText() {
    return std::string("aes: ") + ChosenAesCbcPath().name +
           ", camellia: " + ChosenCamelliaCbcPath().name;
}
