#include "cli/password_input.h"

#include <fcntl.h>
#include <pthread.h>
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
termios quiet_terminal;
volatile sig_atomic_t terminal_changed = 0;
volatile sig_atomic_t asking = 0;
struct sigaction restore_action;
// The signals that end or stop the program by default; echo must come back
// before any of them takes effect.
const int kInterrupts[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGPIPE,
                           SIGALRM, SIGUSR1, SIGUSR2, SIGTSTP};

// Puts echo back, then lets the signal do what it normally does, here and
// now. Only a stop (Ctrl-Z) comes back, once the shell continues the program
// (fg): echo goes off again for the rest of the password, and the next Ctrl-Z
// is caught again.
extern "C" void RestoreTerminalAndReraise(int signal_number) {
    const int saved_errno = errno;
    if (terminal_changed) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_terminal);
    terminal_changed = 0;
    ::signal(signal_number, SIG_DFL);
    raise(signal_number);
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, signal_number);
    pthread_sigmask(SIG_UNBLOCK, &just_this, nullptr);
    if (asking) {
        terminal_changed = 1;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet_terminal);
        sigaction(signal_number, &restore_action, nullptr);
    }
    errno = saved_errno;
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
    quiet_terminal = saved_terminal;
    quiet_terminal.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet_terminal.c_lflag |= ECHONL;

    restore_action = {};
    restore_action.sa_handler = RestoreTerminalAndReraise;
    sigemptyset(&restore_action.sa_mask);
    struct sigaction previous[std::size(kInterrupts)];
    bool caught[std::size(kInterrupts)] = {};
    for (std::size_t i = 0; i < std::size(kInterrupts); ++i) {
        // A signal ignored by whoever started the program stays ignored.
        caught[i] = sigaction(kInterrupts[i], nullptr, &previous[i]) == 0 &&
                    previous[i].sa_handler != SIG_IGN &&
                    sigaction(kInterrupts[i], &restore_action, nullptr) == 0;
    }

    std::fprintf(stderr, "%s", prompt);
    std::fflush(stderr);
    asking = 1;
    terminal_changed = 1;
    bool ok = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet_terminal) == 0 &&
              ReadLine(STDIN_FILENO, password);
    asking = 0;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_terminal);
    terminal_changed = 0;

    for (std::size_t i = 0; i < std::size(kInterrupts); ++i) {
        if (caught[i]) sigaction(kInterrupts[i], &previous[i], nullptr);
    }
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
