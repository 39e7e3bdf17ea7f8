// quorvane-cli under failing disks and signals: with faults that make reads,
// writes, syncs, closes, renames, links or the creation of the temporary
// file fail (on Linux a preloaded library, fault_shim.cpp; on Windows the
// file service's own test seam, platform/system/injected_faults.h, reading
// the same settings), and with signals sent while a run is halfway. Whatever
// fails, the exit status is 1, the source is intact, an existing destination
// keeps its content and no temporary file is left.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include "support/test_console.h"
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdlib>
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
using testing_support::RunOptions;
using testing_support::RunProgram;
using testing_support::RunResult;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// Skips the current test on Windows, saying why it cannot run there.
#if defined(_WIN32)
#define SKIP_ON_WINDOWS(reason) GTEST_SKIP() << reason
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif

constexpr std::size_t kMiB = 1 << 20;
const std::vector<uint8_t> kOld = {'o', 'l', 'd'};

enum class Command { kEncrypt, kDecrypt, kWipe, kHash };

const char* NameOf(Command command) {
    switch (command) {
        case Command::kEncrypt:
            return "encrypt";
        case Command::kDecrypt:
            return "decrypt";
        case Command::kWipe:
            return "wipe";
        case Command::kHash:
            return "hash";
    }
    return "";
}

std::vector<uint8_t> Key() {
    std::vector<uint8_t> key(32);
    KeyBytesFromPassword(u"pw", key.data());
    return key;
}

// A folder with a source for each command and an existing destination for
// encryption (plain.aes256) and decryption (box).
class CliFiles {
  public:
    // Large enough by default that a stop requested after the first MiB is
    // seen before the last one.
    explicit CliFiles(std::size_t size = 4 * kMiB + 5) : plain_(PatternBytes(size, 3)) {
        WriteFile(dir_ / "plain", plain_);
        EXPECT_TRUE(
            EncryptFileAes256(dir_ / "plain", dir_ / "box.aes256", Key().data(), nullptr, nullptr)
                .done());
        box_ = ReadFile(dir_ / "box.aes256");
        WriteFile(dir_ / "plain.aes256", kOld);
        WriteFile(dir_ / "box", kOld);
    }

    RunResult Run(Command command, RunOptions options) const {
        std::vector<std::string> args = {QUORVANE_CLI_PATH, NameOf(command)};
        if (command == Command::kEncrypt || command == Command::kDecrypt) {
            args.insert(args.end(), {"--force", "--password-file", "-"});
            options.input = "pw\n";
        }
        if (command == Command::kWipe) args.push_back("--yes");
        args.push_back((dir_ / (command == Command::kDecrypt ? "box.aes256" : "plain")).string());
        return RunProgram(args, options);
    }

    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_.path()))
            names.insert(e.path().filename().string());
        return names;
    }

    // Everything as it was before the run.
    void ExpectUntouched() const {
        EXPECT_EQ(Names(), (std::set<std::string>{"plain", "plain.aes256", "box.aes256", "box"}));
        EXPECT_TRUE(ReadFile(dir_ / "plain") == plain_);
        EXPECT_TRUE(ReadFile(dir_ / "box.aes256") == box_);
        EXPECT_EQ(ReadFile(dir_ / "plain.aes256"), kOld);
        EXPECT_EQ(ReadFile(dir_ / "box"), kOld);
    }

    // The command's work is done and correct.
    void ExpectDone(Command command) const {
        if (command == Command::kEncrypt) {
            ASSERT_TRUE(DecryptFileAes256(dir_ / "plain.aes256", dir_ / "check", Key().data(),
                                          nullptr, nullptr)
                            .done());
            EXPECT_TRUE(ReadFile(dir_ / "check") == plain_);
            fs::remove(dir_ / "check");
        }
        if (command == Command::kDecrypt) {
            EXPECT_TRUE(ReadFile(dir_ / "box") == plain_);
        }
        std::set<std::string> names = {"plain", "plain.aes256", "box.aes256", "box"};
        if (command == Command::kWipe) names.erase("plain");
        EXPECT_EQ(Names(), names);
    }

    const TempDir& dir() const { return dir_; }

  private:
    TempDir dir_;
    std::vector<uint8_t> plain_;
    std::vector<uint8_t> box_;
};

