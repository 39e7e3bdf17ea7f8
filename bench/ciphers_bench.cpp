// Throughput of the single-block ciphers chained as CBC does it: each block
// depends on the one before, so the figures are what the file procedures can
// reach, not what independent blocks could.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "ciphers/aes256.h"
#include "ciphers/camellia256.h"

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

std::vector<uint8_t> Buffer() {
    std::vector<uint8_t> data(kBufferSize);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 131 + 7);
    return data;
}

const uint8_t kKey[32] = {0x60, 0x3d, 0xeb, 0x10, 0x15, 0xca, 0x71, 0xbe, 0x2b, 0x73, 0xae,
                          0xf0, 0x85, 0x7d, 0x77, 0x81, 0x1f, 0x35, 0x2c, 0x07, 0x3b, 0x61,
                          0x08, 0xd7, 0x2d, 0x98, 0x10, 0xa3, 0x09, 0x14, 0xdf, 0xf4};

inline void XorBlock(uint8_t* target, const uint8_t* source) {
    for (int i = 0; i < 16; ++i) target[i] ^= source[i];
}

// CBC encryption in place: block i is XORed with ciphertext block i - 1.
template <typename EncryptFn>
void ChainEncrypt(std::vector<uint8_t>& data, EncryptFn encrypt) {
    uint8_t chain[16] = {};
    for (std::size_t i = 0; i < data.size(); i += 16) {
        uint8_t* block = data.data() + i;
        XorBlock(block, chain);
        encrypt(block);
        for (int j = 0; j < 16; ++j) chain[j] = block[j];
    }
}

// CBC decryption in place: keeps the ciphertext block before overwriting it.
template <typename DecryptFn>
void ChainDecrypt(std::vector<uint8_t>& data, DecryptFn decrypt) {
    uint8_t chain[16] = {}, next[16];
    for (std::size_t i = 0; i < data.size(); i += 16) {
        uint8_t* block = data.data() + i;
        for (int j = 0; j < 16; ++j) next[j] = block[j];
        decrypt(block);
        XorBlock(block, chain);
        for (int j = 0; j < 16; ++j) chain[j] = next[j];
    }
}

template <typename Fn>
void Run(benchmark::State& state, Fn pass) {
    std::vector<uint8_t> data = Buffer();
    for (auto _ : state) {
        pass(data);
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(data.size()));
}

void BM_Aes256CbcEncrypt(benchmark::State& state) {
    Aes256Context context;
    Aes256SetEncryptKey(&context, kKey);
    Run(state, [&](std::vector<uint8_t>& data) {
        ChainEncrypt(data, [&](uint8_t* b) { Aes256EncryptBlock(&context, b, b); });
    });
}

void BM_Aes256CbcDecrypt(benchmark::State& state) {
    Aes256Context context;
    Aes256SetDecryptKey(&context, kKey);
    Run(state, [&](std::vector<uint8_t>& data) {
        ChainDecrypt(data, [&](uint8_t* b) { Aes256DecryptBlock(&context, b, b); });
    });
}

void BM_Camellia256CbcEncrypt(benchmark::State& state) {
    Camellia256Context context;
    Camellia256SetKey(&context, kKey);
    Run(state, [&](std::vector<uint8_t>& data) {
        ChainEncrypt(data, [&](uint8_t* b) { Camellia256EncryptBlock(b, b, &context); });
    });
}

void BM_Camellia256CbcDecrypt(benchmark::State& state) {
    Camellia256Context context;
    Camellia256SetKey(&context, kKey);
    Run(state, [&](std::vector<uint8_t>& data) {
        ChainDecrypt(data, [&](uint8_t* b) { Camellia256DecryptBlock(b, b, &context); });
    });
}

}  // namespace

BENCHMARK(BM_Aes256CbcEncrypt);
BENCHMARK(BM_Aes256CbcDecrypt);
BENCHMARK(BM_Camellia256CbcEncrypt);
BENCHMARK(BM_Camellia256CbcDecrypt);
BENCHMARK_MAIN();
