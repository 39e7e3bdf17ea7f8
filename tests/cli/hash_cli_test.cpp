// quorvane-cli hash, run as a child process, against the coreutils tools on
// the same real files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/system/file_names.h"
#include "support/test_files.h"

using testing_support::PatternBytes;
using testing_support::RunProgram;
using testing_support::RunResult;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

RunResult Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {QUORVANE_CLI_PATH, "hash"});
    return RunProgram(args, input);
}

// Whether the coreutils tools are there to compare with: on Linux only (under
// Wine they could be started, but they take no Windows paths).
bool HaveCoreutils() {
#if defined(_WIN32)
    return false;
#else
    return std::filesystem::exists("/usr/bin/env") && std::filesystem::exists("/usr/bin/sha256sum");
#endif
}

// Skips a test whose oracle is coreutils where there is none (Windows, where
// the cross-system test compares with sha256sum instead).
#define NEEDS_COREUTILS() \
    if (!HaveCoreutils()) GTEST_SKIP() << "compares with coreutils, which only Linux has"

// A coreutils tool found on PATH.
RunResult Tool(const std::string& tool, std::vector<std::string> args,
               const std::string& input = "") {
    args.insert(args.begin(), {"/usr/bin/env", tool});
    return RunProgram(args, input);
}

const char* const kKeccakOfEmpty =
    "aad7f242b4de8c8199fe1a3beb1ef27da1285bdd84b0ec41f5d0df8aedec3bced14213505c465c8a99cff3935a3"
    "95326aa9c9c79f57f89a2bdb3922676c3336e";

class HashCli : public testing::Test {
  protected:
    void SetUp() override {
        // The names as the command line takes them: UTF-8 on both systems.
        for (const char* name : {"empty", "a b 文件.txt", "mebibyte plus 60"})
            files_.push_back(PathToUtf8(dir_.path() / PathFromUtf8(name)));
        WriteFile(PathFromUtf8(files_[0]), {});
        WriteFile(PathFromUtf8(files_[1]), {'h', 'e', 'l', 'l', 'o'});
        WriteFile(PathFromUtf8(files_[2]), PatternBytes((1 << 20) + 60));
    }
    TempDir dir_;
    std::vector<std::string> files_;
};

}  // namespace

TEST_F(HashCli, OneAlgorithmPrintsExactlyWhatCoreutilsPrints) {
    NEEDS_COREUTILS();
    const std::pair<const char*, const char*> pairs[] = {
        {"md5", "md5sum"}, {"sha1", "sha1sum"}, {"sha256", "sha256sum"}, {"sha512", "sha512sum"}};
    for (const auto& [algo, tool] : pairs) {
        std::vector<std::string> args = {"--algo", algo};
        args.insert(args.end(), files_.begin(), files_.end());
        const RunResult ours = Cli(args);
        const RunResult theirs = Tool(tool, files_);
        EXPECT_EQ(ours.exit_code, 0) << ours.err;
        ASSERT_EQ(theirs.exit_code, 0) << theirs.err;
        EXPECT_EQ(ours.out, theirs.out) << algo;
    }
    // sha256 is the default.
    EXPECT_EQ(Cli(files_).out, Tool("sha256sum", files_).out);
}

