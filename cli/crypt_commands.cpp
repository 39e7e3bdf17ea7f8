// encrypt, decrypt and wipe: the command-line faces of the encryption page and
// the tools page's wipe list. Containers are the window's own: the password
// goes UTF-8 -> UTF-16 -> key bytes by the page's rule, and outputs are named
// as the page names them.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt_stop.h"
#include "cli/password_input.h"
#include "cli/progress_line.h"
#include "encrypt/file_crypt.h"
#include "encrypt/key_bytes.h"
#include "encrypt/output_naming.h"
#include "platform/system/secure_wipe.h"
#include "tools/wipe.h"

namespace fs = std::filesystem;

namespace {

// 32 UTF-16 units take at most 96 bytes of UTF-8 (three per unit, or four
// per surrogate pair); longer text cannot fit.
constexpr std::size_t kMaxPasswordUtf8 = 3 * kMaxPasswordUnits;

struct CryptOptions {
    std::string cipher = "aes256";
    bool wipe = false;
    std::string password_file;
    std::vector<std::string> files;
};

struct WipeOptions {
    int passes = 1;
    bool yes = false;
    std::vector<std::string> files;
};

// Every copy of the password and the key is wiped when this goes.
struct Secret {
    std::string text;
    std::u16string units;
    uint8_t key[32] = {};
    ~Secret() {
        SecureWipe(text.data(), text.size());
        SecureWipe(units.data(), units.size() * sizeof(char16_t));
        SecureWipe(key, sizeof key);
    }
};

bool Refuse(const char* message) {
    std::fprintf(stderr, "quorvane-cli: %s\n", message);
    return false;
}

bool ReadPassword(const CryptOptions& options, bool twice, Secret& secret) {
    if (!options.password_file.empty()) {
        if (ReadPasswordFile(options.password_file, secret.text)) return true;
        std::fprintf(stderr, "quorvane-cli: cannot read the password file %s\n",
                     options.password_file.c_str());
        return false;
    }
    if (!StdinIsTerminal()) {
        return Refuse(
            "no terminal to ask for the password; give --password-file FILE (- for "
            "standard input)");
    }
    if (!AskPasswordOnTerminal("Password: ", secret.text)) {
        return Refuse("cannot read the password from the terminal");
    }
    if (!twice) return true;
    Secret again;
    if (!AskPasswordOnTerminal("Password again: ", again.text)) {
        return Refuse("cannot read the password from the terminal");
    }
    if (again.text != secret.text) return Refuse("the two passwords differ");
    return true;
}

// Only the low byte of each character reaches the key, so two passwords
// that differ only above U+00FF open each other's files.
void WarnAboutWideCharacters(std::u16string_view units) {
    for (char16_t unit : units) {
        if (unit > 0xFF) {
            std::fprintf(stderr,
                         "quorvane-cli: warning: the password holds characters above U+00FF; only "
                         "the low 8 bits of each count, so other passwords give the same key\n");
            return;
        }
    }
}

// Reads the password and turns it into the key; explains any refusal.
bool ObtainKey(const CryptOptions& options, bool twice, Secret& secret) {
    if (!ReadPassword(options, twice, secret)) return false;
    if (secret.text.empty()) return Refuse("the password is empty");
    // A NUL gives a zero key byte, like the end of the password: "ab\0" would
    // be "ab", and a NUL alone the empty password.
    if (secret.text.find('\0') != std::string::npos) {
        return Refuse("the password holds a NUL character");
    }
    if (secret.text.size() > kMaxPasswordUtf8) {
        return Refuse("the password is longer than 32 characters (UTF-16 units)");
    }
    if (!Utf8ToUtf16(secret.text, secret.units)) return Refuse("the password is not valid UTF-8");
    if (secret.units.size() > kMaxPasswordUnits) {
        return Refuse("the password is longer than 32 characters (UTF-16 units)");
    }
    KeyBytesFromPassword(secret.units, secret.key);
    if (KeyBytesAreEmpty(secret.key)) {
        return Refuse(
            "the password gives the same key as an empty password (every character's low 8 bits "
            "are zero)");
    }
    WarnAboutWideCharacters(secret.units);
    return true;
}

uint64_t SizeOrZero(const fs::path& path) {
    std::error_code error;
    const uintmax_t size = fs::file_size(path, error);
    return error ? 0 : size;
}

using FileProcedure = bool (*)(const fs::path&, const fs::path&, const uint8_t*, ProgressCallback,
                               void*, std::stop_token);

FileProcedure ProcedureFor(bool camellia, bool decrypt) {
    if (camellia) return decrypt ? DecryptFileCamellia256 : EncryptFileCamellia256;
    return decrypt ? DecryptFileAes256 : EncryptFileAes256;
}

// Turns WipeFile's block indices into one percentage over all passes.
struct WipeProgress {
    ProgressLine line;
    uint64_t blocks;
    uint64_t passes;
    uint64_t pass = 0;
    uint64_t blocks_done = 0;

