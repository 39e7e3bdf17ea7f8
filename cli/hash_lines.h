#pragma once
// The checksum line forms that quorvane-cli hash writes and hash --check
// reads, compatible with the coreutils tools: "<hex>  <name>" and the tagged
// "TAG (<name>) = <hex>". A name holding a backslash, line feed or carriage
// return is written escaped, with a backslash in front of the whole line.

#include <optional>
#include <string>
#include <string_view>

#include "hash/hash_algorithm.h"

/// The tag of the tagged form: MD5, SHA1, SHA256, SHA512, KECCAK.
const char* HashTag(HashAlgorithm algorithm);
/// The --algo name: md5, sha1, sha256, sha512, keccak.
const char* HashOptionName(HashAlgorithm algorithm);
/// The algorithm of an --algo name (any letter case).
std::optional<HashAlgorithm> HashAlgorithmByName(std::string_view name);

/// "<hex>  <name>" or, with `tagged`, "TAG (<name>) = <hex>"; no line end.
std::string FormatChecksumLine(HashAlgorithm algorithm, const std::string& hex,
                               const std::string& name, bool tagged);

/// The name as --check reports it ("<name>: OK"): escaped, with a leading
/// backslash, only when it holds a line feed.
std::string NameForReport(const std::string& name);

/// One line of a checksum list, as read back.
struct ChecksumLine {
    std::optional<HashAlgorithm> algorithm;  ///< from the tag; empty for the plain form
    std::string hex;
    std::string name;
};

/// Parses one line (without its line end) in either form. Returns nothing
/// for a line that is in neither form.
std::optional<ChecksumLine> ParseChecksumLine(std::string_view line);
