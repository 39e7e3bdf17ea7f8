#include <cstring>

#include "platform/desktop/failure_text.h"
#include "platform/desktop/ui_text.h"
#include "platform/system/code_page.h"

std::u16string SystemErrorText(int error) {
    char buffer[256] = {};
    if (strerror_s(buffer, sizeof buffer, error) != 0 || buffer[0] == '\0')
        return WithArg(Text("错误 %1"), error);
    // The C runtime's texts are in the ANSI code page.
    return CodePageToUtf16(buffer);
}
