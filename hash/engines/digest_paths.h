#pragma once
// Which implementation of each digest engine this process uses, chosen once
// from what the processor offers.

#include <string>

/// For example "sha1: sha-ni, sha256: sha-ni, sha512: portable, ...".
std::string DigestPathsText();
