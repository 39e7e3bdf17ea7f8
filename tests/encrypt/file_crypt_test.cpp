// The four file procedures on real files: container lengths and round trips,
// the container against the block cipher by hand and against openssl,
// progress values, and every way a run can fail without leaving output behind.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <functional>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

#include "ciphers/aes256.h"
#include "ciphers/camellia256.h"
#include "encrypt/container_padding.h"
#include "encrypt/file_crypt.h"
#include "platform/system/file_handle.h"
#include "support/test_files.h"

namespace fs = std::filesystem;
using testing_support::PatternBytes;
using testing_support::ReadFile;
using testing_support::RunProgram;
using testing_support::TempDir;
using testing_support::ToHex;
using testing_support::WriteFile;

namespace {

constexpr std::size_t kMiB = 1 << 20;

using FileProcedure = FileResult (*)(const fs::path&, const fs::path&, const uint8_t*,
                                     ProgressCallback, void*, std::stop_token,
                                     const FileCryptOptions&);
// Enciphers or deciphers one block under a 32-byte key, for checks by hand.
using BlockFunction = std::function<void(const uint8_t* key, const uint8_t* in, uint8_t* out)>;

struct Cipher {
    const char* name;
    FileProcedure encrypt;
    FileProcedure decrypt;
    BlockFunction encipher_block;
    BlockFunction decipher_block;
    const char* openssl_name;
};

const Cipher kAes{"Aes256",
                  EncryptFileAes256,
                  DecryptFileAes256,
                  [](const uint8_t* key, const uint8_t* in, uint8_t* out) {
                      Aes256Context c;
                      Aes256SetEncryptKey(&c, key);
                      Aes256EncryptBlock(&c, in, out);
                  },
                  [](const uint8_t* key, const uint8_t* in, uint8_t* out) {
                      Aes256Context c;
                      Aes256SetDecryptKey(&c, key);
                      Aes256DecryptBlock(&c, in, out);
                  },
                  "-aes-256-cbc"};

const Cipher kCamellia{"Camellia256",
                       EncryptFileCamellia256,
                       DecryptFileCamellia256,
                       [](const uint8_t* key, const uint8_t* in, uint8_t* out) {
                           Camellia256Context c;
                           Camellia256SetKey(&c, key);
                           Camellia256EncryptBlock(in, out, &c);
                       },
                       [](const uint8_t* key, const uint8_t* in, uint8_t* out) {
                           Camellia256Context c;
                           Camellia256SetKey(&c, key);
                           Camellia256DecryptBlock(in, out, &c);
                       },
                       "-camellia-256-cbc"};

const std::vector<uint8_t> kKey = PatternBytes(32, 42);
const std::vector<uint8_t> kOtherKey = PatternBytes(32, 43);

std::vector<uint8_t> Padded(std::vector<uint8_t> plain) {
    const std::size_t length = plain.size();
    plain.resize(length + 17);
    plain.resize(PadFinalChunk(plain.data(), length));
    return plain;
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::vector<int32_t>* Recorded(void* context) {
    return static_cast<std::vector<int32_t>*>(context);
}
void Record(int32_t value, void* context) {
    Recorded(context)->push_back(value);
}

// Runs `run` where files may not grow beyond `limit` bytes, so writes fail
// the way they do on a full disk. Returns its result. On Linux `run` runs in
// a child process with a file size limit; on Windows the file service fails
// the writes beyond `limit` (of the test's folders) itself.
bool RunWithFileSizeLimit(long limit, const std::function<bool()>& run) {
#if defined(_WIN32)
    testing_support::InjectedFaults faults({"QUORVANE_FAULT_PATH=quorvane-test-",
                                            "QUORVANE_FAULT_OP=write",
                                            "QUORVANE_FAULT_AFTER=" + std::to_string(limit),
                                            "QUORVANE_FAULT_ERRNO=" + std::to_string(ENOSPC)});
    return run();
#else
    pid_t pid = fork();
    if (pid == 0) {
        rlimit rl{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        setrlimit(RLIMIT_FSIZE, &rl);
        signal(SIGXFSZ, SIG_IGN);
        _exit(run() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

#if defined(_WIN32)
// The access list of `path` as SDDL text ("D:P(A;;FA;;;S-1-5-...)"), empty
// when it cannot be read.
std::wstring AccessListOf(const fs::path& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                         DACL_SECURITY_INFORMATION, &text, nullptr);
    std::wstring result = text != nullptr ? text : L"";
    LocalFree(text);
    LocalFree(descriptor);
    return result;
}

// Gives `path` an access list of its own, not inherited from its folder: the
// user running the test and everybody else may do anything with it. (Wine
// keeps access lists as permission bits and can show a list widened so, but
// not one narrowed to the user.)
bool GiveOwnAccessList(const fs::path& path) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    unsigned char buffer[512];
    DWORD size = 0;
    const bool got = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    wchar_t* user = nullptr;
    if (!got || !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &user))
        return false;
    const std::wstring text = L"D:P(A;;FA;;;" + std::wstring(user) + L")(A;;FA;;;WD)";
    LocalFree(user);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted);
    std::wstring name = path.native();
    const DWORD set =
        SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, list, nullptr);
    LocalFree(descriptor);
    return set == ERROR_SUCCESS;
}
#endif

class FileCryptTest : public testing::TestWithParam<Cipher> {
  protected:
    const Cipher& cipher() const { return GetParam(); }

