// Throughput of the digest engines over 1 MiB buffers, on every path the
// processor can run, and of the file drivers (on the paths chosen) over a 256 MiB file that the
// first pass leaves in the page cache. Set QUORVANE_BENCH_FILE to use an existing file instead of a
// temporary one.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hash/engines/engine_paths.h"
#include "hash/engines/keccak.h"
#include "hash/engines/md5.h"
#include "hash/engines/sha1.h"
#include "hash/engines/sha256.h"
#include "hash/engines/sha512.h"
#include "hash/file_drivers.h"

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::size_t kFileSize = std::size_t(256) << 20;

const std::vector<uint8_t>& Buffer() {
    static const std::vector<uint8_t> buffer = [] {
        std::vector<uint8_t> bytes(kBufferSize);
        uint32_t x = 12345;
        for (auto& b : bytes) b = uint8_t((x = x * 1103515245u + 12345u) >> 24);
        return bytes;
    }();
    return buffer;
}

void SetBytes(benchmark::State& state, std::size_t per_iteration) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(per_iteration));
}

void BM_Md5Engine(benchmark::State& state) {
    const auto& buffer = Buffer();
    uint32_t digest[4] = {kMd5InitialState[0], kMd5InitialState[1], kMd5InitialState[2],
                          kMd5InitialState[3]};
    uint32_t words[16];
    for (auto _ : state) {
        for (std::size_t offset = 0; offset < kBufferSize; offset += 64) {
            Md5BlockToWords(buffer.data() + offset, words);
            Md5Transform(digest, words);
        }
        benchmark::DoNotOptimize(digest);
    }
    SetBytes(state, kBufferSize);
}

void BM_Sha1Engine(benchmark::State& state) {
    const auto& buffer = Buffer();
    for (auto _ : state) {
        Sha1Context context{};
        std::memcpy(context.h, kSha1InitialValues, sizeof context.h);
        Sha1Update(context, buffer.data(), kBufferSize);
        uint8_t digest[20];
        Sha1Final(context, digest);
        benchmark::DoNotOptimize(digest);
    }
    SetBytes(state, kBufferSize);
}

void BM_Sha256Engine(benchmark::State& state) {
    const auto& buffer = Buffer();
    for (auto _ : state) {
        Sha256Context context{};
        std::memcpy(context.h, kSha256InitialValues, sizeof context.h);
        Sha256Update(context, buffer.data(), kBufferSize);
        uint8_t digest[32];
        Sha256Final(context, digest);
        benchmark::DoNotOptimize(digest);
    }
    SetBytes(state, kBufferSize);
}

void BM_Sha512Engine(benchmark::State& state) {
    const auto& buffer = Buffer();
    for (auto _ : state) {
        Sha512Context context;
        Sha512Init(context);
        Sha512Update(context, buffer.data(), kBufferSize);
        uint8_t digest[64];
        Sha512Final(context, digest);
        benchmark::DoNotOptimize(digest);
    }
    SetBytes(state, kBufferSize);
}

void BM_KeccakEngine(benchmark::State& state) {
    const auto& buffer = Buffer();
    for (auto _ : state) {
        KeccakContext context{};
        KeccakUpdate(context, buffer.data(), uint64_t(kBufferSize) * 8);
        uint8_t digest[64];
        KeccakFinal(context, digest);
        benchmark::DoNotOptimize(digest);
    }
    SetBytes(state, kBufferSize);
}

// One engine benchmark per path the processor can run, named
// BM_<Engine>Engine/<path>; the engine is switched to the path for the run
// and back to its automatic choice afterwards.
template <typename Function>
void RegisterPaths(const char* engine, cpu::CodePaths<Function>& paths,
                   void (*run)(benchmark::State&)) {
    for (const auto& path : paths.All()) {
        if (!path.available()) continue;
        const std::string name = std::string("BM_") + engine + "Engine/" + path.name;
        benchmark::RegisterBenchmark(name.c_str(), [&paths, &path, run](benchmark::State& state) {
            paths.Select(&path);
            run(state);
            paths.Select(nullptr);
        });
    }
}

void RegisterEnginePaths() {
    using namespace hash_engines;
    RegisterPaths("Md5", Md5Paths(), BM_Md5Engine);
    RegisterPaths("Sha1", Sha1Paths(), BM_Sha1Engine);
    RegisterPaths("Sha256", Sha256Paths(), BM_Sha256Engine);
    RegisterPaths("Sha512", Sha512Paths(), BM_Sha512Engine);
    RegisterPaths("Keccak", KeccakPaths(), BM_KeccakEngine);
}

// The file the drivers read: QUORVANE_BENCH_FILE, or a 256 MiB temporary file
// written once (which leaves it in the page cache).
const std::filesystem::path& BenchFile() {
    static const std::filesystem::path path = [] {
        if (const char* given = std::getenv("QUORVANE_BENCH_FILE"))
            return std::filesystem::path(given);
        const auto temp = std::filesystem::temp_directory_path() / "quorvane_hash_bench.bin";
        std::ofstream out(temp, std::ios::binary);
        for (std::size_t written = 0; written < kFileSize; written += kBufferSize) {
            out.write(reinterpret_cast<const char*>(Buffer().data()), kBufferSize);
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove(
                std::filesystem::temp_directory_path() / "quorvane_hash_bench.bin", ignored);
        });
        return temp;
    }();
    return path;
}

template <typename Driver>
void RunDriver(benchmark::State& state, Driver driver) {
    const auto& path = BenchFile();
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    for (auto _ : state) {
        if (!driver(path).done()) {
            state.SkipWithError("the driver failed");
            return;
        }
    }
    SetBytes(state, error ? 0 : std::size_t(size));
}

void BM_Md5File(benchmark::State& state) {
    RunDriver(state, [](const auto& path) {
        uint32_t words[4];
        return HashFileMd5(path, words, nullptr, nullptr);
    });
}
void BM_Sha1File(benchmark::State& state) {
    RunDriver(state, [](const auto& path) {
        uint8_t digest[20];
        return HashFileSha1(path, digest, nullptr, nullptr);
    });
}
void BM_Sha256File(benchmark::State& state) {
    RunDriver(state, [](const auto& path) {
        uint8_t digest[32];
        return HashFileSha256(path, digest, nullptr, nullptr);
    });
}
void BM_Sha512File(benchmark::State& state) {
    RunDriver(state, [](const auto& path) {
        uint8_t digest[64];
        return HashFileSha512(path, digest, nullptr, nullptr);
    });
}
void BM_KeccakFile(benchmark::State& state) {
    RunDriver(state, [](const auto& path) {
        uint8_t digest[64];
        return HashFileKeccak(path, digest, nullptr, nullptr);
    });
}

}  // namespace

BENCHMARK(BM_Md5File)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Sha1File)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Sha256File)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Sha512File)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_KeccakFile)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

int main(int argc, char** argv) {
    RegisterEnginePaths();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
