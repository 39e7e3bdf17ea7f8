#pragma once
// Which code path of each block cipher this process uses (cbc_paths.h).

#include <string>

/// For example "aes: aesni, camellia: portable".
std::string CipherPathsText();
