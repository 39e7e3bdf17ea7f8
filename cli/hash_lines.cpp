#include "cli/hash_lines.h"

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
    return name.find_first_of("\\\n\r") != std::string::npos;
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

std::optional<HashAlgorithm> AlgorithmByTag(std::string_view tag) {
    for (const auto& names : kNames) {
        if (tag == names.tag) return names.algorithm;
    }
    return std::nullopt;
}

// "TAG (name) = hex": the name may itself hold ") = ", so the last one ends it.
std::optional<ChecksumLine> ParseTagged(std::string_view line) {
    const std::size_t open = line.find(" (");
    const std::size_t close = line.rfind(") = ");
    if (open == std::string_view::npos || close == std::string_view::npos || close < open + 2) {
        return std::nullopt;
    }
    const auto algorithm = AlgorithmByTag(line.substr(0, open));
    const std::string_view hex = line.substr(close + 4);
    if (!algorithm || !IsHex(hex)) return std::nullopt;
    return ChecksumLine{algorithm, std::string(hex),
                        std::string(line.substr(open + 2, close - open - 2))};
}

// "hex  name" or "hex *name" (and the lenient "hex name").
std::optional<ChecksumLine> ParsePlain(std::string_view line) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos || !IsHex(line.substr(0, space))) return std::nullopt;
    std::size_t name_start = space + 1;
    if (name_start < line.size() && (line[name_start] == ' ' || line[name_start] == '*')) {
        ++name_start;
    }
    if (name_start >= line.size()) return std::nullopt;
    return ChecksumLine{std::nullopt, std::string(line.substr(0, space)),
                        std::string(line.substr(name_start))};
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
                               const std::string& name, bool tagged) {
    const bool escape = NeedsEscape(name);
    const std::string shown = escape ? Escape(name) : name;
    std::string line = escape ? "\\" : "";
    if (tagged) {
        line += std::string(HashTag(algorithm)) + " (" + shown + ") = " + hex;
    } else {
        line += hex + "  " + shown;
    }
    return line;
}

std::string NameForReport(const std::string& name) {
    if (name.find('\n') == std::string::npos) return name;
    std::string shown = "\\";
    shown += Escape(name);
    return shown;
}

std::optional<ChecksumLine> ParseChecksumLine(std::string_view line) {
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
