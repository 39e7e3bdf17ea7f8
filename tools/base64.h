#pragma once
// Standard Base64 (alphabet A-Z a-z 0-9 + /, "=" padding) with a lenient
// decoder: white space is skipped, every other character outside the alphabet
// counts as the value 0, and an incomplete last group of characters is
// dropped. Both directions work in pieces, so files of any size stream.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// Encodes a byte stream in pieces into one unbroken line.
class Base64Encoder {
  public:
    /// Appends the characters of every complete group of three bytes to `out`;
    /// up to two bytes wait for the next call.
    void Update(std::span<const uint8_t> bytes, std::string& out);
    /// Appends the waiting bytes as a last group with its padding ("==" after
    /// one byte, "=" after two) and starts over.
    void Finish(std::string& out);

  private:
    uint8_t pending_[2] = {};
    std::size_t pending_size_ = 0;
};

/// Decodes a character stream in pieces. Space, tab, line feed, carriage
/// return, vertical tab and form feed are skipped. Any other character takes
/// one position: alphabet characters give their value, all others give 0. A
/// group of four ending in "=" gives two bytes, ending in "==" one byte, any
/// other group three bytes (zero bytes included).
class Base64Decoder {
  public:
    /// Appends the bytes of every group of four completed by `text`.
    void Update(std::string_view text, std::vector<uint8_t>& out);
    /// The same for UTF-16 text: each unit is looked up by its low 8 bits, so
    /// a non-ASCII unit whose low byte is an alphabet character's code decodes
    /// as that character.
    void Update(std::u16string_view text, std::vector<uint8_t>& out);
    /// Drops the characters of an incomplete last group and starts over.
    void Finish();

  private:
    template <typename Unit>
    void Feed(const Unit* units, std::size_t size, std::vector<uint8_t>& out);
    void Take(uint32_t unit, std::vector<uint8_t>& out);

    uint8_t values_[4] = {};
    bool padding_[4] = {};
    std::size_t count_ = 0;
};

/// One-shot encoding: one unbroken line, no line end.
std::string Base64Encode(std::span<const uint8_t> bytes);
std::string Base64Encode(std::string_view bytes);

/// One-shot lenient decoding as Base64Decoder does it.
std::vector<uint8_t> Base64Decode(std::string_view text);
std::vector<uint8_t> Base64Decode(std::u16string_view text);
