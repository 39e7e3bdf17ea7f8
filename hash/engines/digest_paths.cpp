#include "hash/engines/digest_paths.h"

#include "hash/engines/engine_paths.h"

std::string DigestPathsText() {
    using namespace hash_engines;
    return std::string("md5: ") + Md5Paths().Active().name +
           ", sha1: " + Sha1Paths().Active().name + ", sha256: " + Sha256Paths().Active().name +
           ", sha512: " + Sha512Paths().Active().name + ", keccak: " + KeccakPaths().Active().name;
}
