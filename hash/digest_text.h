#pragma once
// Digest texts as the hash page and quorvane-cli print them: hexadecimal
// without separators, two digits per byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class HexCase { kUpper, kLower };

/// Each byte as "%02X" (or "%02x" with HexCase::kLower), in order.
std::string DigestHex(const uint8_t* digest, std::size_t size,
                      HexCase letter_case = HexCase::kUpper);
inline std::string DigestHex(const std::vector<uint8_t>& digest,
                             HexCase letter_case = HexCase::kUpper) {
    return DigestHex(digest.data(), digest.size(), letter_case);
}

/// The MD5 text: the four digest words of HashFileMd5, each as "%08X" (or
/// "%08x"), which is the standard digest in its usual byte order.
std::string Md5WordsHex(const uint32_t digest_words[4], HexCase letter_case = HexCase::kUpper);

/// The sixteen digest bytes in standard order from the words of HashFileMd5.
void Md5WordsToBytes(const uint32_t digest_words[4], uint8_t digest[16]);

/// Parses hexadecimal digits of either case (an even number, nothing else)
/// into bytes. Returns false, leaving `digest` empty, on anything else.
bool ParseDigestHex(std::string_view text, std::vector<uint8_t>& digest);
