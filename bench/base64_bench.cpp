// Base64 throughput on 1 MiB of data, in both directions.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/base64.h"

namespace {

constexpr std::size_t kDataBytes = 1 << 20;

std::vector<uint8_t> SampleBytes() {
    std::vector<uint8_t> data(kDataBytes);
    uint32_t state = 12345;
    for (uint8_t& byte : data) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return data;
}

void BM_Base64Encode(benchmark::State& state) {
    const std::vector<uint8_t> data = SampleBytes();
    for (auto _ : state) {
        std::string encoded = Base64Encode(data);
        benchmark::DoNotOptimize(encoded.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDataBytes);
}
BENCHMARK(BM_Base64Encode);

// Counted in decoded bytes, so both directions compare on the same scale.
void BM_Base64Decode(benchmark::State& state) {
    const std::string encoded = Base64Encode(SampleBytes());
    for (auto _ : state) {
        std::vector<uint8_t> decoded = Base64Decode(encoded);
        benchmark::DoNotOptimize(decoded.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDataBytes);
}
BENCHMARK(BM_Base64Decode);

}  // namespace

BENCHMARK_MAIN();