TEST_F(HashCli, SeveralAlgorithmsPrintTaggedLinesInTheWindowsOrder) {
    NEEDS_COREUTILS();
    const RunResult ours = Cli({"--algo", "keccak,sha1,md5", files_[0]});
    EXPECT_EQ(ours.exit_code, 0);
    EXPECT_EQ(ours.out, Tool("md5sum", {"--tag", files_[0]}).out +
                            Tool("sha1sum", {"--tag", files_[0]}).out + "KECCAK (" + files_[0] +
                            ") = " + kKeccakOfEmpty + "\n");

    const RunResult all = Cli({"--all", "--upper", files_[1]});
    std::string expected;
    for (const char* tool : {"md5sum", "sha1sum", "sha256sum", "sha512sum"}) {
        expected += Tool(tool, {"--tag", files_[1]}).out;
    }
    std::string ours_upper = all.out;
    ASSERT_GT(ours_upper.size(), expected.size());
    // --upper changes only the digits: compare the lines of coreutils with ours lowered.
    for (char& c : ours_upper) c = char(std::tolower(static_cast<unsigned char>(c)));
    std::string expected_lower = expected;
    for (char& c : expected_lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(ours_upper.substr(0, expected_lower.size()), expected_lower);
    EXPECT_NE(all.out.find(") = 5D41402ABC4B2A76B9719D911017C592\n"), std::string::npos);
    EXPECT_EQ(all.out.rfind("KECCAK (", std::string::npos), expected.size());
}

TEST_F(HashCli, StandardInputIsReadOnceForAllAlgorithms) {
    NEEDS_COREUTILS();
    const std::string input(300000, 'q');
    const RunResult ours = Cli({"--algo", "sha512,md5", "-"}, input);
    EXPECT_EQ(ours.exit_code, 0);
    EXPECT_EQ(ours.out, Tool("md5sum", {"--tag", "-"}, input).out +
                            Tool("sha512sum", {"--tag", "-"}, input).out);
    EXPECT_EQ(Cli({}, "abc").out, Tool("sha256sum", {}, "abc").out);
}

TEST_F(HashCli, MissingFileAndFolderFailButTheOthersAreHashed) {
    const std::string missing = (dir_ / "missing").string();
    const RunResult ours = Cli({missing, dir_.path().string(), files_[1]});
    EXPECT_EQ(ours.exit_code, 1);
    // One line, for the file that could be read.
    EXPECT_EQ(ours.out.find("2cf24dba5fb0a30e26e83b2ac5b9e29e1b161e5c1fa7425e73043362938b9824  "),
              ours.out.find_first_not_of('\\'))
        << ours.out;
    EXPECT_EQ(ours.out.find('\n'), ours.out.size() - 1) << ours.out;
    EXPECT_NE(ours.err.find(missing + ": cannot open the file: No such file or directory"),
              std::string::npos)
        << ours.err;
    EXPECT_NE(ours.err.find(dir_.path().string() + ": not a regular file: Is a directory"),
              std::string::npos)
        << ours.err;
}

TEST_F(HashCli, NamesWithBackslashOrLineFeedAreEscapedAsCoreutilsDoes) {
    NEEDS_COREUTILS();
    const std::string odd = (dir_ / "back\\slash\nline").string();
    WriteFile(odd, {'x'});
    const RunResult ours = Cli({odd});
    EXPECT_EQ(ours.out, Tool("sha256sum", {odd}).out);
    EXPECT_EQ(Cli({"--algo", "md5,sha1", odd}).out,
              Tool("md5sum", {"--tag", odd}).out + Tool("sha1sum", {"--tag", odd}).out);
    // And the check reads them back.
    const std::string list = (dir_ / "odd.sums").string();
    const std::string lines = ours.out;
    WriteFile(list, std::vector<uint8_t>(lines.begin(), lines.end()));
    const RunResult check = Cli({"--check", list});
    EXPECT_EQ(check.exit_code, 0) << check.err;
    EXPECT_EQ(check.out, Tool("sha256sum", {"--check", list}).out);
}

TEST_F(HashCli, CheckReadsBothFormsInEitherCase) {
    NEEDS_COREUTILS();
    std::string lines = Tool("sha256sum", files_).out + Tool("md5sum", {"--tag", files_[1]}).out +
                        Cli({"--all", "--upper", files_[2]}).out;
    const std::string list = (dir_ / "list.sums").string();
    WriteFile(list, std::vector<uint8_t>(lines.begin(), lines.end()));
    const RunResult check = Cli({"--check", list});
    EXPECT_EQ(check.exit_code, 0) << check.err;
    std::string expected;
    for (const auto& f : files_) expected += f + ": OK\n";
    expected += files_[1] + ": OK\n";
    for (int i = 0; i < 5; ++i) expected += files_[2] + ": OK\n";
    EXPECT_EQ(check.out, expected);
    // A list on standard input.
    EXPECT_EQ(Cli({"--check", "-"}, lines).out, expected);
}

TEST_F(HashCli, CheckReadsItsOwnUntaggedKeccakAndSha512Lists) {
    // Both write 128 digits without a tag: such a line that fails as SHA-512
    // is tried as Keccak, and a spoiled one fails as both.
    std::string lines =
        Cli({"--algo", "keccak", files_[1]}).out + Cli({"--algo", "sha512", files_[2]}).out;
    std::string spoiled = Cli({"--algo", "keccak", files_[0]}).out;
    // The first digit: a line whose name is escaped starts with a backslash.
    char& digit = spoiled[spoiled.find_first_not_of('\\')];
    digit = digit == '0' ? '1' : '0';
    lines += spoiled;
    const std::string list = (dir_ / "long.sums").string();
    WriteFile(list, std::vector<uint8_t>(lines.begin(), lines.end()));
    const RunResult check = Cli({"--check", list});
    EXPECT_EQ(check.exit_code, 1);
    EXPECT_EQ(check.out, files_[1] + ": OK\n" + files_[2] + ": OK\n" + files_[0] + ": FAILED\n");
    // Limited to SHA-512, the Keccak line is a mismatch.
    EXPECT_EQ(Cli({"--check", "--algo", "sha512", list}).out.substr(0, files_[1].size() + 8),
              files_[1] + ": FAILED");
}

TEST_F(HashCli, CheckReportsMismatchAndUnreadableFilesAsCoreutilsDoes) {
    NEEDS_COREUTILS();
    WriteFile(dir_ / "gone", {'g'});
    std::string lines = Tool("sha256sum", {files_[0], files_[1], (dir_ / "gone").string()}).out;
    std::filesystem::remove(dir_ / "gone");
    lines[0] = lines[0] == '0' ? '1' : '0';  // spoil the first digest
    const std::string list = (dir_ / "bad.sums").string();
    WriteFile(list, std::vector<uint8_t>(lines.begin(), lines.end()));

    const RunResult ours = Cli({"--check", list});
    const RunResult theirs = Tool("sha256sum", {"--check", list});
    EXPECT_EQ(ours.exit_code, 1);
    EXPECT_EQ(theirs.exit_code, 1);
    EXPECT_EQ(ours.out, theirs.out);
    EXPECT_EQ(ours.out, files_[0] + ": FAILED\n" + files_[1] + ": OK\n" + (dir_ / "gone").string() +
                            ": FAILED open or read\n");
    EXPECT_NE(ours.err.find("1 computed checksum did NOT match"), std::string::npos);
    EXPECT_NE(ours.err.find("1 listed file could not be read"), std::string::npos);
}

namespace {

// The numbers of the lines that --warn reported as improperly formatted, in
// the order reported.
std::vector<long> MalformedLineNumbers(const std::string& messages) {
    std::vector<long> numbers;
    const std::string marker = ": improperly formatted";
    for (std::size_t at = messages.find(marker); at != std::string::npos;
         at = messages.find(marker, at + 1)) {
        const std::size_t start = messages.rfind(": ", at - 1) + 2;
        numbers.push_back(std::stol(messages.substr(start, at - start)));
    }
    return numbers;
}

}  // namespace

TEST_F(HashCli, LinesNameFilesAsTheSystemWritesTheirPathsAndCheckBack) {
    // On Windows the path's backslashes are its separators, not escapes.
    const RunResult ours = Cli({files_[1]});
    ASSERT_EQ(ours.exit_code, 0) << ours.err;
    EXPECT_EQ(ours.out.substr(64), "  " + files_[1] + "\n");
    const std::string list = (dir_ / "own.sums").string();
    WriteFile(list, std::vector<uint8_t>(ours.out.begin(), ours.out.end()));
    const RunResult check = Cli({"--check", list});
    EXPECT_EQ(check.exit_code, 0) << check.err;
    EXPECT_EQ(check.out, files_[1] + ": OK\n");
}

TEST_F(HashCli, LongListChecksInListOrderWhateverTheJobs) {
    NEEDS_COREUTILS();
    // More lines than one batch of files checked at once, with spoiled,
    // missing and improperly formatted lines among them.
    const std::string good = Tool("sha256sum", {files_[1]}).out;
    std::string spoiled = good;
    spoiled[0] = spoiled[0] == '0' ? '1' : '0';
    std::string lines;
    for (int i = 0; i < 2100; ++i) {
        lines += i % 97 == 5 ? spoiled : i % 131 == 7 ? "no digest here\n" : good;
        if (i % 500 == 3) lines += std::string(64, 'a') + "  " + (dir_ / "gone").string() + "\n";
    }
    const std::string list = (dir_ / "long.sums").string();
    WriteFile(list, std::vector<uint8_t>(lines.begin(), lines.end()));
    const RunResult theirs = Tool("sha256sum", {"--check", "--warn", list});
    for (const char* jobs : {"1", "3"}) {
        const RunResult ours = Cli({"--check", "--warn", "--jobs", jobs, list});
        EXPECT_EQ(ours.exit_code, 1) << jobs;
        EXPECT_EQ(ours.out, theirs.out) << jobs;
        EXPECT_EQ(MalformedLineNumbers(ours.err), MalformedLineNumbers(theirs.err)) << jobs;
        EXPECT_NE(ours.err.find("22 computed checksums did NOT match"), std::string::npos)
            << ours.err;
    }
}

TEST_F(HashCli, CheckWithoutProperLinesAndUsageErrors) {
    const std::string list = (dir_ / "junk.sums").string();
    WriteFile(list, {'j', 'u', 'n', 'k', '\n'});
    const RunResult junk = Cli({"--check", list});
    EXPECT_EQ(junk.exit_code, 1);
    EXPECT_NE(junk.err.find("no properly formatted checksum lines found"), std::string::npos);
    EXPECT_EQ(Cli({"--check", (dir_ / "no list").string()}).exit_code, 1);

    EXPECT_EQ(Cli({"--algo", "sha3", files_[0]}).exit_code, 2);
    EXPECT_EQ(Cli({"--algo", "md5,", files_[0]}).exit_code, 2);
    EXPECT_EQ(Cli({"--all", "--algo", "md5", files_[0]}).exit_code, 2);
}

TEST_F(HashCli, OutputThatCannotBeWrittenIsAFailure) {
#if defined(_WIN32)
    GTEST_SKIP() << "writes to /dev/full through sh: Linux only";
#endif
    // `hash * > SUMS` on a full disk must not end in success with SUMS empty.
    const std::string sums = (dir_ / "sums").string();
    const RunResult list = Cli({files_[1]});
    ASSERT_EQ(list.exit_code, 0);
    WriteFile(sums, std::vector<uint8_t>(list.out.begin(), list.out.end()));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{files_[1]}, std::vector<std::string>{"--all", files_[0]},
          std::vector<std::string>{"--check", sums}}) {
        std::string command = "exec \"$0\" hash";
        for (std::size_t i = 0; i < args.size(); ++i)
            command += " \"$" + std::to_string(i + 1) + "\"";
        command += " >/dev/full";
        std::vector<std::string> argv = {"/bin/sh", "-c", command, QUORVANE_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        const RunResult full = RunProgram(argv);
        EXPECT_EQ(full.exit_code, 1) << args[0];
        EXPECT_NE(full.err.find("cannot write the output"), std::string::npos) << full.err;
    }
}