    bool Encrypt(const fs::path& from, const fs::path& to, ProgressCallback cb = nullptr,
                 void* context = nullptr, std::stop_token stop = {}) {
        return cipher().encrypt(from, to, kKey.data(), cb, context, stop, {}).done();
    }
    bool Decrypt(const fs::path& from, const fs::path& to, const std::vector<uint8_t>& key = kKey,
                 ProgressCallback cb = nullptr, void* context = nullptr,
                 std::stop_token stop = {}) {
        return cipher().decrypt(from, to, key.data(), cb, context, stop, {}).done();
    }

    // A container made by hand with a fixed IV, so that what a wrong key
    // deciphers to is the same on every run.
    std::vector<uint8_t> ContainerByHand(const std::vector<uint8_t>& plain) {
        std::vector<uint8_t> container = PatternBytes(16, 99);
        const std::vector<uint8_t> padded = Padded(plain);
        for (std::size_t at = 0; at < padded.size(); at += 16) {
            uint8_t block[16];
            for (int i = 0; i < 16; ++i)
                block[i] = padded[at + i] ^ container[container.size() - 16 + i];
            uint8_t out[16];
            cipher().encipher_block(kKey.data(), block, out);
            container.insert(container.end(), out, out + 16);
        }
        return container;
    }

    TempDir dir_;
};

TEST_P(FileCryptTest, ContainerLengthsAndRoundTrips) {
    for (std::size_t length : {std::size_t{0}, std::size_t{14}, std::size_t{15}, std::size_t{16},
                               std::size_t{31}, kMiB - 1, kMiB, 3 * kMiB + 5}) {
        SCOPED_TRACE(length);
        const auto plain = PatternBytes(length, static_cast<uint32_t>(length));
        WriteFile(dir_ / "plain", plain);
        ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box"));
        EXPECT_EQ(fs::file_size(dir_ / "box"), 16 + PaddedLength(length));
        ASSERT_TRUE(Decrypt(dir_ / "box", dir_ / "back"));
        EXPECT_EQ(ReadFile(dir_ / "back"), plain);
        EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"plain", "box", "back"}));
    }
    EXPECT_EQ(fs::file_size(dir_ / "box"), 3 * kMiB + 32);
}

TEST_P(FileCryptTest, ContainerIsCbcOfThePaddedFileByHand) {
    // Long enough to cross a chunk border: the chain must run on across it.
    const auto plain = PatternBytes(kMiB + 40, 5);
    WriteFile(dir_ / "plain", plain);
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box"));
    const auto container = ReadFile(dir_ / "box");
    const auto padded = Padded(plain);
    ASSERT_EQ(container.size(), 16 + padded.size());
    for (std::size_t at = 0; at < padded.size(); at += 16) {
        uint8_t block[16];
        cipher().decipher_block(kKey.data(), &container[16 + at], block);
        for (int i = 0; i < 16; ++i) block[i] ^= container[at + i];
        ASSERT_EQ(ToHex(block, 16), ToHex(&padded[at], 16)) << "block at " << at;
    }
}

TEST_P(FileCryptTest, EveryEncryptionGetsItsOwnIv) {
    WriteFile(dir_ / "plain", PatternBytes(100));
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "one"));
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "two"));
    const auto one = ReadFile(dir_ / "one");
    const auto two = ReadFile(dir_ / "two");
    EXPECT_NE(ToHex(one.data(), 16), ToHex(two.data(), 16));
    EXPECT_NE(one, two);
}

