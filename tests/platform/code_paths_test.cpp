// The choice among the code paths of a cipher or digest, and how the
// command-line program names it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ciphers/cipher_paths.h"
#include "hash/engines/digest_paths.h"
#include "platform/system/code_paths.h"
#include "support/test_files.h"

namespace {

bool Yes() {
    return true;
}
bool No() {
    return false;
}

constexpr cpu::CodePath<int> kTable[] = {
    {"portable", cpu::Always, 0}, {"older", Yes, 1}, {"newer", Yes, 2}, {"missing", No, 3}};

// Lines 2 and 3 of `quorvane-cli --version`, "aes: ..., camellia: ..." and
// "md5: ..., ...", with `environment` added.
std::vector<std::string> VersionPathLines(const std::string& environment) {
    testing_support::RunOptions options;
    options.environment = {environment};
    const auto run = testing_support::RunProgram({QUORVANE_CLI_PATH, "--version"}, options);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    std::istringstream text(run.out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    if (lines.size() != 3) {
        ADD_FAILURE() << run.out;
        return {};
    }
    return {lines[1], lines[2]};
}

}  // namespace

// The last path the processor can run wins, past one it cannot; a selection
// overrides that until it is withdrawn.
TEST(CodePaths, ChooseTheLastAvailableUnlessSelectedOrForced) {
    cpu::CodePaths<int> paths{kTable};
    const int automatic = cpu::PortableForced() ? 0 : 2;
    EXPECT_EQ(paths.Active().function, automatic);
    EXPECT_EQ(paths.Portable().function, 0);
    paths.Select(&paths.All()[3]);
    EXPECT_EQ(paths.Active().function, 3);
    paths.Select(nullptr);
    EXPECT_EQ(paths.Active().function, automatic);
}

// --version names the paths in use; QUORVANE_CPU=portable makes every one of
// them the portable path.
TEST(CodePaths, VersionNamesThePathsInUse) {
    const auto forced = VersionPathLines("QUORVANE_CPU=portable");
    ASSERT_EQ(forced.size(), 2u);
    EXPECT_EQ(forced[0], "aes: portable, camellia: portable");
    EXPECT_EQ(forced[1],
              "md5: portable, sha1: portable, sha256: portable, sha512: portable, "
              "keccak: portable");
    if (cpu::PortableForced()) GTEST_SKIP() << "this test runs under QUORVANE_CPU=portable";
    const auto chosen = VersionPathLines("QUORVANE_CPU=");
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0], CipherPathsText());
    EXPECT_EQ(chosen[1], DigestPathsText());
}
