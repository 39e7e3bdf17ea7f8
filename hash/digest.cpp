#include "hash/digest.h"

#include <algorithm>
#include <cstring>

#include "hash/engines/block_buffer.h"
#include "hash/engines/md5.h"
#include "platform/system/secure_wipe.h"

namespace {

// Compresses `count` consecutive 64-byte blocks.
struct Md5Compress {
    Md5StreamContext& context;
    void operator()(const uint8_t* blocks, std::size_t count) const {
        uint32_t words[16];
        for (std::size_t i = 0; i < count; ++i) {
            Md5BlockToWords(blocks + 64 * i, words);
            Md5Transform(context.state, words);
        }
    }
};

// MD5 pads as SHA-1 does but stores the bit length little-endian.
void Md5Finish(Md5StreamContext& context, uint8_t digest[16]) {
    const uint64_t bits = context.total * 8;
    uint8_t tail[72] = {0x80};
    const std::size_t zeros = (64 + 55 - context.count) % 64;
    for (int i = 0; i < 8; ++i) tail[1 + zeros + i] = uint8_t(bits >> (8 * i));
    hash_engines::BufferedUpdate<64>(context, tail, 1 + zeros + 8, Md5Compress{context});
    Md5StateToBytes(context.state, digest);
}

Md5StreamContext NewMd5() {
    Md5StreamContext context{};
    std::memcpy(context.state, kMd5InitialState, sizeof context.state);
    return context;
}

Sha1Context NewSha1() {
    Sha1Context context{};
    std::memcpy(context.h, kSha1InitialValues, sizeof context.h);
    return context;
}

Sha256Context NewSha256() {
    Sha256Context context{};
    std::memcpy(context.h, kSha256InitialValues, sizeof context.h);
    return context;
}

Sha512Context NewSha512() {
    Sha512Context context{};
    Sha512Init(context);
    return context;
}

// The engines' update functions in one overload set for std::visit.
struct Feed {
    const uint8_t* data;
    std::size_t size;
    void operator()(Md5StreamContext& c) const {
        hash_engines::BufferedUpdate<64>(c, data, size, Md5Compress{c});
    }
    void operator()(Sha1Context& c) const { Sha1Update(c, data, size); }
    void operator()(Sha256Context& c) const { Sha256Update(c, data, size); }
    void operator()(Sha512Context& c) const { Sha512Update(c, data, size); }
    void operator()(KeccakContext& c) const { KeccakUpdate(c, data, uint64_t(size) * 8); }
};

struct Finish {
    uint8_t* digest;
    void operator()(Md5StreamContext& c) const { Md5Finish(c, digest); }
    void operator()(Sha1Context& c) const { Sha1Final(c, digest); }
    void operator()(Sha256Context& c) const { Sha256Final(c, digest); }
    void operator()(Sha512Context& c) const { Sha512Final(c, digest); }
    void operator()(KeccakContext& c) const { KeccakFinal(c, digest); }
};

}  // namespace

std::size_t DigestSize(HashAlgorithm algorithm) {
    switch (algorithm) {
        case HashAlgorithm::kMd5:
            return 16;
        case HashAlgorithm::kSha1:
            return 20;
        case HashAlgorithm::kSha256:
            return 32;
        case HashAlgorithm::kSha512:
        case HashAlgorithm::kKeccak:
            return 64;
    }
    return 0;
}

Digest::Digest(HashAlgorithm algorithm) : algorithm_(algorithm) {
    switch (algorithm) {
        case HashAlgorithm::kMd5:
            state_ = NewMd5();
            break;
        case HashAlgorithm::kSha1:
            state_ = NewSha1();
            break;
        case HashAlgorithm::kSha256:
            state_ = NewSha256();
            break;
        case HashAlgorithm::kSha512:
            state_ = NewSha512();
            break;
        case HashAlgorithm::kKeccak:
            state_ = KeccakContext{};
            break;
    }
}

Digest::~Digest() {
    std::visit([](auto& context) { SecureWipeObject(context); }, state_);
}

void Digest::Update(const uint8_t* data, std::size_t size) {
    std::visit(Feed{data, size}, state_);
}

void Digest::Final(uint8_t* digest) {
    std::visit(Finish{digest}, state_);
    std::visit([](auto& context) { SecureWipeObject(context); }, state_);
}

std::vector<uint8_t> Digest::Final() {
    std::vector<uint8_t> digest(DigestSize(algorithm_));
    Final(digest.data());
    return digest;
}
