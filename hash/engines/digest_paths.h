#pragma once
// Which code path of each digest engine this process uses (engine_paths.h).

#include <string>

/// For example "sha1: sha-ni, sha256: sha-ni, sha512: portable, ...".
std::string DigestPathsText();
