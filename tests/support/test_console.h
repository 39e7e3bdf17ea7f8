#pragma once
// A program under test on a console of its own (Windows only): typed keys
// reach it through the console's input, what it shows is read back from the
// screen buffer, and control events are sent as the console sends them.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

class TestConsole {
  public:
    /// Starts `argv` on a new console without a window (so Wine needs no
    /// display) and attaches this process to it; this process ignores the
    /// console's control events meanwhile. With `ignoring_ctrl_c` the program
    /// starts ignoring Ctrl-C, as one started in the background does.
    explicit TestConsole(const std::vector<std::string>& argv, bool ignoring_ctrl_c = false);
    /// Ends the program if it still runs and leaves the console.
    ~TestConsole();
    TestConsole(const TestConsole&) = delete;
    TestConsole& operator=(const TestConsole&) = delete;

    bool ok() const { return input_ != INVALID_HANDLE_VALUE; }
    DWORD InputMode() const;
    bool EchoOn() const { return (InputMode() & ENABLE_ECHO_INPUT) != 0; }
    /// Waits for the program to switch echo to `on`; false when it never does.
    bool AwaitEcho(bool on) const;
    /// Types `text` key by key: u'\r' is Enter, u'\x03' is Ctrl-C.
    void Type(std::u16string_view text) const;
    /// Sends CTRL_C_EVENT or CTRL_BREAK_EVENT to every process on the
    /// console; false when the system cannot send it.
    bool SendControlEvent(DWORD event) const;
    /// The screen buffer as UTF-8, rows without trailing blanks, a full row
    /// joined to the next (a long line wraps).
    std::string Screen() const;
    /// Waits for the program to end and returns its exit code (-1 when it
    /// does not end within a minute).
    int Wait() const;

  private:
    PROCESS_INFORMATION process_{};
    HANDLE input_ = INVALID_HANDLE_VALUE;
    HANDLE output_ = INVALID_HANDLE_VALUE;
    HANDLE saved_std_[3] = {};
    HANDLE console_std_[3] = {};
};

}  // namespace testing_support
