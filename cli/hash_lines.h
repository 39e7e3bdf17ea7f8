#pragma once
// The checksum line forms that quorvane-cli hash writes and hash --check
// reads, compatible with the coreutils tools: "<hex>  <name>" (or
// "<hex> *<name>"), the tagged "TAG (<name>) = <hex>", and on reading also
// "<hex> <name>" and the "TAG(<name>)= <hex>" that `openssl dgst` writes. A
// name holding a backslash, line feed or carriage return is written escaped,
// with a backslash in front of the whole line; on Windows, where the
// backslash separates folders, only a line end makes a name escaped.

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

/// How a line is written.
struct LineForm {
    bool tagged = false;  ///< "TAG (<name>) = <hex>"
    bool binary = false;  ///< "<hex> *<name>" for the untagged form
    bool escape = true;   ///< false for lines ended by a NUL, which need no escaping
};

/// "<hex>  <name>" or the tagged form, as `form` says; no line end.
std::string FormatChecksumLine(HashAlgorithm algorithm, const std::string& hex,
                               const std::string& name, LineForm form);

/// The name as --check reports it ("<name>: OK"): escaped, with a leading
/// backslash, only when it holds a line feed.
std::string NameForReport(const std::string& name);

/// One line of a checksum list, as read back.
struct ChecksumLine {
    std::optional<HashAlgorithm> algorithm;  ///< from the tag; empty for the plain form
    std::string hex;
    std::string name;
};

/// Reads the lines of one list. Blanks before a line are skipped. An untagged
/// line separates digest and name by one blank and then a space or "*" (the
/// binary marker), or, in lists written that way, by a single space; the
/// list's first untagged line decides which, and a line in the other form
/// is improperly formatted (a name may then start with a space or "*").
class ChecksumListParser {
  public:
    /// One line without its line end; nothing when it is improperly
    /// formatted (a NUL anywhere in it included).
    std::optional<ChecksumLine> Parse(std::string_view line);

  private:
    enum class Separator { kUndecided, kMarked, kSingleSpace };
    std::optional<ChecksumLine> ParsePlain(std::string_view line);
    Separator separator_ = Separator::kUndecided;
};

/// Parses one line on its own, as the first line of a list.
std::optional<ChecksumLine> ParseChecksumLine(std::string_view line);
