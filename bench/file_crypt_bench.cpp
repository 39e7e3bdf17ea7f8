// Throughput of the file procedures on a file that sits in the page cache.
//
// The file is QUORVANE_BENCH_FILE when set (bench/file_crypt_vs_openssl.sh
// points it at a 256 MiB file it also hands to openssl), otherwise a 256 MiB
// file made in the temporary folder. Outputs go beside the input.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "encrypt/file_crypt.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kDefaultSize = 256u << 20;
const uint8_t kKey[32] = {0x60, 0x3d, 0xeb, 0x10, 0x15, 0xca, 0x71, 0xbe, 0x2b, 0x73, 0xae,
                          0xf0, 0x85, 0x7d, 0x77, 0x81, 0x1f, 0x35, 0x2c, 0x07, 0x3b, 0x61,
                          0x08, 0xd7, 0x2d, 0x98, 0x10, 0xa3, 0x09, 0x14, 0xdf, 0xf4};

fs::path Input() {
    static const fs::path path = [] {
        if (const char* given = std::getenv("QUORVANE_BENCH_FILE")) return fs::path(given);
        fs::path made = fs::temp_directory_path() / "quorvane-bench-input";
        if (!fs::exists(made) || fs::file_size(made) != kDefaultSize) {
            std::vector<char> block(1 << 20);
            for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131);
            std::ofstream out(made, std::ios::binary);
            for (std::size_t i = 0; i < kDefaultSize / block.size(); ++i)
                out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
        return made;
    }();
    return path;
}

using FileProcedure = FileResult (*)(const fs::path&, const fs::path&, const uint8_t*,
                                     ProgressCallback, void*, std::stop_token,
                                     const FileCryptOptions&);

void Encrypting(benchmark::State& state, FileProcedure encrypt) {
    const fs::path input = Input();
    const fs::path output = input.string() + ".bench-box";
    for (auto _ : state) {
        if (!encrypt(input, output, kKey, nullptr, nullptr, {}, {}).done())
            state.SkipWithError("failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(input)));
    fs::remove(output);
}

void Decrypting(benchmark::State& state, FileProcedure encrypt, FileProcedure decrypt) {
    const fs::path input = Input();
    const fs::path box = input.string() + ".bench-box";
    const fs::path output = input.string() + ".bench-out";
    if (!encrypt(input, box, kKey, nullptr, nullptr, {}, {}).done())
        state.SkipWithError("setup failed");
    for (auto _ : state) {
        if (!decrypt(box, output, kKey, nullptr, nullptr, {}, {}).done())
            state.SkipWithError("failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fs::file_size(input)));
    fs::remove(box);
    fs::remove(output);
}

}  // namespace

BENCHMARK_CAPTURE(Encrypting, Aes256, EncryptFileAes256)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decrypting, Aes256, EncryptFileAes256, DecryptFileAes256)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Encrypting, Camellia256, EncryptFileCamellia256)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decrypting, Camellia256, EncryptFileCamellia256, DecryptFileCamellia256)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
