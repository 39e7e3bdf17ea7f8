#include "cli/program_arguments.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <cstdio>

#include "platform/system/file_names.h"

namespace {

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// UTF-8 text shows as such on the console, and the progress line's escape
// sequences move the cursor instead of appearing as text.
void PrepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(error, &mode))
        SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace

ProgramArguments::ProgramArguments(int argc, char** argv) {
    UseBinaryStandardStreams();
    PrepareConsole();
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        texts_.assign(argv, argv + argc);
    } else {
        for (int i = 0; i < count; ++i)
            texts_.push_back(PathToUtf8(std::filesystem::path(wide[i])));
        LocalFree(wide);
    }
    for (std::string& text : texts_) pointers_.push_back(text.data());
    pointers_.push_back(nullptr);
}
