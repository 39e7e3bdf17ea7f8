// quorvane-cli password and base64, run as a child process.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_files.h"

using testing_support::RunProgram;
using testing_support::RunResult;

namespace {

constexpr const char* kCoreutilsBase64 = "/usr/bin/base64";

// Whether coreutils' base64 is there to compare with: on Linux only (under
// Wine it could be started, but it takes no Windows paths).
bool HaveCoreutilsBase64() {
#if defined(_WIN32)
    return false;
#else
    return std::filesystem::exists(kCoreutilsBase64);
#endif
}

RunResult Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), QUORVANE_CLI_PATH);
    return RunProgram(args, input);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

bool OnlyCharactersOf(const std::string& text, std::string_view allowed) {
    return text.find_first_not_of(allowed) == std::string::npos;
}

constexpr std::string_view kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kLowerUpperDigits =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

}  // namespace

TEST(CliPassword, DefaultsToOnePasswordOfTwentyLettersAndDigits) {
    const RunResult run = Cli({"password"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 20u);
    EXPECT_TRUE(OnlyCharactersOf(lines[0], kLowerUpperDigits)) << lines[0];
}

TEST(CliPassword, ClassFlagsLengthAndCountAreHonoured) {
    RunResult run = Cli({"password", "--length", "1", "--digits", "--count", "5"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 5u);
    for (const std::string& line : lines) EXPECT_TRUE(line.size() == 1 && isdigit(line[0]));

    run = Cli({"password", "--length", "9999", "--symbols", "--upper"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 9999u);
    EXPECT_TRUE(OnlyCharactersOf(lines[0], std::string(kUpper) + "!\"#$%&?"));
    EXPECT_NE(lines[0].find_first_of("!\"#$%&?"), std::string::npos);
    EXPECT_NE(lines[0].find_first_of(kUpper), std::string::npos);
}

TEST(CliPassword, BadUsageIsRefusedWithStatusTwo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"password", "--length", "0"},
          {"password", "--length", "10000"},
          {"password", "--length", "-4"},
          {"password", "--length", "abc"},
          {"password", "--count", "0"}}) {
        const RunResult run = Cli(args);
        EXPECT_EQ(run.exit_code, 2) << args[1] << " " << args[2];
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(run.err.empty());
    }
}

TEST(CliBase64, EncodeWritesOneLineAndDecodeRestoresTheBytes) {
    testing_support::TempDir dir;
    std::vector<uint8_t> data = testing_support::PatternBytes(200003, 5);
    data[10] = 0;
    testing_support::WriteFile(dir / "data.bin", data);

    const RunResult encoded = Cli({"base64", "encode", (dir / "data.bin").string()});
    ASSERT_EQ(encoded.exit_code, 0) << encoded.err;
    ASSERT_FALSE(encoded.out.empty());
    EXPECT_EQ(encoded.out.find('\n'), encoded.out.size() - 1);

    const RunResult decoded = Cli({"base64", "decode"}, encoded.out);
    ASSERT_EQ(decoded.exit_code, 0) << decoded.err;
    EXPECT_EQ(decoded.out, std::string(data.begin(), data.end()));

    // The same line from standard input.
    EXPECT_EQ(Cli({"base64", "encode"}, std::string(data.begin(), data.end())).out, encoded.out);
}

TEST(CliBase64, AgreesWithCoreutils) {
    if (!HaveCoreutilsBase64()) GTEST_SKIP() << "no coreutils base64 (Linux only)";
    testing_support::TempDir dir;
    std::vector<uint8_t> random(65536 + 2);
    for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<uint8_t>(rand());
    const auto path = dir / "random.bin";
    testing_support::WriteFile(path, random);
    const std::string bytes(random.begin(), random.end());

    const RunResult ours = Cli({"base64", "encode", path.string()});
    const RunResult theirs = RunProgram({kCoreutilsBase64, "-w0", path.string()});
    ASSERT_EQ(ours.exit_code, 0);
    EXPECT_EQ(ours.out, theirs.out + "\n");
    EXPECT_EQ(RunProgram({kCoreutilsBase64, "-d"}, ours.out).out, bytes);

    // Wrapped at 76 columns by coreutils; the line breaks are skipped.
    const RunResult wrapped = RunProgram({kCoreutilsBase64, path.string()});
    const RunResult decoded = Cli({"base64", "decode"}, wrapped.out);
    ASSERT_EQ(decoded.exit_code, 0);
    EXPECT_EQ(decoded.out, bytes);
}

namespace {

struct Base64Case {
    std::vector<std::string> ours;    // the arguments after "base64"
    std::vector<std::string> theirs;  // base64's arguments for the same
    std::string input;
    std::string out;  // what both write
    int exit_code;
};

class CliBase64Like : public testing::TestWithParam<Base64Case> {};

}  // namespace

