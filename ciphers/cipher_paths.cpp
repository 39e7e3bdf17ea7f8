#include "ciphers/cipher_paths.h"

#include "ciphers/cbc_paths.h"

std::string CipherPathsText() {
    return std::string("aes: ") + ChosenAesCbcPath().name +
           ", camellia: " + ChosenCamelliaCbcPath().name;
}
