// The Base64 decoder against a plain decoder written from its documented
// rules, in one piece and in two, as bytes and as UTF-16 units; and
// encoding, in one piece and in two, decodes back to the input.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tools/base64.h"

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// White space is skipped; every other unit takes a place, valued by its low
// byte's place in the alphabet (0 when absent); a group ending "=" gives two
// bytes, "==" one, anything else three; a last group of k >= 2 places before
// any padding gives k - 1 bytes.
template <typename Unit>
std::vector<uint8_t> ReferenceDecode(const Unit* units, std::size_t size) {
    std::vector<uint8_t> out;
    uint32_t values[4];
    bool padding[4];
    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const uint32_t unit = static_cast<std::make_unsigned_t<Unit>>(units[i]);
        if (unit == ' ' || unit == '\t' || unit == '\n' || unit == '\r' || unit == '\v' ||
            unit == '\f') {
            continue;
        }
        const std::size_t place = kAlphabet.find(static_cast<char>(unit & 0xFF));
        values[count] = place == std::string_view::npos ? 0 : static_cast<uint32_t>(place);
        padding[count] = unit == '=';
        if (++count < 4) continue;
        count = 0;
        const uint32_t bits = values[0] << 18 | values[1] << 12 | values[2] << 6 | values[3];
        const std::size_t bytes = padding[3] ? (padding[2] ? 1 : 2) : 3;
        for (std::size_t b = 0; b < bytes; ++b)
            out.push_back(static_cast<uint8_t>(bits >> (16 - 8 * b)));
    }
    std::size_t data = 0;
    while (data < count && !padding[data]) ++data;
    for (std::size_t i = data; i < 4; ++i) values[i] = 0;
    const uint32_t bits = values[0] << 18 | values[1] << 12 | values[2] << 6 | values[3];
    for (std::size_t b = 0; b + 1 < data; ++b)
        out.push_back(static_cast<uint8_t>(bits >> (16 - 8 * b)));
    return out;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<uint8_t> expected = ReferenceDecode(text.data(), text.size());
    Check(Base64Decode(text) == expected);
    // The same text in two pieces, split where its first byte says.
    const std::size_t split = size == 0 ? 0 : data[0] % (size + 1);
    std::vector<uint8_t> pieces;
    Base64Decoder decoder;
    decoder.Update(text.substr(0, split), pieces);
    decoder.Update(text.substr(split), pieces);
    decoder.Finish(pieces);
    Check(pieces == expected);

    // Strict decoding gives the same in any pieces, and where it finds
    // nothing to object to, what lenient decoding gives.
    std::vector<uint8_t> strict;
    Base64Decoder whole(Base64Decoder::Mode::kStrict);
    whole.Update(text, strict);
    whole.Finish(strict);
    std::vector<uint8_t> strict_pieces;
    Base64Decoder split_strict(Base64Decoder::Mode::kStrict);
    split_strict.Update(text.substr(0, split), strict_pieces);
    split_strict.Update(text.substr(split), strict_pieces);
    split_strict.Finish(strict_pieces);
    Check(strict_pieces == strict && split_strict.invalid() == whole.invalid());
    if (!whole.invalid()) Check(strict == expected);

    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    Check(Base64Decode(std::u16string_view(units)) == ReferenceDecode(units.data(), units.size()));

    const std::span<const uint8_t> bytes(data, size);
    const std::string encoded = Base64Encode(bytes);
    Check(encoded.size() == (size + 2) / 3 * 4);
    std::string encoded_in_pieces;
    Base64Encoder encoder;
    encoder.Update(bytes.first(split), encoded_in_pieces);
    encoder.Update(bytes.subspan(split), encoded_in_pieces);
    encoder.Finish(encoded_in_pieces);
    Check(encoded_in_pieces == encoded);
    Check(Base64Decode(encoded) == std::vector<uint8_t>(data, data + size));
    std::vector<uint8_t> checked;
    Base64Decoder strict_round_trip(Base64Decoder::Mode::kStrict);
    strict_round_trip.Update(encoded, checked);
    strict_round_trip.Finish(checked);
    Check(!strict_round_trip.invalid() && checked == std::vector<uint8_t>(data, data + size));
    return 0;
}
