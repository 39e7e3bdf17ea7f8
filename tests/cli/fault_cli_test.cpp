// quorvane-cli under failing disks and signals: with a preloaded library that
// makes reads, writes, syncs, closes, renames or links fail (fault_shim.cpp),
// and with signals sent while a run is halfway. Whatever fails, the exit
// status is 1, the source is intact, an existing destination keeps its
// content and no temporary file is left.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <set>
#include <string>
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
            EncryptFileAes256(dir_ / "plain", dir_ / "box.aes256", Key().data(), nullptr, nullptr));
        box_ = ReadFile(dir_ / "box.aes256");
        WriteFile(dir_ / "plain.aes256", kOld);
        WriteFile(dir_ / "box", kOld);
    }

    RunResult Run(Command command, RunOptions options) const {
        std::vector<std::string> args = {QUORVANE_CLI_PATH, NameOf(command)};
        if (command == Command::kEncrypt || command == Command::kDecrypt) {
            args.insert(args.end(), {"--password-file", "-"});
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
                                          nullptr, nullptr));
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
    bool harmless;  // the run must succeed all the same
};

const Fault kReadError{"ReadError", "read", kMiB + 100, EIO, false};
const Fault kFullDisk{"FullDisk", "write", 2 * kMiB + 100, ENOSPC, false};
const Fault kWriteError{"WriteError", "write", 0, EIO, false};
const Fault kFailedSync{"FailedSync", "fsync", 0, EIO, false};
const Fault kFailedClose{"FailedClose", "close", 0, EIO, false};
const Fault kFailedRename{"FailedRename", "rename", 0, EIO, false};
const Fault kFailedLink{"FailedLink", "link", 0, EIO, false};
const Fault kFullDiskWithoutUnnamedFiles{"FullDiskWithoutUnnamedFiles", "tmpfile,write",
                                         2 * kMiB + 100, ENOSPC, false};
const Fault kShortWrites{"ShortWrites", "short", 0, 0, true};
const Fault kNoUnnamedFiles{"NoUnnamedFiles", "tmpfile", 0, 0, true};

struct FaultCase {
    Command command;
    Fault fault;
};

class FaultCliTest : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultCliTest, NothingIsLost) {
    const FaultCase& c = GetParam();
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
              kFailedLink, kFullDiskWithoutUnnamedFiles, kShortWrites, kNoUnnamedFiles})
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

TEST(FileSizeLimitCliTest, WriteBeyondTheLimitFailsWithAMessage) {
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

}  // namespace
