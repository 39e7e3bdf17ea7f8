#pragma once
// The five digests by name, for callers that pick algorithms at run time
// (quorvane-cli): one driver call giving the digest as plain bytes, and an
// incremental digest for data that arrives in pieces without a known size
// (standard input).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <vector>

#include "hash/engines/keccak.h"
#include "hash/engines/sha1.h"
#include "hash/engines/sha256.h"
#include "hash/engines/sha512.h"
#include "hash/file_drivers.h"

/// In the hash page's order.
enum class HashAlgorithm { kMd5, kSha1, kSha256, kSha512, kKeccak };
inline constexpr HashAlgorithm kAllHashAlgorithms[] = {
    HashAlgorithm::kMd5, HashAlgorithm::kSha1, HashAlgorithm::kSha256, HashAlgorithm::kSha512,
    HashAlgorithm::kKeccak};

/// Digest size in bytes: 16, 20, 32, 64, 64.
std::size_t DigestSize(HashAlgorithm algorithm);

/// Runs the algorithm's file driver. On kHashDone `digest` holds the digest
/// bytes in standard order (MD5 included); otherwise it is left empty.
HashResult HashFileWith(HashAlgorithm algorithm, const std::filesystem::path& path,
                        std::vector<uint8_t>& digest, ProgressCallback progress, void* context,
                        std::stop_token stop = {});

/// One digest computed over bytes given in any pieces. Gives the same digest
/// as the file driver over the same bytes.
class DigestStream {
  public:
    explicit DigestStream(HashAlgorithm algorithm);
    void Update(const uint8_t* data, std::size_t size);
    /// Finishes and returns the digest bytes; call once.
    std::vector<uint8_t> Finish();

  private:
    void Md5Update(const uint8_t* data, std::size_t size);
    void Md5Finish(uint8_t digest[16]);

    HashAlgorithm algorithm_;
    // MD5 keeps no context of its own, so the stream buffers its blocks.
    uint32_t md5_state_[4] = {};
    uint8_t md5_block_[64] = {};
    uint32_t md5_count_ = 0;
    uint64_t md5_total_ = 0;
    Sha1Context sha1_ = {};
    Sha256Context sha256_ = {};
    Sha512Context sha512_ = {};
    KeccakContext keccak_ = {};
};
