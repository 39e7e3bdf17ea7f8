#include "tools/base64.h"

#include <algorithm>
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
    if (pending_size_ > 0) {
        // Complete the group the last call left unfinished, if this input can.
        uint8_t group[3] = {pending_[0], pending_[1], 0};
        std::size_t have = pending_size_;
        while (have < 3 && pos < bytes.size()) group[have++] = bytes[pos++];
        if (have < 3) {
            pending_[1] = group[1];
            pending_size_ = have;
            return;
        }
        AppendGroup(group, 3, out);
        pending_size_ = 0;
    }
    out.reserve(out.size() + (bytes.size() - pos) / 3 * 4 + 4);
    for (; bytes.size() - pos >= 3; pos += 3) AppendGroup(bytes.data() + pos, 3, out);
    // Zero, one or two bytes wait for the next call.
    const std::size_t rest = bytes.size() - pos;
    if (rest > 0) pending_[0] = bytes[pos];
    if (rest > 1) pending_[1] = bytes[pos + 1];
    pending_size_ = rest;
}

void Base64Encoder::Finish(std::string& out) {
    if (pending_size_ > 0) AppendGroup(pending_, pending_size_, out);
    pending_size_ = 0;
}

namespace {

// The bytes of one group's values; `size` of them (1 to 3) are appended.
void AppendBytes(const uint8_t values[4], std::size_t size, std::vector<uint8_t>& out) {
    const uint8_t bytes[3] = {
        static_cast<uint8_t>((values[0] << 2) | (values[1] >> 4)),
        static_cast<uint8_t>(((values[1] & 15) << 4) | (values[2] >> 2)),
        static_cast<uint8_t>(((values[2] & 3) << 6) | values[3]),
    };
    out.insert(out.end(), bytes, bytes + size);
}

}  // namespace

void Base64Decoder::TakeLenient(uint32_t unit, std::vector<uint8_t>& out) {
    const uint8_t low = static_cast<uint8_t>(unit & 0xFF);
    values_[count_] = kDecodeTable[low];
    padding_[count_] = unit == '=';
    if (++count_ < 4) return;
    count_ = 0;
    // Padding stands for missing bytes: "=" at the end drops the third byte,
    // "==" the second and third.
    std::size_t size = 3;
    if (padding_[3]) size = padding_[2] ? 1 : 2;
    AppendBytes(values_, size, out);
}

void Base64Decoder::TakeStrict(uint32_t unit, std::vector<uint8_t>& out) {
    const bool padded = count_ > 0 && padding_[count_ - 1];
    if (unit < 256 && kIsAlphabet[unit] && !padded) {
        values_[count_] = kDecodeTable[unit];
        padding_[count_] = false;
        if (++count_ == 4) {
            count_ = 0;
            AppendBytes(values_, 3, out);
        }
        return;
    }
    // "=" may follow two or three characters of a group; "==" ends the first
    // kind, "=" the second, and the next group starts after it.
    if (unit == '=' && count_ >= 2) {
        values_[count_] = 0;
        padding_[count_] = true;
        if (++count_ == 4) {
            count_ = 0;
            AppendBytes(values_, padding_[2] ? 1 : 2, out);
        }
        return;
    }
    if (mode_ == Mode::kSkipGarbage && unit != '=') return;
    FlushPartial(out);
    invalid_ = true;
}

void Base64Decoder::FlushPartial(std::vector<uint8_t>& out) {
    std::size_t data = 0;
    while (data < count_ && !padding_[data]) ++data;
    for (std::size_t i = data; i < 4; ++i) values_[i] = 0;
    if (data >= 2) AppendBytes(values_, data - 1, out);
    count_ = 0;
}

template <typename Unit>
void Base64Decoder::Feed(const Unit* units, std::size_t size, std::vector<uint8_t>& out) {
    out.reserve(out.size() + size / 4 * 3);
    std::size_t pos = 0;
    while (pos < size && !invalid_) {
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
        const uint32_t unit = static_cast<std::make_unsigned_t<Unit>>(units[pos++]);
        if (IsSkippedSpace(unit)) continue;
        if (mode_ == Mode::kLenient) {
            TakeLenient(unit, out);
        } else {
            TakeStrict(unit, out);
        }
    }
}

void Base64Decoder::Update(std::string_view text, std::vector<uint8_t>& out) {
    Feed(text.data(), text.size(), out);
}

void Base64Decoder::Update(std::u16string_view text, std::vector<uint8_t>& out) {
    Feed(text.data(), text.size(), out);
}

void Base64Decoder::Finish(std::vector<uint8_t>& out) {
    if (count_ == 0) return;
    if (mode_ != Mode::kLenient) invalid_ = true;
    FlushPartial(out);
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
    decoder.Finish(out);
    return out;
}

std::vector<uint8_t> Base64Decode(std::u16string_view text) {
    std::vector<uint8_t> out;
    Base64Decoder decoder;
    decoder.Update(text, out);
    decoder.Finish(out);
    return out;
}
