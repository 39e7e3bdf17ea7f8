#include "ciphers/cipher_paths.h"

std::string CipherPathsText() {
    return "aes: portable, camellia: portable";
}