    static void Callback(int32_t block, void* context) {
        auto* self = static_cast<WipeProgress*>(context);
        if (block == 0 && self->blocks_done > 0) ++self->pass;
        self->blocks_done = self->pass * self->blocks + static_cast<uint32_t>(block) + 1;
        self->line.Update(
            static_cast<int>(self->blocks_done * 100 / (self->blocks * self->passes)));
    }
};

bool WipeWithProgress(const fs::path& path, int passes, std::stop_token stop) {
    const uint64_t size = SizeOrZero(path);
    const uint64_t pass_count = static_cast<uint64_t>(passes & 0xFF);
    WipeProgress progress{ProgressLine(path.filename().string() + " (wiping)", size * pass_count),
                          WipeBlocksPerPass(size), pass_count == 0 ? 1 : pass_count};
    return WipeFile(path, passes, WipeProgress::Callback, &progress, stop);
}

void RunCrypt(const CryptOptions& options, bool decrypt, CliContext& context) {
    Secret secret;
    if (!ObtainKey(options, !decrypt, secret)) {
        context.Fail(kExitUsage);
        return;
    }
    const bool camellia = options.cipher == "camellia256";
    const FileProcedure procedure = ProcedureFor(camellia, decrypt);
    InterruptStop interrupt;
    for (const std::string& file : options.files) {
        if (interrupt.interrupted()) break;
        const fs::path source(file);
        const fs::path destination = OutputPathFor(source, camellia, decrypt);
        bool done;
        {
            ProgressLine line(source.filename().string(), SizeOrZero(source));
            done = procedure(source, destination, secret.key, ProgressLine::Callback, &line,
                             interrupt.token());
        }
        if (!done) {
            context.Fail(kExitFailure);
            if (interrupt.interrupted()) {
                std::fprintf(stderr, "%s: stopped, nothing written\n", file.c_str());
            } else if (decrypt) {
                std::fprintf(stderr,
                             "%s: decryption failed (wrong password or cipher, not a container, "
                             "or a read or write error), nothing written\n",
                             file.c_str());
            } else {
                std::fprintf(stderr,
                             "%s: encryption failed (unreadable file, or the output could not "
                             "be written), nothing written\n",
                             file.c_str());
            }
            continue;
        }
        const char* verb = decrypt ? "decrypted" : "encrypted";
        if (!options.wipe || decrypt) {
            std::fprintf(stderr, "%s: %s to %s\n", file.c_str(), verb, destination.c_str());
        } else if (WipeWithProgress(source, 1, interrupt.token())) {
            std::fprintf(stderr, "%s: %s to %s, source wiped\n", file.c_str(), verb,
                         destination.c_str());
        } else {
            context.Fail(kExitFailure);
            std::fprintf(stderr, "%s: %s to %s, but wiping the source failed\n", file.c_str(), verb,
                         destination.c_str());
        }
    }
    if (interrupt.interrupted()) {
        context.Fail(kExitFailure);
        std::fprintf(stderr, "quorvane-cli: interrupted; later files were left alone\n");
    }
}

// Asks on the terminal; true only for an explicit yes.
bool ConfirmWipe(const WipeOptions& options) {
    std::fprintf(stderr,
                 "Overwrite and delete %zu file(s) with %d pass(es)? They cannot be recovered. "
                 "[y/N] ",
                 options.files.size(), options.passes);
    std::fflush(stderr);
    std::string answer;
    return ReadStdinLine(answer) && (answer == "y" || answer == "Y" || answer == "yes");
}

void RunWipe(const WipeOptions& options, CliContext& context) {
    if (!options.yes) {
        if (!StdinIsTerminal()) {
            Refuse("wipe asks for confirmation on a terminal; give --yes to wipe without asking");
            context.Fail(kExitUsage);
            return;
        }
        if (!ConfirmWipe(options)) {
            std::fprintf(stderr, "quorvane-cli: nothing was wiped\n");
            context.Fail(kExitFailure);
            return;
        }
    }
    InterruptStop interrupt;
    for (const std::string& file : options.files) {
        if (interrupt.interrupted()) break;
        if (WipeWithProgress(file, options.passes, interrupt.token())) {
            std::fprintf(stderr, "%s: wiped\n", file.c_str());
            continue;
        }
        context.Fail(kExitFailure);
        std::fprintf(stderr,
                     interrupt.interrupted()
                         ? "%s: stopped, the file is partly overwritten and still there\n"
                         : "%s: wipe failed (not a regular file, cannot be written, or "
                           "cannot be deleted)\n",
                     file.c_str());
    }
    if (interrupt.interrupted()) {
        std::fprintf(stderr, "quorvane-cli: interrupted; later files were left alone\n");
    }
}

void AddCipherOptions(CLI::App* sub, CryptOptions& options) {
    sub->add_option("--cipher", options.cipher, "block cipher")
        ->check(CLI::IsMember({"aes256", "camellia256"}))
        ->capture_default_str();
    sub->add_option("--password-file", options.password_file,
                    "read the password from the first line of FILE (- for standard input) "
                    "instead of asking on the terminal");
    sub->add_option("FILE", options.files, "files to work on")->required();
}

}  // namespace