TEST_P(FileCryptTest, ProgressValues) {
    struct Case {
        std::size_t length;
        std::vector<int32_t> encrypting, decrypting;
    } cases[] = {
        {3 * kMiB, {33, 66, 100, 100}, {33, 66, 99, 100}},
        {10, {110}, {106}},
        {0, {0}, {106}},
        {kMiB - 1, {100}, {99, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        WriteFile(dir_ / "plain", PatternBytes(c.length));
        std::vector<int32_t> seen;
        ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box", Record, &seen));
        EXPECT_EQ(seen, c.encrypting);
        seen.clear();
        ASSERT_TRUE(Decrypt(dir_ / "box", dir_ / "back", kKey, Record, &seen));
        EXPECT_EQ(seen, c.decrypting);
    }
}

TEST_P(FileCryptTest, WrongKeyOrOtherCipherGivesNoOutput) {
    const Cipher& other = std::string(cipher().name) == "Aes256" ? kCamellia : kAes;
    for (std::size_t length : {std::size_t{5}, std::size_t{40}, kMiB - 1}) {
        SCOPED_TRACE(length);
        WriteFile(dir_ / "box", ContainerByHand(PatternBytes(length, 3)));
        // The container made by hand is a real one...
        ASSERT_TRUE(Decrypt(dir_ / "box", dir_ / "right"));
        EXPECT_EQ(ReadFile(dir_ / "right"), PatternBytes(length, 3));
        fs::remove(dir_ / "right");
        // ...but not under another key or the other cipher.
        EXPECT_FALSE(Decrypt(dir_ / "box", dir_ / "fresh", kOtherKey));
        EXPECT_FALSE(
            other.decrypt(dir_ / "box", dir_ / "fresh", kKey.data(), nullptr, nullptr, {}, {})
                .done());
        EXPECT_EQ(Names(dir_.path()), std::set<std::string>{"box"});
        WriteFile(dir_ / "kept", {'o', 'l', 'd'});
        EXPECT_FALSE(Decrypt(dir_ / "box", dir_ / "kept", kOtherKey));
        EXPECT_EQ(ReadFile(dir_ / "kept"), (std::vector<uint8_t>{'o', 'l', 'd'}));
        fs::remove(dir_ / "kept");
    }
}

TEST_P(FileCryptTest, SourcesThatAreNoContainerAreRefused) {
    // Plaintext of one repeated byte: cutting off whole blocks leaves a last
    // block that is plain 0xAB, never valid padding.
    WriteFile(dir_ / "plain", std::vector<uint8_t>(100, 0xAB));
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box"));
    const auto container = ReadFile(dir_ / "box");
    ASSERT_EQ(container.size(), 128u);
    auto cut = [&](std::size_t size) {
        return std::vector<uint8_t>(container.begin(), container.begin() + size);
    };
    auto longer = [&](std::size_t extra) {
        auto bytes = container;
        bytes.insert(bytes.end(), extra, 0);
        return bytes;
    };
    const std::vector<std::vector<uint8_t>> bad = {
        cut(127), cut(112), cut(96), longer(1), longer(15), cut(16), cut(31), cut(0), cut(8)};
    for (const auto& bytes : bad) {
        SCOPED_TRACE(bytes.size());
        WriteFile(dir_ / "bad", bytes);
        EXPECT_FALSE(Decrypt(dir_ / "bad", dir_ / "out"));
        EXPECT_FALSE(fs::exists(dir_ / "out"));
    }
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"plain", "box", "bad"}));
}

TEST_P(FileCryptTest, UnreadableSourceGivesFalse) {
    fs::create_directory(dir_ / "folder");
    EXPECT_FALSE(Encrypt(dir_ / "missing", dir_ / "out"));
    EXPECT_FALSE(Encrypt(dir_ / "folder", dir_ / "out"));
    EXPECT_FALSE(Decrypt(dir_ / "missing", dir_ / "out"));
    EXPECT_FALSE(Decrypt(dir_ / "folder", dir_ / "out"));
#if defined(_WIN32)
    // A device is not a file to encrypt.
    EXPECT_FALSE(Encrypt("NUL", dir_ / "out"));
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"folder"}));
    GTEST_SKIP() << "named pipes in a folder (mkfifo) and /dev/zero are POSIX only";
#else
    // A pipe must not hang the run, and a device that never ends must not
    // fill the disk.
    ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(Encrypt(dir_ / "pipe", dir_ / "out"));
    EXPECT_FALSE(Encrypt("/dev/zero", dir_ / "out"));
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"folder", "pipe"}));
#endif
}

