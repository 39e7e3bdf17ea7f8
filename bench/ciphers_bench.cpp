// Throughput of CBC over a 1 MiB buffer in place, for every implementation
// this processor can run (portable and each instruction path), named
// <cipher>Cbc<direction>/<path>.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ciphers/cbc_paths.h"

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

template <typename Context>
void RunCbc(benchmark::State& state, typename CbcPath<Context>::Function cbc,
            const Context* context) {
    std::vector<uint8_t> data = Buffer();
    uint8_t chain[16] = {};
    for (auto _ : state) {
        cbc(data.size() / 16, data.data(), context, chain);
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(data.size()));
}

void RegisterAes(const AesCbcPath& path) {
    const std::string suffix = std::string("/") + path.name;
    benchmark::RegisterBenchmark(("Aes256CbcEncrypt" + suffix).c_str(),
                                 [path](benchmark::State& state) {
                                     Aes256Context context;
                                     Aes256SetEncryptKey(&context, kKey);
                                     RunCbc<Aes256Context>(state, path.encrypt, &context);
                                 });
    benchmark::RegisterBenchmark(("Aes256CbcDecrypt" + suffix).c_str(),
                                 [path](benchmark::State& state) {
                                     Aes256Context context;
                                     Aes256SetDecryptKey(&context, kKey);
                                     RunCbc<Aes256Context>(state, path.decrypt, &context);
                                 });
}

void RegisterCamellia(const CamelliaCbcPath& path) {
    const std::string suffix = std::string("/") + path.name;
    for (bool encrypt : {true, false}) {
        const auto cbc = encrypt ? path.encrypt : path.decrypt;
        benchmark::RegisterBenchmark(
            (std::string(encrypt ? "Camellia256CbcEncrypt" : "Camellia256CbcDecrypt") + suffix)
                .c_str(),
            [cbc](benchmark::State& state) {
                Camellia256Context context;
                Camellia256SetKey(&context, kKey);
                RunCbc<Camellia256Context>(state, cbc, &context);
            });
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (const AesCbcPath& path : AesCbcPaths()) {
        if (path.available()) RegisterAes(path);
    }
    for (const CamelliaCbcPath& path : CamelliaCbcPaths()) {
        if (path.available()) RegisterCamellia(path);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
