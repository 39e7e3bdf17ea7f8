// Checksum lines: any line parses without harm, and a line written for any
// file name, in either form, reads back as the same name, digest and tag.
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

#include "cli/hash_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)ParseChecksumLine(text);
    if (size < 1) return 0;

    const HashAlgorithm algorithm = kAllHashAlgorithms[data[0] % std::size(kAllHashAlgorithms)];
    const bool tagged = (data[0] & 0x80) != 0;
    const std::string name(text.substr(1));
    if (name.empty()) return 0;  // a path is never empty
    static const char kDigits[] = "0123456789abcdefABCDEF";
    std::string hex(2 * DigestSize(algorithm), '0');
    for (std::size_t i = 0; i < hex.size(); ++i) hex[i] = kDigits[(data[0] + 7 * i + size) % 22];

    const std::string line = FormatChecksumLine(algorithm, hex, name, tagged);
    if (line.find_first_of("\n\r") != std::string::npos) std::abort();
    const auto parsed = ParseChecksumLine(line);
    if (!parsed || parsed->name != name || parsed->hex != hex) std::abort();
    if (tagged != parsed->algorithm.has_value()) std::abort();
    if (tagged && *parsed->algorithm != algorithm) std::abort();
    return 0;
}
