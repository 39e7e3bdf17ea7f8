#include "hash/engines/digest_paths.h"

std::string DigestPathsText() {
    return "md5: portable, sha1: portable, sha256: portable, sha512: portable, keccak: portable";
}
