#pragma once
// One digest computation behind one small interface, whatever the engine:
// the file drivers, the multi-digest reader and quorvane-cli all feed bytes
// through this, so each engine is set up, padded and finished in one place.

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

#include "hash/engines/keccak.h"
#include "hash/engines/sha1.h"
#include "hash/engines/sha256.h"
#include "hash/engines/sha512.h"

/// In the hash page's order.
enum class HashAlgorithm { kMd5, kSha1, kSha256, kSha512, kKeccak };
inline constexpr HashAlgorithm kAllHashAlgorithms[] = {
    HashAlgorithm::kMd5, HashAlgorithm::kSha1, HashAlgorithm::kSha256, HashAlgorithm::kSha512,
    HashAlgorithm::kKeccak};

/// Digest size in bytes: 16, 20, 32, 64, 64.
std::size_t DigestSize(HashAlgorithm algorithm);

/// The state MD5 needs besides its four words: the engine itself is a bare
/// block function, so the buffering and the padding live here.
struct Md5StreamContext {
    uint8_t block[64];
    uint32_t count;
    uint64_t total;
    uint32_t state[4];
};

/// One running digest. Plain data inside: copying it forks the computation.
class Digest {
  public:
    explicit Digest(HashAlgorithm algorithm);
    ~Digest();
    Digest(const Digest&) = default;
    Digest& operator=(const Digest&) = default;

    HashAlgorithm algorithm() const { return algorithm_; }

    /// Feeds `size` bytes (0 allowed), in any pieces.
    void Update(const uint8_t* data, std::size_t size);

    /// Pads, writes DigestSize(algorithm()) bytes in the standard order (MD5
    /// included) to `digest` and wipes the state. Call once.
    void Final(uint8_t* digest);
    std::vector<uint8_t> Final();

  private:
    using State =
        std::variant<Md5StreamContext, Sha1Context, Sha256Context, Sha512Context, KeccakContext>;
    HashAlgorithm algorithm_;
    State state_;
};