namespace {

// A shell snippet run twice, its H once quorvane-cli hash (SHA-256, the
// default) and once sha256sum, in a folder holding f, " g", "*f" and
// "a) = b", each "abc"; $D names the folder.
struct ScriptCase {
    const char* name;
    const char* script;
};

class HashCliLikeSha256sum : public testing::TestWithParam<ScriptCase> {
  protected:
    RunResult Run(const std::string& h) {
        for (const char* name : {"f", " g", "*f", "a) = b"})
            WriteFile(dir_ / name, {'a', 'b', 'c'});
        const std::string script =
            "H() { " + h + " \"$@\"; }; D=\"$0\"; cd \"$D\" || exit 99; " + GetParam().script;
        return RunProgram({"/bin/bash", "-c", script, dir_.path().string()});
    }
    TempDir dir_;
};

// The tools' messages begin with their own name, and ours name the failed
// step before the system's reason.
std::string Normalised(std::string text, const std::string& program) {
    for (const std::string& drop : {program + ": ", std::string("cannot open the file: ")}) {
        for (std::size_t at; (at = text.find(drop)) != std::string::npos;)
            text.erase(at, drop.size());
    }
    return text;
}

std::string CaseName(const testing::TestParamInfo<ScriptCase>& param) {
    return param.param.name;
}

const char* const kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

}  // namespace

