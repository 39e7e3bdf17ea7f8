#include "tools/base64.h"

#include <array>
#include <type_traits>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of every byte: the alphabet's 6-bit value, 0 for anything else.
constexpr std::array<uint8_t, 256> MakeDecodeTable() {
    std::array<uint8_t, 256> table{};
    for (uint8_t value = 0; value < 64; ++value) {
        table[static_cast<uint8_t>(kAlphabet[value])] = value;
    }
    return table;
}
constexpr std::array<uint8_t, 256> kDecodeTable = MakeDecodeTable();

constexpr std::array<bool, 256> MakeAlphabetTable() {
    std::array<bool, 256> table{};
    for (char c : std::string_view(kAlphabet)) table[static_cast<uint8_t>(c)] = true;
    return table;
}
constexpr std::array<bool, 256> kIsAlphabet = MakeAlphabetTable();

template <typename Unit>
bool IsAlphabetUnit(Unit unit) {
    const uint32_t code = static_cast<std::make_unsigned_t<Unit>>(unit);
    return code < 256 && kIsAlphabet[code];
}

bool IsSkippedSpace(uint32_t unit) {
    return unit == ' ' || unit == '\t' || unit == '\n' || unit == '\r' || unit == '\v' ||
           unit == '\f';
}

void AppendGroup(const uint8_t* in, std::size_t size, std::string& out) {
    const uint8_t b0 = in[0];
    const uint8_t b1 = size > 1 ? in[1] : 0;
    const uint8_t b2 = size > 2 ? in[2] : 0;
    const char chars[4] = {
        kAlphabet[b0 >> 2],
        kAlphabet[((b0 & 3) << 4) | (b1 >> 4)],
        size > 1 ? kAlphabet[((b1 & 15) << 2) | (b2 >> 6)] : '=',
        size > 2 ? kAlphabet[b2 & 63] : '=',
    };
    out.append(chars, 4);
}

}  // namespace

void Base64Encoder::Update(std::span<const uint8_t> bytes, std::string& out) {
    std::size_t pos = 0;
    // One or two bytes held back from the last call complete a group first.
    if (pending_size_ == 1 && pos < bytes.size()) {
        pending_[1] = bytes[pos++];
        pending_size_ = 2;
    }
    if (pending_size_ == 2 && pos < bytes.size()) {
        const uint8_t group[3] = {pending_[0], pending_[1], bytes[pos++]};
        AppendGroup(group, 3, out);
        pending_size_ = 0;
    }
    out.reserve(out.size() + (bytes.size() - pos) / 3 * 4 + 4);
    for (; bytes.size() - pos >= 3; pos += 3) AppendGroup(bytes.data() + pos, 3, out);
    while (pos < bytes.size()) pending_[pending_size_++] = bytes[pos++];
}

void Base64Encoder::Finish(std::string& out) {
    if (pending_size_ > 0) AppendGroup(pending_, pending_size_, out);
    pending_size_ = 0;
}

void Base64Decoder::Take(uint32_t unit, std::vector<uint8_t>& out) {
    if (IsSkippedSpace(unit)) return;
    const uint8_t low = static_cast<uint8_t>(unit & 0xFF);
    values_[count_] = kDecodeTable[low];
    padding_[count_] = unit == '=';
    if (++count_ < 4) return;
    count_ = 0;

    const uint8_t bytes[3] = {
        static_cast<uint8_t>((values_[0] << 2) | (values_[1] >> 4)),
        static_cast<uint8_t>(((values_[1] & 15) << 4) | (values_[2] >> 2)),
        static_cast<uint8_t>(((values_[2] & 3) << 6) | values_[3]),
    };
    // Padding stands for missing bytes: "=" at the end drops the third byte,
    // "==" the second and third.
    std::size_t size = 3;
    if (padding_[3]) size = padding_[2] ? 1 : 2;
    out.insert(out.end(), bytes, bytes + size);
}

template <typename Unit>
void Base64Decoder::Feed(const Unit* units, std::size_t size, std::vector<uint8_t>& out) {
    out.reserve(out.size() + size / 4 * 3);
    std::size_t pos = 0;
    while (pos < size) {
        // Fast path for the common case: a whole group of alphabet characters.
        const Unit* g = units + pos;
        if (count_ == 0 && size - pos >= 4 && IsAlphabetUnit(g[0]) && IsAlphabetUnit(g[1]) &&
            IsAlphabetUnit(g[2]) && IsAlphabetUnit(g[3])) {
            const uint32_t bits = kDecodeTable[static_cast<uint8_t>(g[0])] << 18 |
                                  kDecodeTable[static_cast<uint8_t>(g[1])] << 12 |
                                  kDecodeTable[static_cast<uint8_t>(g[2])] << 6 |
                                  kDecodeTable[static_cast<uint8_t>(g[3])];
            out.push_back(static_cast<uint8_t>(bits >> 16));
            out.push_back(static_cast<uint8_t>(bits >> 8));
            out.push_back(static_cast<uint8_t>(bits));
            pos += 4;
            continue;
        }
        Take(static_cast<std::make_unsigned_t<Unit>>(units[pos++]), out);
    }
}

void Base64Decoder::Update(std::string_view text, std::vector<uint8_t>& out) {
    Feed(text.data(), text.size(), out);
}

void Base64Decoder::Update(std::u16string_view text, std::vector<uint8_t>& out) {
    Feed(text.data(), text.size(), out);
}

void Base64Decoder::Finish() {
    count_ = 0;
}

std::string Base64Encode(std::span<const uint8_t> bytes) {
    std::string out;
    Base64Encoder encoder;
    encoder.Update(bytes, out);
    encoder.Finish(out);
    return out;
}

std::string Base64Encode(std::string_view bytes) {
    return Base64Encode(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::vector<uint8_t> Base64Decode(std::string_view text) {
    std::vector<uint8_t> out;
    Base64Decoder decoder;
    decoder.Update(text, out);
    decoder.Finish();
    return out;
}

std::vector<uint8_t> Base64Decode(std::u16string_view text) {
    std::vector<uint8_t> out;
    Base64Decoder decoder;
    decoder.Update(text, out);
    decoder.Finish();
    return out;
}
