#pragma once
// The five digests by name, for callers that pick algorithms at run time (the
// hash page, quorvane-cli): one driver call that gives the digest as plain
// bytes. Bytes that arrive in pieces go through Digest (hash/digest.h).

#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <vector>

#include "hash/digest.h"
#include "hash/file_drivers.h"

/// Runs the algorithm's file driver. When done, `digest` holds the digest
/// bytes in standard order (MD5 included); otherwise it is left empty.
FileResult HashFileWith(HashAlgorithm algorithm, const std::filesystem::path& path,
                        std::vector<uint8_t>& digest, ProgressCallback progress, void* context,
                        std::stop_token stop = {});