TEST_P(HashCliLikeSha256sum, SameOutputMessagesAndExitStatus) {
    NEEDS_COREUTILS();
    const RunResult ours = Run(std::string("\"") + QUORVANE_CLI_PATH + "\" hash --algo sha256");
    const RunResult theirs = Run("sha256sum");
    EXPECT_EQ(ours.out, theirs.out);
    EXPECT_EQ(ours.exit_code, theirs.exit_code);
    EXPECT_EQ(Normalised(ours.err, "quorvane-cli"), Normalised(theirs.err, "sha256sum"));
}

#define SUMS(lines) "printf '" lines "' "  // a list written by printf
#define ABC "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"

// Pipes and devices are read to their end: a named pipe waits for its writer.
INSTANTIATE_TEST_SUITE_P(
    PipesAndDevices, HashCliLikeSha256sum,
    testing::Values(
        ScriptCase{"DevNull", "H /dev/null"}, ScriptCase{"DevStdin", "printf abc | H /dev/stdin"},
        ScriptCase{"ProcessSubstitution", "H <(printf abc) f"},
        ScriptCase{"NamedPipe", "rm -f p; mkfifo p; (sleep 0.3; printf abc > p) & H p; wait"},
        ScriptCase{"ListedDevice",
                   SUMS("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855  "
                        "/dev/null\\n") "| H -c"}),
    CaseName);