TEST_P(FileCryptTest, DestinationThatCannotBeWrittenGivesFalse) {
    WriteFile(dir_ / "plain", PatternBytes(1000));
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box"));
    fs::create_directory(dir_ / "folder");
#if defined(_WIN32)
    // Named pipes live under \\.\pipe\ on Windows, never in a folder: a
    // read-only file takes their place.
    const char* const special = "read-only";
    WriteFile(dir_ / special, {'k', 'e', 'e', 'p'});
    fs::permissions(dir_ / special, fs::perms::owner_write, fs::perm_options::remove);
#else
    const char* const special = "pipe";
    ASSERT_EQ(mkfifo((dir_ / special).c_str(), 0600), 0);
#endif
    for (const char* target : {"no-such-folder/out", "folder", special}) {
        SCOPED_TRACE(target);
        EXPECT_FALSE(Encrypt(dir_ / "plain", dir_ / target));
        EXPECT_FALSE(Decrypt(dir_ / "box", dir_ / target));
    }
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
    EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
#if defined(_WIN32)
    EXPECT_EQ(ReadFile(dir_ / special), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
    fs::permissions(dir_ / special, fs::perms::owner_write, fs::perm_options::add);
#else
    EXPECT_TRUE(fs::is_fifo(dir_ / special));
#endif
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"plain", "box", "folder", special}));
}

TEST_P(FileCryptTest, WriteFailureKeepsTheFormerDestination) {
    const auto plain = PatternBytes(3 * kMiB + 5);
    WriteFile(dir_ / "plain", plain);
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box"));
    const std::vector<uint8_t> old = {'k', 'e', 'e', 'p'};
    WriteFile(dir_ / "out", old);
    // Files may not grow beyond 2 MiB: the write of the third MiB fails.
    EXPECT_FALSE(
        RunWithFileSizeLimit(2 * kMiB, [&] { return Encrypt(dir_ / "plain", dir_ / "out"); }));
    EXPECT_EQ(ReadFile(dir_ / "out"), old);
    EXPECT_FALSE(
        RunWithFileSizeLimit(2 * kMiB, [&] { return Decrypt(dir_ / "box", dir_ / "out"); }));
    EXPECT_EQ(ReadFile(dir_ / "out"), old);
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"plain", "box", "out"}));
    // The same runs succeed without the limit, replacing the old file.
    EXPECT_TRUE(
        RunWithFileSizeLimit(0x7fffffff, [&] { return Decrypt(dir_ / "box", dir_ / "out"); }));
    EXPECT_EQ(ReadFile(dir_ / "out"), plain);
}

TEST_P(FileCryptTest, StopInTheMiddleLeavesNothing) {
    WriteFile(dir_ / "plain", PatternBytes(3 * kMiB));
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box"));
    WriteFile(dir_ / "out", {'o', 'l', 'd'});
    struct StopAfter {
        std::stop_source source;
        int calls = 0;
        static void Callback(int32_t, void* context) {
            auto* self = static_cast<StopAfter*>(context);
            if (++self->calls == 2) self->source.request_stop();
        }
    };
    StopAfter encrypting;
    EXPECT_FALSE(Encrypt(dir_ / "plain", dir_ / "out", StopAfter::Callback, &encrypting,
                         encrypting.source.get_token()));
    EXPECT_EQ(encrypting.calls, 2);
    StopAfter decrypting;
    EXPECT_FALSE(Decrypt(dir_ / "box", dir_ / "out", kKey, StopAfter::Callback, &decrypting,
                         decrypting.source.get_token()));
    EXPECT_EQ(decrypting.calls, 2);
    EXPECT_EQ(ReadFile(dir_ / "out"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"plain", "box", "out"}));
}

TEST_P(FileCryptTest, SourceThatChangesOrIsBeingWipedIsRefused) {
    // Changes made at the second progress report, after the first MiB was read.
    struct Change {
        const char* what;
        std::function<void(const fs::path&)> change;
    };
    const std::vector<Change> changes = {
        {"shrinks", [](const fs::path& p) { fs::resize_file(p, kMiB + 3); }},
        {"grows", [](const fs::path& p) { fs::resize_file(p, 4 * kMiB); }},
        {"rewritten in place, same size",
         [](const fs::path& p) { WriteFile(p, PatternBytes(3 * kMiB, 7)); }},
    };
    for (const Change& c : changes) {
        const fs::path plain = dir_ / "plain";
        WriteFile(plain, PatternBytes(3 * kMiB));
        struct Meddle {
            const Change* change;
            fs::path path;
            int calls = 0;
            static void Callback(int32_t, void* context) {
                auto* self = static_cast<Meddle*>(context);
                if (++self->calls == 2) self->change->change(self->path);
            }
        } meddle{&c, plain};
        EXPECT_FALSE(Encrypt(plain, dir_ / "box", Meddle::Callback, &meddle)) << c.what;
        EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"plain"})) << c.what;
    }
    // Another run that holds the source to wipe it.
    const fs::path plain = dir_ / "plain";
