// Checksum lines: any line parses without harm, and a line written for any
// file name, in either form, binary-marked or not, reads back as the same
// name, digest and tag.
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

    LineForm form;
    form.tagged = tagged;
    form.binary = (data[0] & 0x40) != 0;
    const std::string line = FormatChecksumLine(algorithm, hex, name, form);
    if (line.find_first_of("\n\r") != std::string::npos) std::abort();
    // Blanks before a line are skipped; a NUL makes the line improperly formatted.
    const auto parsed = ParseChecksumLine((data[0] & 0x20) != 0 ? " \t" + line : line);
    if (name.find('\0') != std::string::npos) {
        if (parsed) std::abort();
        return 0;
    }
    if (!parsed || parsed->name != name || parsed->hex != hex) std::abort();
    if (tagged != parsed->algorithm.has_value()) std::abort();
    if (tagged && *parsed->algorithm != algorithm) std::abort();
    return 0;
}
