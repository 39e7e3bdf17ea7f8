// quorvane-cli encrypt, decrypt and wipe, run as a child process on real files.
#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <string>
#include <vector>

#include "encrypt/cbc.h"
#include "encrypt/container_padding.h"
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

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// An AES-256 container with a fixed IV, so that a wrong password fails the
// same way on every run (a random IV would let 1 run in 256 pass the check).
void WriteFixedAesContainer(const fs::path& path, const std::string& plain,
                            std::u16string_view password) {
    uint8_t key[32];
    KeyBytesFromPassword(password, key);
    Aes256Context context;
    Aes256SetEncryptKey(&context, key);
    std::vector<uint8_t> bytes = PatternBytes(16, 77);
    uint8_t chain[16];
    std::copy(bytes.begin(), bytes.end(), chain);
    std::vector<uint8_t> padded(plain.begin(), plain.end());
    padded.resize(plain.size() + 17);
    padded.resize(PadFinalChunk(padded.data(), plain.size()));
    Aes256CbcEncrypt(padded.size() / 16, padded.data(), &context, chain);
    bytes.insert(bytes.end(), padded.begin(), padded.end());
    WriteFile(path, bytes);
}

class CryptCliTest : public testing::Test {
  protected:
    RunResult Cli(std::vector<std::string> args, const std::string& input = "",
                  RunOptions options = {}) {
        args.insert(args.begin(), QUORVANE_CLI_PATH);
        options.input = input;
        return RunProgram(args, options);
    }
    std::string At(const std::string& name) const { return (dir_ / name).string(); }
    std::string PasswordFile(const std::string& text) {
        WriteFile(dir_ / "pw", Bytes(text + "\n"));
        return At("pw");
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_.path()))
            names.insert(e.path().filename().string());
        return names;
    }

    TempDir dir_;
};

TEST_F(CryptCliTest, RoundTripInBothCiphersWithThePagesNames) {
    const auto plain = PatternBytes(2 * 1048576 + 3);
    WriteFile(dir_ / "a.txt", plain);
    const std::string pw = PasswordFile("correct horse");
    for (const std::string cipher : {"aes256", "camellia256"}) {
        SCOPED_TRACE(cipher);
        const std::string box = cipher == "aes256" ? "a.txt.aes256" : "a.txt.cam256";
        auto run = Cli({"encrypt", "--cipher", cipher, "--password-file", pw, At("a.txt")});
        ASSERT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(fs::file_size(dir_ / box), plain.size() + 16 + 13);
        EXPECT_NE(run.err.find("a.txt: encrypted to"), std::string::npos) << run.err;
        fs::rename(dir_ / "a.txt", dir_ / "original");
        run = Cli({"decrypt", "--cipher", cipher, "--password-file", pw, At(box)});
        ASSERT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(ReadFile(dir_ / "a.txt"), plain);
        fs::remove(dir_ / "original");
        fs::remove(dir_ / box);
    }
}

TEST_F(CryptCliTest, OpensWhatTheWindowsKeyRuleMakesFromAUtf16Password) {
    // The window builds the key from the UTF-16 text; the command line gets
    // UTF-8 on standard input, with a Windows line end.
    uint8_t key[32];
    KeyBytesFromPassword(u"\u5bc6\u7801-\u00e4\u00df", key);
    WriteFile(dir_ / "doc", Bytes("secret text"));
    ASSERT_TRUE(
        EncryptFileCamellia256(dir_ / "doc", dir_ / "doc.cam256", key, nullptr, nullptr).done());
    fs::remove(dir_ / "doc");
    auto run = Cli({"decrypt", "--cipher", "camellia256", "--password-file", "-", At("doc.cam256")},
                   "\xe5\xaf\x86\xe7\xa0\x81-\xc3\xa4\xc3\x9f\r\nignored second line\n");
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "doc"), Bytes("secret text"));
}

