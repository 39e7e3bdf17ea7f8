#pragma once
// The CBC implementations of each block cipher. The CBC functions of
// encrypt/cbc.h use the first one the processor offers; the tests run each of
// them against the portable one, which is always last and always available.

#include <cstddef>
#include <cstdint>
#include <span>

#include "ciphers/aes256.h"
#include "ciphers/camellia256.h"

template <typename Context>
struct CbcPath {
    using Function = void (*)(std::size_t blocks, uint8_t* buffer, const Context* context,
                              uint8_t chain[16]);
    const char* name;     // as CipherPathsText() shows it
    bool (*available)();  // from cpu::Detected()
    Function encrypt;
    Function decrypt;
};

using AesCbcPath = CbcPath<Aes256Context>;
using CamelliaCbcPath = CbcPath<Camellia256Context>;

/// Every AES-256 path built for this architecture, fastest first.
std::span<const AesCbcPath> AesCbcPaths();
/// Every Camellia-256 path built for this architecture, fastest first.
std::span<const CamelliaCbcPath> CamelliaCbcPaths();

/// The path in use: the first available one, chosen at the first call.
const AesCbcPath& ChosenAesCbcPath();
const CamelliaCbcPath& ChosenCamelliaCbcPath();
