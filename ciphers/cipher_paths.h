#pragma once
// Which implementation of each block cipher this process uses, chosen once
// from what the processor offers.

#include <string>

/// For example "aes: aesni, camellia: portable".
std::string CipherPathsText();
