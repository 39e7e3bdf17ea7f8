#pragma once
// The implementations ("paths") of each digest engine's block function: the
// portable code that runs everywhere and is the reference, and the fast paths
// for processors that offer the instructions they need. Each engine uses the
// last available path of its list, chosen once at its first use; the tests
// select each path in turn. Internal to the engines, their path report and
// their tests.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace hash_engines {

/// Compresses `blocks` consecutive 64-byte blocks of `data` into h0..h4.
using Sha1Blocks = void (*)(uint32_t h[5], const uint8_t* data, std::size_t blocks);
/// Compresses `blocks` consecutive 64-byte blocks of `data` into h0..h7.
using Sha256Blocks = void (*)(uint32_t h[8], const uint8_t* data, std::size_t blocks);
/// Compresses `blocks` consecutive 128-byte blocks of `data` into h0..h7.
using Sha512Blocks = void (*)(uint64_t h[8], const uint8_t* data, std::size_t blocks);
/// MD5's block function exactly as Md5Transform: sixteen little-endian words.
using Md5Block = void (*)(uint32_t state[4], const uint32_t words[16]);

/// Keccak-f[1600] on the 200 state bytes (lane i = bytes 8i..8i+7 little-endian).
struct KeccakFunctions {
    /// Applies the permutation once.
    void (*permute)(uint8_t state[200]);
    /// For each of `blocks` consecutive 64-byte blocks of `data`: XORs it into
    /// lanes 0..7, then applies the permutation.
    void (*absorb)(uint8_t state[200], const uint8_t* data, std::size_t blocks);
};

template <typename Function>
struct EnginePath {
    const char* name;
    bool (*available)();
    Function function;
};

using Md5Path = EnginePath<Md5Block>;
using Sha1Path = EnginePath<Sha1Blocks>;
using Sha256Path = EnginePath<Sha256Blocks>;
using Sha512Path = EnginePath<Sha512Blocks>;
using KeccakPath = EnginePath<KeccakFunctions>;

/// Every path built into this program, the portable one first and the
/// preferred one last.
std::span<const Md5Path> Md5Paths();
std::span<const Sha1Path> Sha1Paths();
std::span<const Sha256Path> Sha256Paths();
std::span<const Sha512Path> Sha512Paths();
std::span<const KeccakPath> KeccakPaths();

/// The path an engine uses: the one selected, else the last available one,
/// determined at the first call.
const Md5Path& Md5ActivePath();
const Sha1Path& Sha1ActivePath();
const Sha256Path& Sha256ActivePath();
const Sha512Path& Sha512ActivePath();
const KeccakPath& KeccakActivePath();

/// Makes the engine use `path` from now on (for the tests); null returns to
/// the automatic choice. Not for use while another thread hashes.
void SelectMd5Path(const Md5Path* path);
void SelectSha1Path(const Sha1Path* path);
void SelectSha256Path(const Sha256Path* path);
void SelectSha512Path(const Sha512Path* path);
void SelectKeccakPath(const KeccakPath* path);

/// The path choice of one engine: a pointer set on first use.
template <typename Path>
class PathChoice {
  public:
    explicit constexpr PathChoice(std::span<const Path> (*paths)()) : paths_(paths) {}

    const Path& Active() {
        const Path* path = chosen_.load(std::memory_order_acquire);
        if (path == nullptr) {
            const auto all = paths_();
            path = &all.front();
            for (const Path& candidate : all) {
                if (candidate.available()) path = &candidate;
            }
            chosen_.store(path, std::memory_order_release);
        }
        return *path;
    }
    void Select(const Path* path) { chosen_.store(path, std::memory_order_release); }

  private:
    std::span<const Path> (*paths_)();
    std::atomic<const Path*> chosen_{nullptr};
};

inline bool AlwaysAvailable() {
    return true;
}

// The portable block functions (the references).
void Md5BlockPortable(uint32_t state[4], const uint32_t words[16]);
void Sha1BlocksPortable(uint32_t h[5], const uint8_t* data, std::size_t blocks);
void Sha256BlocksPortable(uint32_t h[8], const uint8_t* data, std::size_t blocks);
void Sha512BlocksPortable(uint64_t h[8], const uint8_t* data, std::size_t blocks);
void KeccakPermutePortable(uint8_t state[200]);
void KeccakAbsorbPortable(uint8_t state[200], const uint8_t* data, std::size_t blocks);

#if defined(__x86_64__)
// The x86-64 fast paths, each in a unit of its own compiled for its
// instructions; call them only when the processor has those.
void Md5BlockBmi(uint32_t state[4], const uint32_t words[16]);
void Sha1BlocksShaNi(uint32_t h[5], const uint8_t* data, std::size_t blocks);
void Sha256BlocksShaNi(uint32_t h[8], const uint8_t* data, std::size_t blocks);
void Sha512BlocksAvx2Bmi2(uint64_t h[8], const uint8_t* data, std::size_t blocks);
void KeccakPermuteAvx512(uint8_t state[200]);
void KeccakAbsorbAvx512(uint8_t state[200], const uint8_t* data, std::size_t blocks);
#endif

}  // namespace hash_engines
