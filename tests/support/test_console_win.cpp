#include "support/test_console.h"

#include <chrono>
#include <thread>

#include "platform/system/file_names.h"

namespace testing_support {

namespace {

constexpr DWORD kStdHandles[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

HANDLE OpenConsoleFile(const wchar_t* name) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

INPUT_RECORD KeyRecord(char16_t unit, bool down) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    key.bKeyDown = down;
    key.wRepeatCount = 1;
    key.uChar.UnicodeChar = static_cast<wchar_t>(unit);
    if (unit == u'\r') {
        key.wVirtualKeyCode = VK_RETURN;
    } else if (unit == u'\x03') {
        key.wVirtualKeyCode = 'C';
        key.dwControlKeyState = LEFT_CTRL_PRESSED;
    } else if (unit < 0x80) {
        key.wVirtualKeyCode = static_cast<WORD>(VkKeyScanW(static_cast<wchar_t>(unit)) & 0xFF);
    }
    return record;
}

}  // namespace

TestConsole::TestConsole(const std::vector<std::string>& argv, bool ignoring_ctrl_c) {
    std::wstring command_line;
    for (const std::string& argument : argv) {
        if (!command_line.empty()) command_line.push_back(L' ');
        command_line += L'"' + PathFromUtf8(argument).native() + L'"';
    }
    for (int i = 0; i < 3; ++i) saved_std_[i] = GetStdHandle(kStdHandles[i]);
    FreeConsole();
    // A program inherits whether Ctrl-C is ignored.
    SetConsoleCtrlHandler(nullptr, ignoring_ctrl_c);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const std::wstring program = PathFromUtf8(argv.at(0)).native();
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process_))
        return;
    SetConsoleCtrlHandler(nullptr, TRUE);
    // The console exists once the program has started; until then there is
    // nothing to attach to.
    bool attached = false;
    for (int i = 0; i < 500 && !(attached = AttachConsole(process_.dwProcessId)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Attaching may point the standard handles at the console: the test's
    // own output stays where it went.
    for (int i = 0; i < 3; ++i) {
        console_std_[i] = GetStdHandle(kStdHandles[i]);
        SetStdHandle(kStdHandles[i], saved_std_[i]);
    }
    if (!attached) return;
    output_ = OpenConsoleFile(L"CONOUT$");
    input_ = OpenConsoleFile(L"CONIN$");
}

TestConsole::~TestConsole() {
    if (process_.hProcess != nullptr) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    if (input_ != INVALID_HANDLE_VALUE) CloseHandle(input_);
    if (output_ != INVALID_HANDLE_VALUE) CloseHandle(output_);
    // Wine closes the standard handles that attaching opened, found where
    // they are now: they must be the console's again.
    for (int i = 0; i < 3; ++i) SetStdHandle(kStdHandles[i], console_std_[i]);
    FreeConsole();
    for (int i = 0; i < 3; ++i) SetStdHandle(kStdHandles[i], saved_std_[i]);
    SetConsoleCtrlHandler(nullptr, FALSE);
}

DWORD TestConsole::InputMode() const {
    DWORD mode = 0;
    GetConsoleMode(input_, &mode);
    return mode;
}

bool TestConsole::AwaitEcho(bool on) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        if (EchoOn() == on) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void TestConsole::Type(std::u16string_view text) const {
    for (char16_t unit : text) {
        const INPUT_RECORD keys[2] = {KeyRecord(unit, true), KeyRecord(unit, false)};
        DWORD put = 0;
        WriteConsoleInputW(input_, keys, 2, &put);
    }
}

bool TestConsole::SendControlEvent(DWORD event) const {
    return GenerateConsoleCtrlEvent(event, 0) != 0;
}

std::string TestConsole::Screen() const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(output_, &info)) return {};
    // One read of the whole buffer: each call is a round trip to the console.
    const std::size_t width = static_cast<std::size_t>(info.dwSize.X);
    std::wstring cells(width * static_cast<std::size_t>(info.dwSize.Y), L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(output_, cells.data(), static_cast<DWORD>(cells.size()),
                                COORD{0, 0}, &read);
    cells.resize(read);
    std::wstring screen;
    for (std::size_t row = 0; row < cells.size(); row += width) {
        std::wstring line = cells.substr(row, width);
        line.erase(line.find_last_not_of(L' ') + 1);
        // A full row goes on in the next one.
        screen += line.size() == width ? line : line + L'\n';
    }
    screen.erase(screen.find_last_not_of(L'\n') + 1);
    return PathToUtf8(std::filesystem::path(screen));
}

int TestConsole::Wait() const {
    if (WaitForSingleObject(process_.hProcess, 60000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
}

}  // namespace testing_support
