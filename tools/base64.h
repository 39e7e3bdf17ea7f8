#pragma once
// Standard Base64 (alphabet A-Z a-z 0-9 + /, "=" padding). The decoder is
// lenient by default (white space is skipped, every other character outside
// the alphabet counts as the value 0) or strict, as scripts expect of a
// command-line decoder. Unpadded text is read in either mode: a last group
// of two or three characters holds the data's last one or two bytes. Both
// directions work in pieces, so files of any size stream.

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
/// return, vertical tab and form feed are skipped in every mode.
class Base64Decoder {
  public:
    enum class Mode {
        /// Any other character takes one position: alphabet characters give
        /// their value, all others give 0. A group of four ending in "=" gives
        /// two bytes, ending in "==" one byte, any other group three bytes.
        kLenient,
        /// Decoding stops at the first character outside the alphabet, at
        /// padding where no padding may stand, and at a last group left
        /// incomplete; what decoded before it is kept and invalid() turns true.
        kStrict,
        /// As kStrict, but characters outside the alphabet (other than "=")
        /// are skipped like white space.
        kSkipGarbage,
    };

    explicit Base64Decoder(Mode mode = Mode::kLenient) : mode_(mode) {}

    /// Appends the bytes of every group of four completed by `text`.
    void Update(std::string_view text, std::vector<uint8_t>& out);
    /// The same for UTF-16 text: each unit is looked up by its low 8 bits, so
    /// a non-ASCII unit whose low byte is an alphabet character's code decodes
    /// as that character.
    void Update(std::u16string_view text, std::vector<uint8_t>& out);
    /// Appends the bytes of an unpadded last group (two characters give one
    /// byte, three give two; a lone character gives none) and starts over.
    /// In the strict modes an unfinished group makes the input invalid.
    void Finish(std::vector<uint8_t>& out);

    /// Strict modes: the input broke the rules; nothing after the break is
    /// decoded, and this stays true for the decoder's life.
    bool invalid() const { return invalid_; }

  private:
    template <typename Unit>
    void Feed(const Unit* units, std::size_t size, std::vector<uint8_t>& out);
    void TakeLenient(uint32_t unit, std::vector<uint8_t>& out);
    void TakeStrict(uint32_t unit, std::vector<uint8_t>& out);
    void FlushPartial(std::vector<uint8_t>& out);

    Mode mode_;
    uint8_t values_[4] = {};
    bool padding_[4] = {};
    std::size_t count_ = 0;  // positions of the current group taken so far
    bool invalid_ = false;
};

/// One-shot encoding: one unbroken line, no line end.
std::string Base64Encode(std::span<const uint8_t> bytes);
std::string Base64Encode(std::string_view bytes);

/// One-shot lenient decoding as Base64Decoder does it, unpadded tail included.
std::vector<uint8_t> Base64Decode(std::string_view text);
std::vector<uint8_t> Base64Decode(std::u16string_view text);