TEST_F(CryptCliTest, PasswordsThatCannotBeAKeyAreRefused) {
    WriteFile(dir_ / "f", Bytes("data"));
    std::string astral;
    for (int i = 0; i < 17; ++i) astral += "\xf0\x9f\x94\x91";  // 34 UTF-16 units
    const std::vector<std::string> refused = {"", std::string(33, 'x'), astral, "bad\xff"};
    for (const auto& password : refused) {
        auto run = Cli({"encrypt", "--password-file", "-", At("f")}, password + "\n");
        EXPECT_EQ(run.exit_code, 2) << password;
        EXPECT_NE(run.err.find("password"), std::string::npos) << run.err;
    }
    // No terminal and no password file; a password file that does not exist.
    EXPECT_EQ(Cli({"encrypt", At("f")}).exit_code, 2);
    EXPECT_EQ(Cli({"encrypt", "--password-file", At("none"), At("f")}).exit_code, 2);
    EXPECT_EQ(Names(), std::set<std::string>{"f"});
    // 32 characters are fine, also when each takes three bytes of UTF-8.
    std::string wide;
    for (int i = 0; i < 32; ++i) wide += "\xe5\xaf\x86";
    auto run = Cli({"encrypt", "--password-file", "-", At("f")}, wide);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(fs::exists(dir_ / "f.aes256"));
}

TEST_F(CryptCliTest, DecryptNamesAndFailuresFilePerFile) {
    const std::string pw = PasswordFile("pw");
    WriteFixedAesContainer(dir_ / "x.aes256", "content", u"pw");
    fs::copy_file(dir_ / "x.aes256", dir_ / "y.AES256");
    fs::copy_file(dir_ / "x.aes256", dir_ / "z.cam256");
    WriteFile(dir_ / "x", Bytes("keep me"));
    auto run = Cli(
        {"decrypt", "--password-file", pw, At("y.AES256"), At("missing.aes256"), At("z.cam256")});
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "y.AES256.decrypted"), Bytes("content"));
    EXPECT_EQ(ReadFile(dir_ / "z.cam256.decrypted"), Bytes("content"));
    EXPECT_NE(run.err.find("missing.aes256: decryption failed"), std::string::npos) << run.err;
    // A wrong password: exit status 1, the existing x untouched.
    run = Cli({"decrypt", "--password-file", "-", At("x.aes256")}, "not it\n");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(ReadFile(dir_ / "x"), Bytes("keep me"));
    EXPECT_EQ(Cli({"decrypt", "--cipher", "des", "--password-file", pw, At("x.aes256")}).exit_code,
              2);
}

TEST_F(CryptCliTest, WipeAfterEncryptOnlyWhenTheContainerIsComplete) {
    const std::string pw = PasswordFile("pw");
    const auto plain = PatternBytes(3 * 1048576);
    WriteFile(dir_ / "big", plain);
    // Files may not grow beyond 1 MiB (on Windows, the disk is full after
    // 1 MiB): the container cannot be written.
    RunOptions full;
#if defined(_WIN32)
    full.environment = {"QUORVANE_FAULT_PATH=" + dir_.path().string(), "QUORVANE_FAULT_OP=write",
                        "QUORVANE_FAULT_AFTER=1048576",
                        "QUORVANE_FAULT_ERRNO=" + std::to_string(ENOSPC)};
#else
    full.file_size_limit = 1048576;
#endif
    auto run = Cli({"encrypt", "--wipe", "--password-file", pw, At("big")}, "", full);
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "big"), plain);
    EXPECT_EQ(Names(), (std::set<std::string>{"big", "pw"}));

    run = Cli({"encrypt", "--wipe", "--password-file", pw, At("big")});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_FALSE(fs::exists(dir_ / "big"));
    EXPECT_NE(run.err.find("source wiped"), std::string::npos) << run.err;
    ASSERT_EQ(Cli({"decrypt", "--password-file", pw, At("big.aes256")}).exit_code, 0);
    EXPECT_EQ(ReadFile(dir_ / "big"), plain);
}

TEST_F(CryptCliTest, WipeCommand) {
    WriteFile(dir_ / "a", PatternBytes(5000));
    WriteFile(dir_ / "b", PatternBytes(10));
    fs::create_directory(dir_ / "folder");
    // Without --yes and without a terminal nothing is touched.
    auto run = Cli({"wipe", At("a")});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(fs::exists(dir_ / "a"));
    EXPECT_EQ(Cli({"wipe", "--yes", "--passes", "256", At("a")}).exit_code, 2);
    EXPECT_EQ(Cli({"wipe", "--yes", "--passes", "-1", At("a")}).exit_code, 2);
    EXPECT_TRUE(fs::exists(dir_ / "a"));

    run = Cli({"wipe", "--yes", "--passes", "7", At("a"), At("folder"), At("gone"), At("b")});
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_EQ(Names(), std::set<std::string>{"folder"});
    for (const char* line : {"a: wiped", "folder: wipe failed", "gone: wipe failed", "b: wiped"})
        EXPECT_NE(run.err.find(line), std::string::npos) << line << "\n" << run.err;
}

}  // namespace