#if defined(_WIN32)
    FileHandle wiper = FileHandle::OpenRegularForUpdate(plain);
    ASSERT_TRUE(wiper.IsOpen());
    ASSERT_TRUE(wiper.TryLock(FileHandle::Lock::kExclusive));
    EXPECT_FALSE(Encrypt(plain, dir_ / "box"));
    wiper.Close();
#else
    const int wiper = open(plain.c_str(), O_RDWR);
    ASSERT_GE(wiper, 0);
    ASSERT_EQ(flock(wiper, LOCK_EX), 0);
    EXPECT_FALSE(Encrypt(plain, dir_ / "box"));
    close(wiper);
#endif
    EXPECT_TRUE(Encrypt(plain, dir_ / "box"));
}

TEST_P(FileCryptTest, ReplacedDestinationKeepsItsPermissions) {
#if defined(_WIN32)
    // A file decrypted over again keeps its own access list, whether it was
    // replaced through ReplaceFileW or by the rename that takes its place
    // where that fails; a new file gets its folder's.
    const auto plain = PatternBytes(500, 7);
    WriteFile(dir_ / "plain", plain);
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box"));
    const std::wstring usual = AccessListOf(dir_ / "plain");
    ASSERT_FALSE(usual.empty());
    for (const char* op : {"", "replace"}) {
        SCOPED_TRACE(op);
        WriteFile(dir_ / "private", {'o', 'l', 'd'});
        ASSERT_TRUE(GiveOwnAccessList(dir_ / "private"));
        const std::wstring private_list = AccessListOf(dir_ / "private");
        ASSERT_NE(private_list, usual);
        testing_support::InjectedFaults faults({"QUORVANE_FAULT_PATH=" + dir_.path().string(),
                                                std::string("QUORVANE_FAULT_OP=") + op});
        ASSERT_TRUE(Decrypt(dir_ / "box", dir_ / "private"));
        EXPECT_EQ(ReadFile(dir_ / "private"), plain);
        EXPECT_EQ(AccessListOf(dir_ / "private"), private_list);
        EXPECT_EQ(Names(dir_.path()), (std::set<std::string>{"plain", "box", "private"}));
        fs::remove(dir_ / "private");
    }
    ASSERT_TRUE(Decrypt(dir_ / "box", dir_ / "new"));
    EXPECT_EQ(AccessListOf(dir_ / "new"), usual);
#else
    // A private file decrypted over again must not become readable by others.
    const auto plain = PatternBytes(500, 7);
    WriteFile(dir_ / "plain", plain);
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box"));
    WriteFile(dir_ / "private", {'o', 'l', 'd'});
    fs::permissions(dir_ / "private", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(Decrypt(dir_ / "box", dir_ / "private"));
    EXPECT_EQ(ReadFile(dir_ / "private"), plain);
    EXPECT_EQ(fs::status(dir_ / "private").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    // A new file gets the usual permissions of a new file.
    const mode_t mask = umask(0);
    umask(mask);
    ASSERT_TRUE(Decrypt(dir_ / "box", dir_ / "new"));
    EXPECT_EQ(static_cast<mode_t>(fs::status(dir_ / "new").permissions()), 0666 & ~mask);
#endif
}

TEST_P(FileCryptTest, OpensslReadsTheContainer) {
    const char* openssl = nullptr;
#if defined(_WIN32)
    GTEST_SKIP() << "compares with Linux's openssl, which takes no Windows paths";
#endif
    for (const char* candidate : {"/usr/bin/openssl", "/usr/local/bin/openssl", "/bin/openssl"})
        if (fs::exists(candidate)) openssl = candidate;
    if (openssl == nullptr) GTEST_SKIP() << "openssl is not installed";
    const auto plain = PatternBytes(kMiB + 77, 11);
    WriteFile(dir_ / "plain", plain);
    ASSERT_TRUE(Encrypt(dir_ / "plain", dir_ / "box"));
    const auto container = ReadFile(dir_ / "box");
    WriteFile(dir_ / "ciphertext", std::vector<uint8_t>(container.begin() + 16, container.end()));
    const auto result =
        RunProgram({openssl, "enc", "-d", cipher().openssl_name, "-nopad", "-K", ToHex(kKey), "-iv",
                    ToHex(container.data(), 16), "-in", (dir_ / "ciphertext").string(), "-out",
                    (dir_ / "opened").string()});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_TRUE(ReadFile(dir_ / "opened") == Padded(plain));
}

INSTANTIATE_TEST_SUITE_P(BothCiphers, FileCryptTest, testing::Values(kAes, kCamellia),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