std::vector<std::string> ShimEnvironment(const fs::path& folder, const std::string& op,
                                         std::size_t after = 0, int error = EIO) {
    // The sanitizers want their runtime loaded first; the shim comes before.
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {"LD_PRELOAD=" QUORVANE_FAULT_SHIM_PATH,
            "QUORVANE_FAULT_PATH=" + folder.string(),
            "QUORVANE_FAULT_OP=" + op,
            "QUORVANE_FAULT_AFTER=" + std::to_string(after),
            "QUORVANE_FAULT_ERRNO=" + std::to_string(error),
            std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0"};
}

struct Fault {
    const char* name;
    const char* op;
    std::size_t after;
    int error;
    bool harmless;               // the run must succeed all the same
    bool unnamed_files = false;  // concerns files without a name (Linux only)
    bool replace_file = false;   // concerns ReplaceFileW (Windows only)
};

const Fault kReadError{"ReadError", "read", kMiB + 100, EIO, false};
const Fault kFullDisk{"FullDisk", "write", 2 * kMiB + 100, ENOSPC, false};
const Fault kWriteError{"WriteError", "write", 0, EIO, false};
const Fault kFailedSync{"FailedSync", "fsync", 0, EIO, false};
const Fault kFailedClose{"FailedClose", "close", 0, EIO, false};
const Fault kFailedRename{"FailedRename", "rename", 0, EIO, false};
const Fault kFailedCreate{"FailedCreate", "create", 0, EIO, false};
const Fault kFailedLink{"FailedLink", "link", 0, EIO, false, true};
const Fault kFullDiskWithoutUnnamedFiles{
    "FullDiskWithoutUnnamedFiles", "tmpfile,write", 2 * kMiB + 100, ENOSPC, false, true};
const Fault kShortWrites{"ShortWrites", "short", 0, 0, true};
// Windows: ReplaceFileW cannot replace the destination; a rename does.
const Fault kFailedReplace{"FailedReplace", "replace", 0, EIO, true, false, true};
const Fault kNoUnnamedFiles{"NoUnnamedFiles", "tmpfile", 0, 0, true, true};

struct FaultCase {
    Command command;
    Fault fault;
};

class FaultCliTest : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultCliTest, NothingIsLost) {
    const FaultCase& c = GetParam();
    if (c.fault.unnamed_files) SKIP_ON_WINDOWS("Windows has no files without a name (O_TMPFILE)");
#if !defined(_WIN32)
    if (c.fault.replace_file) GTEST_SKIP() << "ReplaceFileW is Windows' own";
#endif
    CliFiles files(3 * kMiB + 5);
    RunOptions options;
    options.environment =
        ShimEnvironment(files.dir().path(), c.fault.op, c.fault.after, c.fault.error);
    const RunResult run = files.Run(c.command, options);
    if (c.fault.harmless) {
        EXPECT_EQ(run.exit_code, 0) << run.err;
        files.ExpectDone(c.command);
        return;
    }
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_NE(run.err.find("failed"), std::string::npos) << run.err;
    if (c.fault.error == ENOSPC) {
        EXPECT_NE(run.err.find("no space left on the device"), std::string::npos) << run.err;
    }
    if (c.command == Command::kWipe) {
        // A wipe that fails leaves the file in place, whatever it holds now.
        EXPECT_TRUE(fs::exists(files.dir() / "plain"));
        EXPECT_EQ(files.Names().size(), 4u);
    } else {
        files.ExpectUntouched();
    }
}

