#include "hash/hash_algorithm.h"

#include <algorithm>
#include <cstring>

#include "hash/digest_text.h"
#include "hash/engines/md5.h"

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

HashResult HashFileWith(HashAlgorithm algorithm, const std::filesystem::path& path,
                        std::vector<uint8_t>& digest, ProgressCallback progress, void* context,
                        std::stop_token stop) {
    digest.clear();
    std::vector<uint8_t> bytes(DigestSize(algorithm));
    HashResult result = kHashCannotOpen;
    switch (algorithm) {
        case HashAlgorithm::kMd5: {
            uint32_t words[4];
            result = HashFileMd5(path, words, progress, context, stop);
            if (result == kHashDone) Md5WordsToBytes(words, bytes.data());
            break;
        }
        case HashAlgorithm::kSha1:
            result = HashFileSha1(path, bytes.data(), progress, context, stop);
            break;
        case HashAlgorithm::kSha256:
            result = HashFileSha256(path, bytes.data(), progress, context, stop);
            break;
        case HashAlgorithm::kSha512:
            result = HashFileSha512(path, bytes.data(), progress, context, stop);
            break;
        case HashAlgorithm::kKeccak:
            result = HashFileKeccak(path, bytes.data(), progress, context, stop);
            break;
    }
    if (result == kHashDone) digest = std::move(bytes);
    return result;
}

DigestStream::DigestStream(HashAlgorithm algorithm) : algorithm_(algorithm) {
    std::memcpy(md5_state_, kMd5InitialState, sizeof md5_state_);
    std::memcpy(sha1_.h, kSha1InitialValues, sizeof sha1_.h);
    std::memcpy(sha256_.h, kSha256InitialValues, sizeof sha256_.h);
    Sha512Init(sha512_);
}

void DigestStream::Update(const uint8_t* data, std::size_t size) {
    // The engines take 32-bit lengths; feed large pieces in slices.
    while (size > 0) {
        const uint32_t slice = uint32_t(std::min<std::size_t>(size, 1u << 30));
        switch (algorithm_) {
            case HashAlgorithm::kMd5:
                Md5Update(data, slice);
                break;
            case HashAlgorithm::kSha1:
                Sha1Update(sha1_, data, slice);
                break;
            case HashAlgorithm::kSha256:
                Sha256Update(sha256_, data, slice);
                break;
            case HashAlgorithm::kSha512:
                Sha512Update(sha512_, data, slice);
                break;
            case HashAlgorithm::kKeccak:
                KeccakUpdate(keccak_, data, uint64_t(slice) * 8);
                break;
        }
        data += slice;
        size -= slice;
    }
}

std::vector<uint8_t> DigestStream::Finish() {
    std::vector<uint8_t> digest(DigestSize(algorithm_));
    switch (algorithm_) {
        case HashAlgorithm::kMd5:
            Md5Finish(digest.data());
            break;
        case HashAlgorithm::kSha1:
            Sha1Final(sha1_, digest.data());
            break;
        case HashAlgorithm::kSha256:
            Sha256Final(sha256_, digest.data());
            break;
        case HashAlgorithm::kSha512:
            Sha512Final(sha512_, digest.data());
            break;
        case HashAlgorithm::kKeccak:
            KeccakFinal(keccak_, digest.data());
            break;
    }
    return digest;
}

void DigestStream::Md5Update(const uint8_t* data, std::size_t size) {
    md5_total_ += size;
    uint32_t words[16];
    while (size > 0) {
        if (md5_count_ == 0 && size >= 64) {
            Md5BlockToWords(data, words);
            Md5Transform(md5_state_, words);
            data += 64;
            size -= 64;
            continue;
        }
        const std::size_t n = std::min<std::size_t>(size, 64 - md5_count_);
        std::memcpy(md5_block_ + md5_count_, data, n);
        md5_count_ += uint32_t(n);
        data += n;
        size -= n;
        if (md5_count_ == 64) {
            Md5BlockToWords(md5_block_, words);
            Md5Transform(md5_state_, words);
            md5_count_ = 0;
        }
    }
}

void DigestStream::Md5Finish(uint8_t digest[16]) {
    const uint64_t bits = md5_total_ * 8;
    const uint8_t pad_start = 0x80;
    Md5Update(&pad_start, 1);
    const uint8_t zero[64] = {};
    Md5Update(zero, (64 + 56 - md5_count_) % 64);
    uint8_t length[8];
    for (int i = 0; i < 8; ++i) length[i] = uint8_t(bits >> (8 * i));
    Md5Update(length, sizeof length);
    Md5StateToBytes(md5_state_, digest);
}
