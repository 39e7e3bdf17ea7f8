// quorvane-cli guarding the user: passwords that are empty in disguise, the
// password prompt (without echo, across Ctrl-Z and fg on a terminal, on a
// Windows console also across Ctrl-C), and destinations the user may not
// write.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include "platform/system/file_names.h"
#include "support/test_console.h"
#else
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "encrypt/file_crypt.h"
#include "encrypt/key_bytes.h"
#include "support/test_files.h"

namespace fs = std::filesystem;
using testing_support::PatternBytes;
using testing_support::ReadFile;
using testing_support::RunProgram;
using testing_support::RunResult;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(PasswordCliTest, PasswordsThatGiveTheEmptyKeyAreRefused) {
    TempDir dir;
    WriteFile(dir / "f", Bytes("data"));
    const std::string f = (dir / "f").string();
    // A NUL alone, "ab" followed by a NUL, U+4E00 and U+0100: all give the
    // key of an empty password or of a shorter one.
    for (const std::string& password :
         {std::string("\0", 1), std::string("ab\0", 3), std::string("\xe4\xb8\x80"),
          std::string("\xc4\x80\xc4\x80")}) {
        const RunResult run =
            RunProgram({QUORVANE_CLI_PATH, "encrypt", "--password-file", "-", f}, password + "\n");
        EXPECT_EQ(run.exit_code, 2) << run.err;
        EXPECT_NE(run.err.find("password"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(dir / "f.aes256"));
    // Characters above U+00FF are accepted with one warning; others without.
    RunResult run = RunProgram({QUORVANE_CLI_PATH, "encrypt", "--password-file", "-", f},
                               "a\xc4\x80\xe4\xb8\x80\n");
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(Count(run.err, "warning"), 1u) << run.err;
    run = RunProgram({QUORVANE_CLI_PATH, "decrypt", "--password-file", "-", f + ".aes256"},
                     "\xc3\xa4\xc3\x9f\n");
    EXPECT_EQ(Count(run.err, "warning"), 0u) << run.err;
}

#if defined(_WIN32)
using testing_support::TestConsole;

TEST(PasswordCliTest, EchoStaysOffAfterCtrlZAndFg) {
    GTEST_SKIP() << "job control (Ctrl-Z, fg) is POSIX only";
}

std::string Utf8(std::u16string_view text) {
    return PathToUtf8(fs::path(std::wstring(text.begin(), text.end())));
}

// Waits until the console shows `text` (rows lose their trailing blanks);
// false when it never does.
bool AwaitScreen(const TestConsole& console, const std::string& text) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        if (console.Screen().find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

struct TypedPassword {
    const char* name;
    std::u16string text;
    bool warned;  // holds characters above U+00FF
};

class ConsolePasswordCliTest : public testing::TestWithParam<TypedPassword> {};

// Typed twice on the console for encryption: used as typed, never shown,
// and the console's mode is what it was once the program ends. Characters
// beyond Latin-1 give the key bytes they give on Linux (the low byte of each
// UTF-16 unit) and the warning.
TEST_P(ConsolePasswordCliTest, TypedPasswordIsUsedAndNotShown) {
    const TypedPassword& password = GetParam();
    TempDir dir;
    const auto plain = PatternBytes(1000);
    WriteFile(dir / "plain", plain);
    TestConsole console({QUORVANE_CLI_PATH, "encrypt", (dir / "plain").string()});
    ASSERT_TRUE(console.ok());
    ASSERT_TRUE(console.AwaitEcho(false));
    const DWORD quiet = console.InputMode();
    console.Type(password.text + u"\r");
    ASSERT_TRUE(AwaitScreen(console, "Password again:")) << console.Screen();
    ASSERT_TRUE(console.AwaitEcho(false));
    console.Type(password.text + u"\r");
    EXPECT_EQ(console.Wait(), 0) << console.Screen();
    EXPECT_EQ(console.InputMode(), quiet | ENABLE_ECHO_INPUT);
    const std::string screen = console.Screen();
    EXPECT_EQ(screen.find(Utf8(password.text)), std::string::npos) << screen;
    EXPECT_EQ(Count(screen, "warning"), password.warned ? 1u : 0u) << screen;

    uint8_t key[32];
    KeyBytesFromPassword(password.text, key);
    ASSERT_TRUE(
        DecryptFileAes256(dir / "plain.aes256", dir / "back", key, nullptr, nullptr).done());
    EXPECT_EQ(ReadFile(dir / "back"), plain);
}

INSTANTIATE_TEST_SUITE_P(
    Passwords, ConsolePasswordCliTest,
    testing::Values(TypedPassword{"Ascii", u"hidden-words", false},
                    TypedPassword{"Latin1", u"Gr\u00fc\u00dfe", false},
                    TypedPassword{"Chinese", u"\u5bc6\u7801 mima \u53e3\u4ee4", true},
                    TypedPassword{"BeyondTheBmp", u"key\U0001f511", true}),
    [](const testing::TestParamInfo<TypedPassword>& test) { return test.param.name; });

// How Ctrl-C (or Ctrl-Break) reaches the program at the prompt.
enum class Interrupt { kTypedCtrlC, kCtrlCEvent, kCtrlBreakEvent };
const char* const kInterruptNames[] = {"TypedCtrlC", "CtrlCEvent", "CtrlBreakEvent"};

class ConsoleInterruptCliTest : public testing::TestWithParam<Interrupt> {};

// Ends the program as it ends any console program (STATUS_CONTROL_C_EXIT),
// with echo back on, nothing shown and nothing written.
TEST_P(ConsoleInterruptCliTest, InterruptAtThePromptRestoresEcho) {
    TempDir dir;
    uint8_t key[32];
    KeyBytesFromPassword(u"hidden-words", key);
    WriteFile(dir / "plain", PatternBytes(1000));
    ASSERT_TRUE(EncryptFileAes256(dir / "plain", dir / "f.aes256", key, nullptr, nullptr).done());
    fs::remove(dir / "plain");

    TestConsole console({QUORVANE_CLI_PATH, "decrypt", (dir / "f.aes256").string()});
    ASSERT_TRUE(console.ok());
    ASSERT_TRUE(console.AwaitEcho(false));
    const DWORD quiet = console.InputMode();
    console.Type(u"hidden");
    switch (GetParam()) {
        case Interrupt::kTypedCtrlC:
            console.Type(u"\x03");
            break;
        case Interrupt::kCtrlCEvent:
            ASSERT_TRUE(console.SendControlEvent(CTRL_C_EVENT));
            break;
        case Interrupt::kCtrlBreakEvent:
            if (!console.SendControlEvent(CTRL_BREAK_EVENT) && testing_support::RunningUnderWine())
                GTEST_SKIP() << "Wine's console passes on Ctrl-C only, not Ctrl-Break";
            break;
    }
    EXPECT_EQ(static_cast<DWORD>(console.Wait()), static_cast<DWORD>(STATUS_CONTROL_C_EXIT))
        << console.Screen();
    EXPECT_EQ(console.InputMode(), quiet | ENABLE_ECHO_INPUT);
    EXPECT_EQ(console.Screen().find("hidden"), std::string::npos) << console.Screen();
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path()))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, std::set<std::string>{"f.aes256"});
}