std::vector<FaultCase> AllFaultCases() {
    std::vector<FaultCase> cases;
    for (Command command : {Command::kEncrypt, Command::kDecrypt}) {
        for (const Fault& fault :
             {kReadError, kFullDisk, kWriteError, kFailedSync, kFailedClose, kFailedRename,
              kFailedCreate, kFailedLink, kFullDiskWithoutUnnamedFiles, kShortWrites,
              kNoUnnamedFiles, kFailedReplace})
            cases.push_back({command, fault});
    }
    for (const Fault& fault : {kFullDisk, kWriteError, kFailedSync, kShortWrites})
        cases.push_back({Command::kWipe, fault});
    cases.push_back({Command::kHash, kReadError});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(CommandsAndFaults, FaultCliTest, testing::ValuesIn(AllFaultCases()),
                         [](const testing::TestParamInfo<FaultCase>& test) {
                             return std::string(NameOf(test.param.command)) + "_" +
                                    test.param.fault.name;
                         });

#if defined(_WIN32)
TEST(SignalCliTest, StopsCleanlyUnlessIgnored) {
    GTEST_SKIP() << "POSIX signals sent to a process the preloaded library stopped: Linux only";
}

// Ctrl-C or Ctrl-Break on the console while a run is halfway: every write of
// the output is held back a moment, so the event comes while the partial
// output exists.
struct ConsoleEventCase {
    Command command;
    DWORD event;
    bool ignored_at_start;
};

class ConsoleEventCliTest : public testing::TestWithParam<ConsoleEventCase> {};

TEST_P(ConsoleEventCliTest, StopsCleanlyUnlessIgnored) {
    const ConsoleEventCase& c = GetParam();
    CliFiles files;
    TempDir elsewhere;
    WriteFile(elsewhere / "pw", {'p', 'w', '\n'});
    testing_support::InjectedFaults faults({"QUORVANE_FAULT_PATH=" + files.dir().path().string(),
                                            "QUORVANE_FAULT_OP=delay-write",
                                            "QUORVANE_FAULT_DELAY_MS=300"});
    const std::string source =
        (files.dir() / (c.command == Command::kDecrypt ? "box.aes256" : "plain")).string();
    testing_support::TestConsole console({QUORVANE_CLI_PATH, NameOf(c.command), "--force",
                                          "--password-file", (elsewhere / "pw").string(), source},
                                         c.ignored_at_start);
    ASSERT_TRUE(console.ok());
    // The temporary output is there: the run is halfway.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (files.Names().size() < 5 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(files.Names().size(), 5u);
    if (!console.SendControlEvent(c.event) && testing_support::RunningUnderWine())
        GTEST_SKIP() << "Wine's console passes on Ctrl-C only, not Ctrl-Break";
    const int exit_code = console.Wait();
    const std::string screen = console.Screen();
    if (c.ignored_at_start) {
        EXPECT_EQ(exit_code, 0) << screen;
        files.ExpectDone(c.command);
        return;
    }
    EXPECT_EQ(exit_code, 1) << screen;
    EXPECT_NE(screen.find("stopped, nothing written"), std::string::npos) << screen;
    files.ExpectUntouched();
}

INSTANTIATE_TEST_SUITE_P(Events, ConsoleEventCliTest,
                         testing::Values(ConsoleEventCase{Command::kEncrypt, CTRL_C_EVENT, false},
                                         ConsoleEventCase{Command::kDecrypt, CTRL_C_EVENT, false},
                                         ConsoleEventCase{Command::kEncrypt, CTRL_BREAK_EVENT,
                                                          false},
                                         ConsoleEventCase{Command::kEncrypt, CTRL_C_EVENT, true}),
                         [](const testing::TestParamInfo<ConsoleEventCase>& test) {
                             const ConsoleEventCase& c = test.param;
                             return std::string(NameOf(c.command)) +
                                    (c.event == CTRL_C_EVENT ? "_CtrlC" : "_CtrlBreak") +
                                    (c.ignored_at_start ? "_Ignored" : "");
                         });
#else
// A signal that arrives halfway through a run, sent while the program holds
// (stopped by the shim) after its first MiB of output.
struct SignalCase {
    Command command;
    int signal;
    bool ignored_at_start;
    bool unnamed_files = true;
};

class SignalCliTest : public testing::TestWithParam<SignalCase> {};

TEST_P(SignalCliTest, StopsCleanlyUnlessIgnored) {
    const SignalCase& c = GetParam();
    CliFiles files;
    RunOptions options;
    options.environment =
        ShimEnvironment(files.dir().path(), c.unnamed_files ? "stop" : "stop,tmpfile", kMiB);
    if (c.ignored_at_start) options.ignored_signals = {c.signal};
    bool stopped = false;
    options.on_stop = [&](int pid) {
        stopped = true;
        // Without unnamed files the partial output has a name, but it is
        // readable by its owner only.
        for (const auto& e : fs::directory_iterator(files.dir().path())) {
            if (e.path().filename().string().starts_with(".quorvane-")) {
                EXPECT_EQ(static_cast<int>(e.status().permissions()), 0600);
            }
        }
        EXPECT_EQ(files.Names().size(), c.unnamed_files ? 4u : 5u);
        kill(pid, c.signal);
    };
    const RunResult run = files.Run(c.command, options);
    EXPECT_TRUE(stopped);
    if (c.ignored_at_start) {
        EXPECT_EQ(run.exit_code, 0) << run.err;
        files.ExpectDone(c.command);
        return;
    }
    if (c.signal == SIGKILL) {
        EXPECT_EQ(run.exit_code, 128 + SIGKILL);
    } else {
        EXPECT_EQ(run.exit_code, 1) << run.err;
        EXPECT_NE(run.err.find("stopped"), std::string::npos) << run.err;
    }
    files.ExpectUntouched();
}

std::vector<SignalCase> AllSignalCases() {
    std::vector<SignalCase> cases;
    for (int s : {SIGHUP, SIGINT, SIGTERM, SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGKILL})
        cases.push_back({Command::kEncrypt, s, false});
    cases.push_back({Command::kDecrypt, SIGKILL, false});
    cases.push_back({Command::kDecrypt, SIGTERM, false, false});
    cases.push_back({Command::kEncrypt, SIGHUP, true});
    cases.push_back({Command::kDecrypt, SIGINT, true});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalCliTest, testing::ValuesIn(AllSignalCases()),
                         [](const testing::TestParamInfo<SignalCase>& test) {
                             const SignalCase& c = test.param;
                             return std::string(NameOf(c.command)) + "_" + sigabbrev_np(c.signal) +
                                    (c.ignored_at_start ? "_Ignored" : "") +
                                    (c.unnamed_files ? "" : "_NamedTemporary");
                         });
#endif

TEST(FileSizeLimitCliTest, WriteBeyondTheLimitFailsWithAMessage) {
    SKIP_ON_WINDOWS("the file size limit (RLIMIT_FSIZE) is POSIX only");
    CliFiles files;
    RunOptions options;
    options.file_size_limit = 2 * kMiB;
    for (Command command : {Command::kEncrypt, Command::kDecrypt}) {
        const RunResult run = files.Run(command, options);
        EXPECT_EQ(run.exit_code, 1) << run.err;
        EXPECT_NE(run.err.find("failed"), std::string::npos) << run.err;
        files.ExpectUntouched();
    }
}

// Races and interruptions around the commit and the wipe, each made certain
// by holding the program at the moment that matters.
class RaceCliTest : public testing::Test {
  protected:
    RaceCliTest() { WriteFile(dir_ / "plain", plain_); }

    RunResult Encrypt(const std::vector<std::string>& extra, RunOptions options) const {
        std::vector<std::string> args = {QUORVANE_CLI_PATH, "encrypt", "--password-file", "-"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back((dir_ / "plain").string());
        options.input = "pw\n";
        return RunProgram(args, options);
    }

    std::vector<std::string> Shim(const std::string& op, const std::string& path,
                                  int delay_ms = 0) const {
        std::vector<std::string> environment = ShimEnvironment(path, op);
        environment.push_back("QUORVANE_FAULT_DELAY_MS=" + std::to_string(delay_ms));
        return environment;
    }

    void ExpectContainerOfPlain() const {
        ASSERT_TRUE(
            DecryptFileAes256(dir_ / "plain.aes256", dir_ / "check", Key().data(), nullptr, nullptr)
                .done());
        EXPECT_TRUE(ReadFile(dir_ / "check") == plain_);
        fs::remove(dir_ / "check");
    }

    std::vector<fs::path> Leftovers() const {
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(dir_.path()))
            if (e.path().filename().string().starts_with(".quorvane-wipe-")) found.push_back(e);
        return found;
    }

    TempDir dir_;
    const std::vector<uint8_t> plain_ = PatternBytes(3 * kMiB, 5);
    const std::vector<uint8_t> other_ = {'n', 'e', 'w'};
};

// The name is given to another file while the container is synced: that file
// is not overwritten, and the run says why.
TEST_F(RaceCliTest, WipeSparesAFileThatTookTheSourcesName) {
    RunOptions options;
    options.environment = Shim("delay-fsync", dir_.path().string(), 1500);
    std::thread editor([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        WriteFile(dir_ / "saved", other_);
        std::error_code error;
#if defined(_WIN32)
        // Windows renames nothing over a file that is open: the name is
        // freed first.
        fs::rename(dir_ / "plain", dir_ / "moved", error);
        EXPECT_FALSE(error) << error.message();
#endif
        fs::rename(dir_ / "saved", dir_ / "plain", error);
        EXPECT_FALSE(error) << error.message();
    });
    const RunResult run = Encrypt({"--wipe"}, options);
    editor.join();
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_NE(run.err.find("replaced"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "plain"), other_);
    ExpectContainerOfPlain();
}

// A run that opened the source just before another run wiped and deleted it
// takes its lock afterwards: it must not encrypt what it opened.
TEST_F(RaceCliTest, DeletedSourceIsNotEncryptedAfterTheLock) {
    if (testing_support::RunningUnderWine())
        GTEST_SKIP() << "Wine leaves a file deleted while open named and not pending deletion";
    RunOptions options;
    options.environment = Shim("delay-flock", dir_.path().string(), 800);
    std::thread wiper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::error_code error;
        fs::remove(dir_ / "plain", error);
        EXPECT_FALSE(error) << error.message();
    });
    const RunResult run = Encrypt({}, options);
    wiper.join();
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_NE(run.err.find("replaced"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir_ / "plain.aes256"));
}

