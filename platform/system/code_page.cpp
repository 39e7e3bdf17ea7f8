#include "platform/system/code_page.h"

#include <iconv.h>
#include <langinfo.h>

#include <bit>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <memory>

namespace {

constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr std::size_t kChunkBytes = 8192;

// One iconv conversion descriptor, closed with the object.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as fits; returns false with errno set when it stops
    // early (E2BIG only means the output is full).
    bool Convert(const char*& in, std::size_t& in_left, char*& out, std::size_t& out_left) {
        char* in_ptr = const_cast<char*>(in);
        std::size_t result = iconv(cd_, &in_ptr, &in_left, &out, &out_left);
        in = in_ptr;
        return result != static_cast<std::size_t>(-1);
    }

    // Writes what a stateful character set needs to return to its initial
    // shift state.
    void Flush(char*& out, std::size_t& out_left) { iconv(cd_, nullptr, nullptr, &out, &out_left); }

    // Forgets the shift state after an error.
    void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

  private:
    iconv_t cd_;
};

// Opens a converter, treating a character set the system does not know as
// UTF-8. `charset_is_target` tells on which side the named set stands.
bool OpenConverter(std::unique_ptr<Converter>& converter, std::string_view charset_name,
                   bool charset_is_target) {
    std::string charset = charset_name.empty() ? LocaleCharset() : std::string(charset_name);
    for (const std::string& name : {charset, std::string("UTF-8")}) {
        converter = charset_is_target ? std::make_unique<Converter>(name.c_str(), kNativeUtf16)
                                      : std::make_unique<Converter>(kNativeUtf16, name.c_str());
        if (converter->ok()) return true;
    }
    return false;
}

// How many bytes of UTF-16 input make up the character at `in`: a surrogate
// pair counts as one character.
std::size_t Utf16CharacterBytes(const char* in, std::size_t in_left) {
    if (in_left < 4) return in_left < 2 ? in_left : 2;
    char16_t first = 0;
    char16_t second = 0;
    std::memcpy(&first, in, 2);
    std::memcpy(&second, in + 2, 2);
    bool pair = first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
    return pair ? 4 : 2;
}

// Converts all input into `out`. When the converter stops at input it cannot
// handle, `on_bad_input` skips some of it and appends a substitute.
template <typename OnBadInput>
void ConvertAll(Converter& converter, const char* in, std::size_t in_left, std::string& out,
                OnBadInput on_bad_input) {
    char chunk[kChunkBytes];
    while (in_left > 0) {
        char* out_ptr = chunk;
        std::size_t out_left = sizeof(chunk);
        bool converted = converter.Convert(in, in_left, out_ptr, out_left);
        int error = errno;
        out.append(chunk, static_cast<std::size_t>(out_ptr - chunk));
        if (converted || error == E2BIG) continue;
        converter.Reset();
        on_bad_input(in, in_left, out);
    }
    char* out_ptr = chunk;
    std::size_t out_left = sizeof(chunk);
    converter.Flush(out_ptr, out_left);
    out.append(chunk, static_cast<std::size_t>(out_ptr - chunk));
}

}  // namespace

void UseUserLocaleCharset() {
    std::setlocale(LC_CTYPE, "");
}

std::string LocaleCharset() {
    const char* name = nl_langinfo(CODESET);
    return name != nullptr && *name != '\0' ? name : "UTF-8";
}

std::string Utf16ToCodePage(std::u16string_view text, std::string_view charset) {
    std::string out;
    std::unique_ptr<Converter> converter;
    if (text.empty() || !OpenConverter(converter, charset, true)) return out;
    ConvertAll(*converter, reinterpret_cast<const char*>(text.data()), text.size() * 2, out,
               [](const char*& in, std::size_t& in_left, std::string& bytes) {
                   std::size_t skip = Utf16CharacterBytes(in, in_left);
                   in += skip;
                   in_left -= skip;
                   bytes.push_back('?');
               });
    return out;
}

std::u16string CodePageToUtf16(std::string_view bytes, std::string_view charset) {
    std::u16string text;
    std::unique_ptr<Converter> converter;
    if (bytes.empty() || !OpenConverter(converter, charset, false)) return text;
    std::string utf16;
    const std::string replacement(reinterpret_cast<const char*>(&kReplacementCharacter), 2);
    ConvertAll(*converter, bytes.data(), bytes.size(), utf16,
               [&replacement](const char*& in, std::size_t& in_left, std::string& out) {
                   ++in;
                   --in_left;
                   out += replacement;
               });
    text.resize(utf16.size() / 2);
    std::memcpy(text.data(), utf16.data(), text.size() * 2);
    return text;
}
