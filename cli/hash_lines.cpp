#include "cli/hash_lines.h"

#include <algorithm>
#include <cctype>

namespace {

struct AlgorithmNames {
    HashAlgorithm algorithm;
    const char* option;
    const char* tag;
};

constexpr AlgorithmNames kNames[] = {
    {HashAlgorithm::kMd5, "md5", "MD5"},          {HashAlgorithm::kSha1, "sha1", "SHA1"},
    {HashAlgorithm::kSha256, "sha256", "SHA256"}, {HashAlgorithm::kSha512, "sha512", "SHA512"},
    {HashAlgorithm::kKeccak, "keccak", "KECCAK"},
};

const AlgorithmNames& NamesOf(HashAlgorithm algorithm) {
    for (const auto& names : kNames) {
        if (names.algorithm == algorithm) return names;
    }
    return kNames[0];
}

bool NeedsEscape(const std::string& name) {
#if defined(_WIN32)
    // A backslash separates a Windows path's folders: every absolute path
    // holds one, and its names can hold no line end.
    return name.find_first_of("\n\r") != std::string::npos;
#else
    return name.find_first_of("\\\n\r") != std::string::npos;
#endif
}

std::string Escape(const std::string& name) {
    std::string escaped;
    for (char c : name) {
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\r') {
            escaped += "\\r";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// Undoes Escape; fails on a lone backslash or an unknown escape.
std::optional<std::string> Unescape(std::string_view text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            name += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\':
                name += '\\';
                break;
            case 'n':
                name += '\n';
                break;
            case 'r':
                name += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return name;
}

bool IsHex(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// Our tags, and the names `openssl dgst` gives the same digests.
std::optional<HashAlgorithm> AlgorithmByTag(std::string_view tag) {
    for (const auto& names : kNames) {
        if (tag == names.tag) return names.algorithm;
    }
    if (tag == "SHA2-256") return HashAlgorithm::kSha256;
    if (tag == "SHA2-512") return HashAlgorithm::kSha512;
    return std::nullopt;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Steps over `c` when it stands at `pos`.
void SkipOptional(std::string_view line, std::size_t& pos, char c) {
    if (pos < line.size() && line[pos] == c) ++pos;
}

// "TAG (name) = hex", or "TAG(name)= hex" as openssl writes it: the spaces
// are optional. The name may itself hold ")", so the last one ends it.
std::optional<ChecksumLine> ParseTagged(std::string_view line) {
    const std::size_t tag_end = std::min(line.find_first_of(" ("), line.size());
    const auto algorithm = AlgorithmByTag(line.substr(0, tag_end));
    if (!algorithm) return std::nullopt;
    std::size_t pos = tag_end;
    SkipOptional(line, pos, ' ');
    if (pos >= line.size() || line[pos] != '(') return std::nullopt;
    const std::size_t name_start = pos + 1;
    const std::size_t close = line.rfind(')');
    if (close == std::string_view::npos || close < name_start) return std::nullopt;
    pos = close + 1;
    SkipOptional(line, pos, ' ');
    if (pos >= line.size() || line[pos] != '=') return std::nullopt;
    ++pos;
    SkipOptional(line, pos, ' ');
    const std::string_view hex = line.substr(pos);
    if (!IsHex(hex)) return std::nullopt;
    return ChecksumLine{algorithm, std::string(hex),
                        std::string(line.substr(name_start, close - name_start))};
}

}  // namespace

const char* HashTag(HashAlgorithm algorithm) {
    return NamesOf(algorithm).tag;
}

const char* HashOptionName(HashAlgorithm algorithm) {
    return NamesOf(algorithm).option;
}

std::optional<HashAlgorithm> HashAlgorithmByName(std::string_view name) {
    std::string lower;
    for (char c : name) lower += char(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& names : kNames) {
        if (lower == names.option) return names.algorithm;
    }
    return std::nullopt;
}

std::string FormatChecksumLine(HashAlgorithm algorithm, const std::string& hex,
                               const std::string& name, LineForm form) {
    const bool escape = form.escape && NeedsEscape(name);
    const std::string shown = escape ? Escape(name) : name;
    std::string line = escape ? "\\" : "";
    if (form.tagged) {
        line += std::string(HashTag(algorithm)) + " (" + shown + ") = " + hex;
    } else {
        line += hex + (form.binary ? " *" : "  ") + shown;
    }
    return line;
}

std::string NameForReport(const std::string& name) {
    if (name.find('\n') == std::string::npos) return name;
    std::string shown(1, '\\');
    shown += Escape(name);
    return shown;
}

// "hex  name", "hex *name" or "hex name"; the blank may be a tab.
std::optional<ChecksumLine> ChecksumListParser::ParsePlain(std::string_view line) {
    std::size_t pos = 0;
    while (pos < line.size() && !IsBlank(line[pos])) ++pos;
    if (pos == line.size() || !IsHex(line.substr(0, pos))) return std::nullopt;
    const std::string_view hex = line.substr(0, pos);
    ++pos;
    // As the coreutils tools decide it: a single character after the blank,
    // or one that is no space and no "*", means the single-space form.
    const bool single =
        line.size() - pos == 1 || (pos < line.size() && line[pos] != ' ' && line[pos] != '*');
    if (single) {
        if (separator_ == Separator::kMarked) return std::nullopt;
        separator_ = Separator::kSingleSpace;
    } else if (separator_ != Separator::kSingleSpace) {
        separator_ = Separator::kMarked;
        ++pos;
    }
    if (pos >= line.size()) return std::nullopt;
    return ChecksumLine{std::nullopt, std::string(hex), std::string(line.substr(pos))};
}

std::optional<ChecksumLine> ChecksumListParser::Parse(std::string_view line) {
    if (line.find('\0') != std::string_view::npos) return std::nullopt;
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    const bool escaped = !line.empty() && line.front() == '\\';
    if (escaped) line.remove_prefix(1);
    std::optional<ChecksumLine> parsed = ParseTagged(line);
    if (!parsed) parsed = ParsePlain(line);
    if (parsed && escaped) {
        auto name = Unescape(parsed->name);
        if (!name) return std::nullopt;
        parsed->name = *name;
    }
    return parsed;
}

std::optional<ChecksumLine> ParseChecksumLine(std::string_view line) {
    return ChecksumListParser().Parse(line);
}
