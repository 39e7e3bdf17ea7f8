#include "cli/password_input.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/system/file_names.h"
#include "platform/system/secure_wipe.h"

namespace {

// Longest line kept; anything longer is far beyond the 32 units a key can
// hold and is refused by the caller anyway.
constexpr std::size_t kMaxLine = 4096;

HANDLE console_input = INVALID_HANDLE_VALUE;
DWORD saved_mode = 0;
volatile LONG mode_changed = 0;

// A console keeps its mode after the program ends: echo must come back
// before Ctrl-C, Ctrl-Break or closing the console end the program. Ctrl-C
// and Ctrl-Break end it here, with the status the system's own handler
// gives them: Wine's would end it with 0, as if the command had succeeded.
BOOL WINAPI RestoreEcho(DWORD event) {
    if (InterlockedExchange(&mode_changed, 0) != 0) SetConsoleMode(console_input, saved_mode);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) ExitProcess(STATUS_CONTROL_C_EXIT);
    return FALSE;
}

// Reads up to the line end from the CRT descriptor `fd` into `line` (without
// the line end), byte by byte: nothing after the line is consumed and no
// stdio buffer keeps a copy of the password.
template <typename String>
bool ReadLine(int fd, String& line) {
    line.clear();
    line.reserve(kMaxLine);
    while (line.size() < kMaxLine) {
        char c;
        const int got = _read(fd, &c, 1);
        if (got < 0) return false;
        if (got == 0 || c == '\n') break;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// Reads one line of UTF-16 from the console and appends it as UTF-8.
bool ReadConsoleLine(SecretString::String& password) {
    wchar_t units[kMaxLine + 2];
    DWORD got = 0;
    if (!ReadConsoleW(console_input, units, kMaxLine + 2, &got, nullptr)) return false;
    // Not even a line end: Ctrl-C cut the read short, and the handler is
    // about to end the program. An empty line would be taken as the password.
    if (got == 0) return false;
    while (got > 0 && (units[got - 1] == L'\n' || units[got - 1] == L'\r')) --got;
    bool ok = true;
    if (got > 0) {
        const int size = static_cast<int>(got);
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, units, size, nullptr, 0, nullptr, nullptr);
        password.assign(static_cast<std::size_t>(bytes), '\0');
        ok = WideCharToMultiByte(CP_UTF8, 0, units, size, password.data(), bytes, nullptr,
                                 nullptr) == bytes;
    }
    SecureWipe(units, sizeof units);
    return ok;
}

}  // namespace

bool StdinIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool AskPasswordOnTerminal(const char* prompt, SecretString::String& password) {
    console_input = GetStdHandle(STD_INPUT_HANDLE);
    if (!GetConsoleMode(console_input, &saved_mode)) return false;
    const DWORD quiet =
        (saved_mode & ~DWORD(ENABLE_ECHO_INPUT)) | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT;
    std::fprintf(stderr, "%s", prompt);
    std::fflush(stderr);
    SetConsoleCtrlHandler(RestoreEcho, TRUE);
    InterlockedExchange(&mode_changed, 1);
    bool ok = SetConsoleMode(console_input, quiet) && ReadConsoleLine(password);
    if (InterlockedExchange(&mode_changed, 0) != 0) SetConsoleMode(console_input, saved_mode);
    SetConsoleCtrlHandler(RestoreEcho, FALSE);
    // The Enter key was not echoed.
    std::fprintf(stderr, "\n");
    if (!ok) SecureWipe(password.data(), password.size());
    return ok;
}

bool ReadPasswordFile(const std::string& path, SecretString::String& password) {
    if (path == "-") return ReadLine(_fileno(stdin), password);
    const int fd = _wopen(PathFromUtf8(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) return false;
    const bool ok = ReadLine(fd, password);
    _close(fd);
    return ok;
}

bool ReadStdinLine(std::string& line) {
    return ReadLine(_fileno(stdin), line);
}
