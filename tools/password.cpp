#include "tools/password.h"

#include <array>

#include "platform/system/random.h"
#include "platform/system/secure_wipe.h"

namespace {

// Only the first characters of the field count, as they always have.
constexpr std::size_t kLengthCharactersRead = 7;

bool IsFieldSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

// Hands out random bytes from a buffer refilled from the system source, so a
// rare class (7 symbols out of 256 codes) does not cost a system call per draw.
class RandomByteSource {
  public:
    ~RandomByteSource() { SecureWipeObject(buffer_); }

    bool Next(uint8_t& byte) {
        if (next_ == buffer_.size()) {
            if (!SystemRandomBytes(buffer_.data(), buffer_.size())) return false;
            next_ = 0;
        }
        byte = buffer_[next_];
        buffer_[next_++] = 0;
        return true;
    }

  private:
    std::array<uint8_t, 4096> buffer_{};
    std::size_t next_ = buffer_.size();
};

}  // namespace

PasswordCheck CheckPasswordRequest(long long length, PasswordClasses classes) {
    if (!classes.Any()) return PasswordCheck::kNoClass;
    if (length < kMinPasswordLength || length > kMaxPasswordLength) {
        return PasswordCheck::kBadLength;
    }
    return PasswordCheck::kOk;
}

std::optional<int> ParsePasswordLength(std::u16string_view field_text) {
    std::u16string_view text = field_text.substr(0, kLengthCharactersRead);
    std::size_t pos = 0;
    while (pos < text.size() && IsFieldSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    long long value = 0;
    for (; pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++pos) {
        value = value * 10 + (text[pos] - u'0');
    }
    if (negative) value = -value;
    if (value < kMinPasswordLength || value > kMaxPasswordLength) return std::nullopt;
    return static_cast<int>(value);
}

bool IsPasswordCharacter(uint8_t code, PasswordClasses classes) {
    if (classes.upper && code >= 'A' && code <= 'Z') return true;
    if (classes.lower && code >= 'a' && code <= 'z') return true;
    if (classes.digits && code >= '0' && code <= '9') return true;
    return classes.symbols && code != 0 &&
           kPasswordSymbols.find(static_cast<char>(code)) != std::string_view::npos;
}

bool GeneratePassword(int length, PasswordClasses classes, std::string& password) {
    SecureWipe(password.data(), password.size());
    password.clear();
    if (CheckPasswordRequest(length, classes) != PasswordCheck::kOk) return false;

    password.assign(static_cast<std::size_t>(length), '\0');
    RandomByteSource source;
    // Filled from the last position to the first; every position rejects
    // codes outside the ticked classes, which keeps the draw uniform.
    for (std::size_t pos = password.size(); pos-- > 0;) {
        uint8_t code = 0;
        do {
            if (!source.Next(code)) {
                SecureWipe(password.data(), password.size());
                password.clear();
                return false;
            }
        } while (!IsPasswordCharacter(code, classes));
        password[pos] = static_cast<char>(code);
    }
    return true;
}

GenerateOutcome GenerateFromFields(std::u16string_view length_text, PasswordClasses classes,
                                   std::string& password) {
    if (!classes.Any()) return GenerateOutcome::kNoClass;
    std::optional<int> length = ParsePasswordLength(length_text);
    if (!length) return GenerateOutcome::kBadLength;
    return GeneratePassword(*length, classes, password) ? GenerateOutcome::kGenerated
                                                        : GenerateOutcome::kRandomFailure;
}