INSTANTIATE_TEST_SUITE_P(Ways, ConsoleInterruptCliTest,
                         testing::Values(Interrupt::kTypedCtrlC, Interrupt::kCtrlCEvent,
                                         Interrupt::kCtrlBreakEvent),
                         [](const testing::TestParamInfo<Interrupt>& test) {
                             return kInterruptNames[static_cast<int>(test.param)];
                         });
#else
// A pseudo-terminal whose far end is the program's standard input, output
// and error.
class Terminal {
  public:
    Terminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    ~Terminal() {
        if (slave_ >= 0) close(slave_);
        if (master_ >= 0) close(master_);
    }
    bool ok() const { return slave_ >= 0; }

    // Starts `argv` in a process group of its own on the terminal.
    pid_t Start(const std::vector<std::string>& argv) const {
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            setpgid(0, 0);
            for (int fd = 0; fd < 3; ++fd) dup2(slave_, fd);
            execv(args[0], args.data());
            _exit(127);
        }
        return pid;
    }

    bool EchoOn() const {
        termios settings{};
        tcgetattr(slave_, &settings);
        return (settings.c_lflag & ECHO) != 0;
    }

    // Waits for the program to switch echo to `on` (it works on its own
    // schedule); false when it never does.
    bool AwaitEcho(bool on) const {
        for (int i = 0; i < 2000; ++i) {
            if (EchoOn() == on) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    void Type(const std::string& text) const {
        EXPECT_EQ(write(master_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    std::string ReadAll() const {
        std::string all;
        char buffer[4096];
        ssize_t got;
        const int flags = fcntl(master_, F_GETFL);
        fcntl(master_, F_SETFL, flags | O_NONBLOCK);
        while ((got = read(master_, buffer, sizeof buffer)) > 0) all.append(buffer, got);
        return all;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
};

TEST(PasswordCliTest, EchoStaysOffAfterCtrlZAndFg) {
    Terminal terminal;
    if (!terminal.ok()) GTEST_SKIP() << "no pseudo-terminal";
    TempDir dir;
    uint8_t key[32];
    KeyBytesFromPassword(u"hidden-words", key);
    const auto plain = PatternBytes(1000);
    WriteFile(dir / "plain", plain);
    ASSERT_TRUE(EncryptFileAes256(dir / "plain", dir / "f.aes256", key, nullptr, nullptr).done());

    const pid_t pid = terminal.Start({QUORVANE_CLI_PATH, "decrypt", (dir / "f.aes256").string()});
    ASSERT_TRUE(terminal.AwaitEcho(false));
    // Ctrl-Z: stopped, with echo back on for the shell.
    kill(pid, SIGTSTP);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, WUNTRACED), pid);
    EXPECT_TRUE(WIFSTOPPED(status));
    EXPECT_TRUE(terminal.EchoOn());
    // fg: echo goes off again before the password is typed.
    kill(pid, SIGCONT);
    EXPECT_TRUE(terminal.AwaitEcho(false));
    terminal.Type("hidden-words\n");
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFile(dir / "f"), plain);
    EXPECT_TRUE(terminal.EchoOn());
    EXPECT_EQ(terminal.ReadAll().find("hidden"), std::string::npos);
}

#endif

// Root may write anything; the refusal is checked as an ordinary user. On
// Windows the read-only attribute binds every user.
std::vector<std::string> AsOrdinaryUser() {
#if defined(_WIN32)
    return {};
#else
    if (geteuid() != 0) return {};
    for (const char* runuser : {"/usr/sbin/runuser", "/sbin/runuser"}) {
        if (access(runuser, X_OK) == 0 && getpwnam("nobody") != nullptr) {
            return {runuser, "-u", "nobody", "--"};
        }
    }
    return {"none"};
#endif
}

TEST(ProtectedDestinationCliTest, AWriteProtectedDestinationIsNotReplaced) {
    std::vector<std::string> prefix = AsOrdinaryUser();
    if (!prefix.empty() && prefix[0] == "none") GTEST_SKIP() << "no runuser or no user nobody";
    auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), QUORVANE_CLI_PATH);
        args.insert(args.begin(), prefix.begin(), prefix.end());
        return RunProgram(args);
    };
    if (cli({"--version"}).exit_code != 0) GTEST_SKIP() << "the program is out of nobody's reach";

    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    const std::vector<uint8_t> old = Bytes("old");
    WriteFile(dir / "pw", Bytes("pw\n"));
    WriteFile(dir / "f", Bytes("text"));
    WriteFile(dir / "f.aes256", old);
    WriteFile(dir / "g", old);
    for (const char* name : {"pw", "f"}) fs::permissions(dir / name, fs::perms::all);
    for (const char* name : {"f.aes256", "g"}) {
        fs::permissions(dir / name,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    uint8_t key[32];
    KeyBytesFromPassword(u"pw", key);
    ASSERT_TRUE(EncryptFileAes256(dir / "f", dir / "g.aes256", key, nullptr, nullptr).done());
    fs::permissions(dir / "g.aes256", fs::perms::all);

    const std::string pw = (dir / "pw").string();
    RunResult run = cli({"encrypt", "--force", "--password-file", pw, (dir / "f").string()});
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_EQ(ReadFile(dir / "f.aes256"), old);
    run = cli({"decrypt", "--force", "--password-file", pw, (dir / "g.aes256").string()});
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_EQ(ReadFile(dir / "g"), old);
    // A writable destination is replaced as before.
    fs::permissions(dir / "g", fs::perms::all);
    run = cli({"decrypt", "--force", "--password-file", pw, (dir / "g.aes256").string()});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadFile(dir / "g"), Bytes("text"));
    // Windows removes no read-only file with its folder.
    fs::permissions(dir / "f.aes256", fs::perms::all);
}

}  // namespace