// Lines as other programs and people write them.
INSTANTIATE_TEST_SUITE_P(
    CheckLineForms, HashCliLikeSha256sum,
    testing::Values(
        ScriptCase{"LeadingBlanks", SUMS(" " ABC "  f\\n\\t" ABC "  f\\n  SHA256 (f) = " ABC
                                         "\\n \\\\" ABC "  f\\n  \\n") "| H -c"},
        ScriptCase{"OpensslForm", SUMS("SHA256(f)= " ABC "\\nSHA256 (f)= " ABC "\\nSHA256(f) = " ABC
                                       "\\n") "| H -c"},
        ScriptCase{"SingleSpaceList", SUMS(ABC " f\\n" ABC "  g\\n" ABC " *f\\n") "| H -c"},
        ScriptCase{"TwoSpaceListRefusesSingleSpace",
                   SUMS(ABC "  f\\n" ABC " f\\n" ABC "\\tf\\n") "| H -c"},
        ScriptCase{"TabSeparators", SUMS(ABC "\\tf\\n" ABC "\\t g\\n") "| H -c"},
        ScriptCase{"BinaryMarkedLines", "H -b f ' g' > l; H -c l; H -c --strict l"},
        ScriptCase{"TaggedNameHoldingCloseParenEquals", "H --tag 'a) = b' f > l; H -c l"}),
    CaseName);

// --status, --quiet, --warn (the last given wins), --strict, --ignore-missing.
#define MIXED                                                                          \
    SUMS(ABC "  f\\njunk\\n" ABC                                                       \
             "  missing\\n"                                                            \
             "0000000000000000000000000000000000000000000000000000000000000000  f\\n") \
    "> l; "
INSTANTIATE_TEST_SUITE_P(
    CheckOptions, HashCliLikeSha256sum,
    testing::Values(ScriptCase{"Plain", MIXED "H -c l"},
                    ScriptCase{"Status", MIXED "H -c --status l"},
                    ScriptCase{"Quiet", MIXED "H -c --quiet l"},
                    ScriptCase{"Warn", MIXED "H -c --warn l"},
                    ScriptCase{"LastOfStatusQuietWarnWins", MIXED "H -c --status --quiet l"},
                    ScriptCase{"WarnThenStatus", MIXED "H -c -w --status l"},
                    ScriptCase{"Strict", SUMS(ABC "  f\\njunk\\n") "> l; H -c l; echo $?; "
                                                                   "H -c --strict l"},
                    ScriptCase{"IgnoreMissing", MIXED "H -c --ignore-missing l"},
                    ScriptCase{"IgnoreMissingVerifiesNothing",
                               SUMS(ABC "  missing\\n") "> l; H -c --ignore-missing l; echo $?; "
                                                        "H -c --ignore-missing --status l"}),
    CaseName);

