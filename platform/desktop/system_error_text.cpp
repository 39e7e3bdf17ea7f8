#include <cstring>

#include "platform/desktop/failure_text.h"
#include "platform/desktop/ui_text.h"
#include "platform/system/code_page.h"

namespace {

// strerror_r is the GNU one (returning the text) or the POSIX one (returning
// a status and filling the buffer), depending on the C library's mode.
[[maybe_unused]] const char* ErrorTextOf(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* ErrorTextOf(int status, const char* buffer) {
    return status == 0 ? buffer : nullptr;
}

}  // namespace

std::u16string SystemErrorText(int error) {
    char buffer[256] = {};
    const char* text = ErrorTextOf(strerror_r(error, buffer, sizeof buffer), buffer);
    if (text == nullptr || *text == '\0') return WithArg(Text("错误 %1"), error);
    // The C library's texts are in the locale's character set.
    return CodePageToUtf16(text);
}