// Killed while the source is overwritten: nothing damaged stays under the
// source's name, so running the command again cannot encrypt it over the
// complete container; a wipe of the name finishes the leftover.
TEST_F(RaceCliTest, KilledWipeLeavesNoDamagedSourceUnderItsName) {
#if defined(_WIN32)
    GTEST_SKIP() << "holds the program with SIGSTOP from the preloaded library: Linux only";
#else
    RunOptions options;
    // Only the source is of interest: the container is written unnamed.
    options.environment = ShimEnvironment((dir_ / "plain").string(), "stop", kMiB);
    options.on_stop = [](int pid) { kill(pid, SIGKILL); };
    EXPECT_EQ(Encrypt({"--wipe"}, options).exit_code, 128 + SIGKILL);
    EXPECT_FALSE(fs::exists(dir_ / "plain"));
    EXPECT_EQ(Leftovers().size(), 1u);
    ExpectContainerOfPlain();

    const RunResult again = Encrypt({"--wipe", "--force"}, {});
    EXPECT_EQ(again.exit_code, 1) << again.err;
    ExpectContainerOfPlain();

    const RunResult wipe =
        RunProgram({QUORVANE_CLI_PATH, "wipe", "--yes", (dir_ / "plain").string()});
    EXPECT_EQ(wipe.exit_code, 0) << wipe.err;
    EXPECT_TRUE(Leftovers().empty());
#endif
}