void RegisterCryptCommands(CLI::App& app, CliContext& context) {
    auto encrypt = std::make_shared<CryptOptions>();
    auto* encrypt_cmd = app.add_subcommand(
        "encrypt", "encrypt each FILE into FILE.aes256 (or FILE.cam256 with Camellia-256)");
    AddCipherOptions(encrypt_cmd, *encrypt);
    encrypt_cmd->add_flag("--wipe", encrypt->wipe,
                          "wipe each source (one pass) once its container is complete");
    encrypt_cmd->callback([encrypt, &context] { RunCrypt(*encrypt, false, context); });

    auto decrypt = std::make_shared<CryptOptions>();
    auto* decrypt_cmd = app.add_subcommand(
        "decrypt",
        "decrypt each container: x.aes256 becomes x (x.cam256 with Camellia-256); "
        "any other name gets .decrypted appended");
    AddCipherOptions(decrypt_cmd, *decrypt);
    decrypt_cmd->callback([decrypt, &context] { RunCrypt(*decrypt, true, context); });

    auto wipe = std::make_shared<WipeOptions>();
    auto* wipe_cmd =
        app.add_subcommand("wipe", "overwrite each FILE in place (0xFF, 0x00, ...) and delete it");
    wipe_cmd->add_option("--passes", wipe->passes, "overwriting passes (0-255)")
        ->check(CLI::Range(0, 255))
        ->capture_default_str();
    wipe_cmd->add_flag("--yes", wipe->yes, "do not ask for confirmation");
    wipe_cmd->add_option("FILE", wipe->files, "files to wipe")->required();
    wipe_cmd->callback([wipe, &context] { RunWipe(*wipe, context); });
}
