#include "cli/password_input.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iterator>

#include "platform/system/secure_wipe.h"

namespace {

// Longest line kept; anything longer is far beyond the 32 units a key can
// hold and is refused by the caller anyway.
constexpr std::size_t kMaxLine = 4096;

termios saved_terminal;
volatile sig_atomic_t terminal_changed = 0;
const int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

// Puts echo back before the signal does what it normally does.
extern "C" void RestoreTerminalAndReraise(int signal_number) {
    if (terminal_changed) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_terminal);
    terminal_changed = 0;
    ::signal(signal_number, SIG_DFL);
    raise(signal_number);
}

// Reads up to the line end from `fd` into `line` (without the line end),
// byte by byte: nothing after the line is consumed and no stdio buffer keeps
// a copy of the password.
template <typename String>
bool ReadLine(int fd, String& line) {
    line.clear();
    line.reserve(kMaxLine);
    while (line.size() < kMaxLine) {
        char c;
        ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0 || c == '\n') break;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

}  // namespace

bool StdinIsTerminal() {
    return isatty(STDIN_FILENO) == 1;
}

bool AskPasswordOnTerminal(const char* prompt, SecretString::String& password) {
    if (tcgetattr(STDIN_FILENO, &saved_terminal) != 0) return false;
    struct sigaction restore {
    }, previous[std::size(kInterrupts)];
    restore.sa_handler = RestoreTerminalAndReraise;
    sigemptyset(&restore.sa_mask);
    for (std::size_t i = 0; i < std::size(kInterrupts); ++i)
        sigaction(kInterrupts[i], &restore, &previous[i]);

    termios quiet = saved_terminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    std::fprintf(stderr, "%s", prompt);
    std::fflush(stderr);
    terminal_changed = 1;
    bool ok = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0 && ReadLine(STDIN_FILENO, password);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_terminal);
    terminal_changed = 0;

    for (std::size_t i = 0; i < std::size(kInterrupts); ++i)
        sigaction(kInterrupts[i], &previous[i], nullptr);
    if (!ok) SecureWipe(password.data(), password.size());
    return ok;
}

bool ReadPasswordFile(const std::string& path, SecretString::String& password) {
    if (path == "-") return ReadLine(STDIN_FILENO, password);
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ReadLine(fd, password);
    close(fd);
    return ok;
}

bool ReadStdinLine(std::string& line) {
    return ReadLine(STDIN_FILENO, line);
}