// Scripts get what `base64` gives them: unpadded text keeps its last bytes,
// invalid text decodes up to the break and fails, empty input encodes to
// nothing, and -w and -i mean what they mean there.
TEST_P(CliBase64Like, WritesWhatTheBase64ToolWritesWithItsExitStatus) {
    const Base64Case& c = GetParam();
    std::vector<std::string> args = {"base64"};
    args.insert(args.end(), c.ours.begin(), c.ours.end());
    const RunResult ours = Cli(args, c.input);
    EXPECT_EQ(ours.out, c.out);
    EXPECT_EQ(ours.exit_code, c.exit_code);
    EXPECT_EQ(ours.err.find("invalid input") != std::string::npos, c.exit_code == 1) << ours.err;
    if (!HaveCoreutilsBase64()) return;
    std::vector<std::string> tool = {kCoreutilsBase64};
    tool.insert(tool.end(), c.theirs.begin(), c.theirs.end());
    const RunResult theirs = RunProgram(tool, c.input);
    EXPECT_EQ(theirs.out, ours.out);
    EXPECT_EQ(theirs.exit_code, ours.exit_code);
}

const std::vector<std::string> kDecode = {"decode"};
const std::vector<std::string> kToolDecode = {"-d"};

INSTANTIATE_TEST_SUITE_P(
    UnpaddedText, CliBase64Like,
    testing::Values(Base64Case{kDecode, kToolDecode, "aQ", "i", 1},
                    Base64Case{kDecode, kToolDecode, "Zzw", "g<", 1},
                    Base64Case{kDecode, kToolDecode, "MTIzNA==MTIzNA", "12341234", 1},
                    Base64Case{kDecode, kToolDecode, "QWI=\nQQ", "AbA", 1},
                    Base64Case{kDecode, kToolDecode, "MTIzNA==\nMTIzNA==\n", "12341234", 0}));

INSTANTIATE_TEST_SUITE_P(
    InvalidText, CliBase64Like,
    testing::Values(Base64Case{kDecode, kToolDecode, "a", "", 1},
                    Base64Case{kDecode, kToolDecode, "Zz=", "g", 1},
                    Base64Case{kDecode, kToolDecode, "Z===", "", 1},
                    Base64Case{kDecode, kToolDecode, "MTIzNA=", "1234", 1},
                    Base64Case{kDecode, kToolDecode, "@@@@", "", 1},
                    Base64Case{kDecode, kToolDecode, "TWFu!TWFu", "Man", 1},
                    Base64Case{{"decode", "-i"}, {"-d", "-i"}, "@@@@", "", 0},
                    Base64Case{{"decode", "--ignore-garbage"}, {"-di"}, "TW!Fu\n", "Man", 0},
                    Base64Case{{"decode", "-i"}, {"-di"}, "=QQ==", "", 1}));

INSTANTIATE_TEST_SUITE_P(
    Encoding, CliBase64Like,
    testing::Values(
        Base64Case{{"encode"}, {}, "", "", 0},
        Base64Case{{"encode", "-w", "0"}, {"-w", "0"}, "", "", 0},
        Base64Case{{"encode", "-w", "0"}, {"-w", "0"}, "abcdefg", "YWJjZGVmZw==", 0},
        Base64Case{{"encode", "--wrap", "4"}, {"--wrap=4"}, "abcdef", "YWJj\nZGVm\n", 0},
        Base64Case{{"encode", "-w", "5"}, {"-w", "5"}, "abcdefg", "YWJjZ\nGVmZw\n==\n", 0},
        Base64Case{{"encode", "-w", "76"},
                   {},
                   std::string(100, 'x'),
                   "eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4\n"
                   "eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eA==\n",
                   0}));

TEST(CliBase64, MissingFileFailsAndMissingActionIsBadUsage) {
    testing_support::TempDir dir;
    const RunResult missing = Cli({"base64", "encode", (dir / "absent").string()});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("absent"), std::string::npos);
    EXPECT_EQ(Cli({"base64", "decode", (dir / "absent").string()}).exit_code, 1);
    EXPECT_EQ(Cli({"base64"}).exit_code, 2);
    EXPECT_EQ(Cli({"base64", "scramble"}).exit_code, 2);
}

TEST(CliPassword, OutputThatCannotBeWrittenIsAFailure) {
#if defined(_WIN32)
    GTEST_SKIP() << "writes to /dev/full through sh: Linux only";
#endif
    const RunResult full = RunProgram(
        {"/bin/sh", "-c", "exec \"$0\" password --count 3 >/dev/full", QUORVANE_CLI_PATH});
    EXPECT_EQ(full.exit_code, 1);
    EXPECT_NE(full.err.find("cannot write the output"), std::string::npos) << full.err;
}
