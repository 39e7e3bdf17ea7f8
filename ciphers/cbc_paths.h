#pragma once
// The implementations behind the CBC functions of encrypt/cbc.h, in the
// order and with the choice of code_paths.h: the portable table-driven code
// first, the preferred path last.

#include <cstddef>
#include <cstdint>

#include "ciphers/aes256.h"
#include "ciphers/camellia256.h"
#include "platform/system/code_paths.h"

/// One path's CBC chain over `blocks` whole blocks of `buffer` in place;
/// `chain` holds the IV (or the previous call's last ciphertext block) and is
/// left holding the last ciphertext block.
template <typename Context>
struct CbcFunctions {
    using Function = void (*)(std::size_t blocks, uint8_t* buffer, const Context* context,
                              uint8_t chain[16]);
    Function encrypt;
    Function decrypt;
};

using AesCbcFunctions = CbcFunctions<Aes256Context>;
using CamelliaCbcFunctions = CbcFunctions<Camellia256Context>;
using AesCbcPath = cpu::CodePath<AesCbcFunctions>;
using CamelliaCbcPath = cpu::CodePath<CamelliaCbcFunctions>;

cpu::CodePaths<AesCbcFunctions>& AesCbcPaths();
cpu::CodePaths<CamelliaCbcFunctions>& CamelliaCbcPaths();
