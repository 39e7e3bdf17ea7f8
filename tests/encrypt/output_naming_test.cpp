// Output names of a run: exact, case-sensitive extensions, ".decrypted" otherwise.
#include <gtest/gtest.h>

#include "encrypt/output_naming.h"
#include "platform/system/file_names.h"
#include "support/test_files.h"

namespace {
std::string Out(const char* input, bool camellia, bool decrypt) {
    return PathToUtf8(OutputPathFor(PathFromUtf8(input), camellia, decrypt));
}
}  // namespace

TEST(OutputPathFor, EncryptingAppendsTheCipherExtension) {
    EXPECT_EQ(Out("/data/a.txt", false, false), "/data/a.txt.aes256");
    EXPECT_EQ(Out("/data/a.txt", true, false), "/data/a.txt.cam256");
    EXPECT_EQ(Out("a", false, false), "a.aes256");
    EXPECT_EQ(Out("/data/a.txt.aes256", false, false), "/data/a.txt.aes256.aes256");
}

TEST(OutputPathFor, DecryptingRemovesOnlyTheExactExtensionOfTheChosenCipher) {
    EXPECT_EQ(Out("/data/a.txt.aes256", false, true), "/data/a.txt");
    EXPECT_EQ(Out("/data/a.txt.cam256", true, true), "/data/a.txt");
    EXPECT_EQ(Out("/data/a.txt.AES256", false, true), "/data/a.txt.AES256.decrypted");
    EXPECT_EQ(Out("/data/a.txt.cam256", false, true), "/data/a.txt.cam256.decrypted");
    EXPECT_EQ(Out("/data/a.txt.aes256", true, true), "/data/a.txt.aes256.decrypted");
    EXPECT_EQ(Out("/data/a.txt", false, true), "/data/a.txt.decrypted");
    EXPECT_EQ(Out("/data/\xe5\xaf\x86.aes256", false, true), "/data/\xe5\xaf\x86");
}

TEST(OutputPathFor, SevenCharactersOrFewerAreNeverStripped) {
    EXPECT_EQ(Out(".aes256", false, true), ".aes256.decrypted");
    EXPECT_EQ(Out("x.aes256", false, true), "x");
    EXPECT_EQ(Out("aes256", false, true), "aes256.decrypted");
    EXPECT_EQ(Out("", false, true), ".decrypted");
}

TEST(OutputPathFor, LongPathsAreNotCut) {
    const std::string long_name = "/data/" + std::string(600, 'n');
    EXPECT_EQ(Out((long_name + ".aes256").c_str(), false, true), long_name);
    EXPECT_EQ(Out(long_name.c_str(), true, false), long_name + ".cam256");
}

TEST(OutputPathFor, ANameThatWouldBeAFolderGetsTheDecryptedSuffix) {
    EXPECT_EQ(Out("sub/.aes256", false, true), "sub/.aes256.decrypted");
    EXPECT_EQ(Out("sub/..cam256", true, true), "sub/..cam256.decrypted");
    EXPECT_EQ(Out("sub/...aes256", false, true), "sub/...aes256.decrypted");
    testing_support::TempDir dir;
    std::filesystem::create_directory(dir / "docs");
    const std::string box = (dir / "docs.aes256").string();
    EXPECT_EQ(Out(box.c_str(), false, true), box + ".decrypted");
    EXPECT_EQ(Out((dir / "file.aes256").string().c_str(), false, true), (dir / "file").string());
}