// A stop that comes while the output is renamed into place: the file is
// done, its source is kept unwiped, and the run says both.
TEST_F(RaceCliTest, StopDuringTheCommitKeepsTheDoneFile) {
#if defined(_WIN32)
    GTEST_SKIP() << "holds the program with SIGSTOP from the preloaded library: Linux only";
#else
    RunOptions options;
    options.environment = Shim("stop-rename", dir_.path().string());
    options.on_stop = [](int pid) { kill(pid, SIGINT); };
    const RunResult run = Encrypt({"--wipe", "--force"}, options);
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_NE(run.err.find("encrypted to"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("the source is kept"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("nothing written"), std::string::npos) << run.err;
    EXPECT_TRUE(ReadFile(dir_ / "plain") == plain_);
    ExpectContainerOfPlain();
#endif
}

// New outputs are as private as their source, and stay private (0600) until
// complete: a run killed before the rename cannot leave a readable copy.
TEST_F(RaceCliTest, OutputsKeepTheirSourcesPrivacy) {
    SKIP_ON_WINDOWS("POSIX permission bits; Windows files take their folder's access list");
    fs::permissions(dir_ / "plain", fs::perms::owner_read | fs::perms::owner_write);
    RunOptions options;
    options.environment = Shim("delay-rename", dir_.path().string(), 800);
    std::thread look([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        for (const auto& e : fs::directory_iterator(dir_.path())) {
            if (e.path().filename().string().starts_with(".quorvane-")) {
                EXPECT_EQ(static_cast<int>(e.status().permissions()), 0600) << e.path();
            }
        }
    });
    ASSERT_EQ(Encrypt({}, options).exit_code, 0);
    look.join();
    EXPECT_EQ(static_cast<int>(fs::status(dir_ / "plain.aes256").permissions()), 0600);
    const RunResult back = RunProgram({QUORVANE_CLI_PATH, "decrypt", "--password-file", "-",
                                       (dir_ / "plain.aes256").string(), "--force"},
                                      "pw\n");
    ASSERT_EQ(back.exit_code, 0) << back.err;
    EXPECT_EQ(static_cast<int>(fs::status(dir_ / "plain").permissions()), 0600);
}

// Without --force an existing output is never replaced, in either direction.
TEST_F(RaceCliTest, ExistingOutputNeedsForce) {
    WriteFile(dir_ / "plain.aes256", kOld);
    const RunResult run = Encrypt({}, {});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find((dir_ / "plain.aes256").string() + " already exists"), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadFile(dir_ / "plain.aes256"), kOld);
    ASSERT_EQ(Encrypt({"--force"}, {}).exit_code, 0);
    const RunResult back = RunProgram(
        {QUORVANE_CLI_PATH, "decrypt", "--password-file", "-", (dir_ / "plain.aes256").string()},
        "pw\n");
    EXPECT_EQ(back.exit_code, 1);
    EXPECT_TRUE(ReadFile(dir_ / "plain") == plain_);
}

// Every pass reaches the disk before the next: one sync per pass, plus the
// folder's after the file is hidden and after it is deleted.
TEST_F(RaceCliTest, WipeSyncsOncePerPass) {
    for (int passes : {1, 3}) {
        WriteFile(dir_ / "victim", plain_);
        const fs::path log =
            dir_.path().parent_path() / ("syncs-" + dir_.path().filename().string());
        RunOptions options;
        options.environment = Shim("", dir_.path().string());
        options.environment.push_back("QUORVANE_FAULT_LOG=" + log.string());
        const RunResult run = RunProgram({QUORVANE_CLI_PATH, "wipe", "--yes", "--passes",
                                          std::to_string(passes), (dir_ / "victim").string()},
                                         options);
        ASSERT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(ReadFile(log).size(), (passes + 2) * std::string("fsync\n").size()) << passes;
        fs::remove(log);
    }
}

// A file that cannot be deleted (its folder is read-only for the user) is
// not overwritten either.
TEST(WipePermissionCliTest, UndeletableFileIsNotOverwritten) {
#if defined(_WIN32)
    GTEST_SKIP() << "acts as another user through runuser: Linux only";
#else
    const fs::path runuser =
        fs::exists("/usr/sbin/runuser") ? "/usr/sbin/runuser" : "/sbin/runuser";
    if (geteuid() != 0 || !fs::exists(runuser))
        GTEST_SKIP() << "needs root and runuser to act as an ordinary user";
    TempDir dir;  // a copy of the program and the file, where anybody may look
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    fs::copy_file(QUORVANE_CLI_PATH, dir / "quorvane-cli");
    const std::vector<uint8_t> content = PatternBytes(5000, 9);
    WriteFile(dir / "victim", content);
    fs::permissions(dir / "victim", fs::perms::others_write | fs::perms::others_read,
                    fs::perm_options::add);
    const RunResult run =
        RunProgram({runuser.string(), "-u", "nobody", "--", (dir / "quorvane-cli").string(), "wipe",
                    "--yes", (dir / "victim").string()});
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_NE(run.err.find("cannot be deleted"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(dir / "victim"), content);
#endif
}

}  // namespace