// --tag, -z, -b and -t when writing lists.
INSTANTIATE_TEST_SUITE_P(
    WritingOptions, HashCliLikeSha256sum,
    testing::Values(ScriptCase{"Tag", "H --tag f ' g'"},
                    ScriptCase{"ZeroEndsLinesWithNulUnescaped",
                               "printf x > 'new\nline'; H -z f 'new\nline' | od -c"},
                    ScriptCase{"TagZero", "H --tag -z f | od -c"},
                    ScriptCase{"BinaryAndText", "H -b f; H -t f; H --tag -b f"}),
    CaseName);

TEST_F(HashCli, CheckRefusesNulInANameAndReadsOpensslLinesOfEveryDigest) {
    WriteFile(dir_ / "f", {'a', 'b', 'c'});
    std::string lines = std::string(kAbc) + "  " + (dir_ / "f").string();
    lines += '\0';
    lines += "x\n";
    const RunResult nul = Cli({"--check", "-"}, lines);
    EXPECT_EQ(nul.exit_code, 1);
    EXPECT_NE(nul.err.find("no properly formatted checksum lines found"), std::string::npos);

    if (!HaveCoreutils() || !std::filesystem::exists("/usr/bin/openssl"))
        GTEST_SKIP() << "no openssl (Linux only)";
    std::string openssl;
    for (const char* digest : {"-md5", "-sha1", "-sha256", "-sha512"})
        openssl += RunProgram({"/usr/bin/openssl", "dgst", digest, files_[1]}).out;
    const RunResult check = Cli({"--check", "-"}, openssl);
    EXPECT_EQ(check.exit_code, 0) << openssl << check.err;
    EXPECT_EQ(check.out, files_[1] + ": OK\n" + files_[1] + ": OK\n" + files_[1] + ": OK\n" +
                             files_[1] + ": OK\n");
}

TEST_F(HashCli, UntaggedSeveralAndOptionsInTheWrongModeAreRefused) {
    if (HaveCoreutils()) {
        EXPECT_EQ(Cli({"--algo", "md5,sha1", "--untagged", files_[1]}).out,
                  Tool("md5sum", {files_[1]}).out + Tool("sha1sum", {files_[1]}).out);
    }
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-c", "--tag", "x"},
                                                 {"-c", "-z", "x"},
                                                 {"-c", "-b", "x"},
                                                 {"--status", files_[1]},
                                                 {"--ignore-missing", files_[1]},
                                                 {"--tag", "--untagged", "x"}}) {
        const RunResult refused = Cli(args);
        EXPECT_EQ(refused.exit_code, 2) << args[1];
        EXPECT_TRUE(refused.out.empty());
    }
}

// A thread that cannot be started fails the file cleanly, never the program.
TEST_F(HashCli, ThreadThatCannotStartFailsTheFileCleanly) {
#if defined(_WIN32)
    GTEST_SKIP() << "makes thread starts fail through the preloaded library: Linux only";
#endif
    // Large enough that its digests are spread over threads.
    const std::string big = (dir_ / "big").string();
    WriteFile(big, PatternBytes(5 << 20));
    for (const char* after : {"0", "1"}) {
        testing_support::RunOptions options;
        // The sanitizers want their runtime loaded first; the shim comes before.
        const char* asan = std::getenv("ASAN_OPTIONS");
        options.environment = {
            std::string("LD_PRELOAD=") + QUORVANE_FAULT_SHIM_PATH,
            "QUORVANE_FAULT_PATH=/nothing-of-interest",
            "QUORVANE_FAULT_OP=thread",
            std::string("QUORVANE_FAULT_AFTER=") + after,
            "QUORVANE_FAULT_ERRNO=11",
            std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0"};
        const RunResult run = RunProgram({QUORVANE_CLI_PATH, "hash", "--all", big, big}, options);
        if (run.exit_code == 0) continue;  // one core: the digests share the calling thread
        EXPECT_EQ(run.exit_code, 1) << after << run.err;
        EXPECT_NE(run.err.find("system error: Resource temporarily unavailable"), std::string::npos)
            << run.err;
    }
}
