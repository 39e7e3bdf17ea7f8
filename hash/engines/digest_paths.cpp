#include "hash/engines/digest_paths.h"

#include "hash/engines/engine_paths.h"

std::string DigestPathsText() {
    using namespace hash_engines;
    return std::string("md5: ") + Md5ActivePath().name + ", sha1: " + Sha1ActivePath().name +
           ", sha256: " + Sha256ActivePath().name + ", sha512: " + Sha512ActivePath().name +
           ", keccak: " + KeccakActivePath().name;
}
