// encrypt, decrypt and wipe: the command-line faces of the encryption page and
// the tools page's wipe list. Containers are the window's own: the password
// goes UTF-8 -> UTF-16 -> key bytes by the page's rule, and outputs are named
// as the page names them.
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt_stop.h"
#include "cli/outcome_text.h"
#include "cli/password_input.h"
#include "cli/progress_line.h"
#include "encrypt/crypt_run.h"
#include "encrypt/key_bytes.h"
#include "platform/system/file_names.h"
#include "platform/system/ordered_list_run.h"
#include "platform/system/secret_buffer.h"
#include "tools/wipe.h"

namespace fs = std::filesystem;

namespace {

// 32 UTF-16 units take at most 96 bytes of UTF-8 (three per unit, or four
// per surrogate pair); longer text cannot fit.
constexpr std::size_t kMaxPasswordUtf8 = 3 * kMaxPasswordUnits;

struct CryptOptions {
    std::string cipher = "aes256";
    bool wipe = false;
    bool force = false;
    unsigned jobs = 0;
    std::string password_file;
    std::vector<std::string> files;
};

struct WipeOptions {
    int passes = 1;
    bool yes = false;
    unsigned jobs = 0;
    std::vector<std::string> files;
};

// Every copy of the password and the key is wiped when this goes.
struct Secret {
    SecretString text;
    SecretU16String units;
    Wiped<uint8_t[32]> key;
};

bool Refuse(const char* message) {
    std::fprintf(stderr, "quorvane-cli: %s\n", message);
    return false;
}

bool ReadPassword(const CryptOptions& options, bool twice, Secret& secret) {
    if (!options.password_file.empty()) {
        if (ReadPasswordFile(options.password_file, secret.text.text)) return true;
        std::fprintf(stderr, "quorvane-cli: cannot read the password file %s\n",
                     options.password_file.c_str());
        return false;
    }
    if (!StdinIsTerminal()) {
        return Refuse(
            "no terminal to ask for the password; give --password-file FILE (- for "
            "standard input)");
    }
    if (!AskPasswordOnTerminal("Password: ", secret.text.text)) {
        return Refuse("cannot read the password from the terminal");
    }
    if (!twice) return true;
    Secret again;
    if (!AskPasswordOnTerminal("Password again: ", again.text.text)) {
        return Refuse("cannot read the password from the terminal");
    }
    if (again.text.text != secret.text.text) return Refuse("the two passwords differ");
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
    const auto& text = secret.text.text;
    auto& units = secret.units.text;
    if (text.empty()) return Refuse("the password is empty");
    // A NUL gives a zero key byte, like the end of the password: "ab\0" would
    // be "ab", and a NUL alone the empty password.
    if (text.find('\0') != std::string::npos) return Refuse("the password holds a NUL character");
    if (text.size() > kMaxPasswordUtf8) {
        return Refuse("the password is longer than 32 characters (UTF-16 units)");
    }
    if (!Utf8ToUtf16(text, units)) return Refuse("the password is not valid UTF-8");
    if (units.size() > kMaxPasswordUnits) {
        return Refuse("the password is longer than 32 characters (UTF-16 units)");
    }
    const std::u16string_view unit_view(units.data(), units.size());
    KeyBytesFromPassword(unit_view, secret.key.value);
    if (KeyBytesAreEmpty(secret.key.value)) {
        return Refuse(
            "the password gives the same key as an empty password (every character's low 8 bits "
            "are zero)");
    }
    WarnAboutWideCharacters(unit_view);
    return true;
}

// The command line's names (UTF-8) as paths of the system.
std::vector<fs::path> PathsFromUtf8(const std::vector<std::string>& names) {
    std::vector<fs::path> paths;
    paths.reserve(names.size());
    for (const std::string& name : names) paths.push_back(PathFromUtf8(name));
    return paths;
}

uint64_t SizeOrZero(const fs::path& path) {
    std::error_code error;
    const uintmax_t size = fs::file_size(path, error);
    return error ? 0 : size;
}

// What the command says of each file of an encryption or decryption run.
// Events come one at a time; with several files at once no progress line is
// shown, and the outcomes come in list order.
class CryptReport {
  public:
    CryptReport(std::span<const fs::path> sources, bool decrypt, bool show_progress,
                CliContext& context)
        : sources_(sources), decrypt_(decrypt), show_progress_(show_progress), context_(context) {}

    void operator()(const CryptRunEvent& event) {
        const fs::path& source = sources_[event.index];
        switch (event.kind) {
            case CryptRunEvent::Kind::kFileStarted:
                in_flight_[event.index] = {*event.destination, false};
                ShowLine(PathToUtf8(source.filename()), source);
                break;
            case CryptRunEvent::Kind::kProgress:
                if (line_) line_->Update(event.percent);
                break;
            case CryptRunEvent::Kind::kWipeStarted:
                in_flight_[event.index].wiping = true;
                ShowLine(PathToUtf8(source.filename()) + " (wiping)", source);
                break;
            case CryptRunEvent::Kind::kWipeProgress:
                if (line_) line_->Update(event.wipe.TotalPercent());
                break;
            case CryptRunEvent::Kind::kFileFinished:
                line_.reset();
                in_flight_.erase(event.index);
                Finished(source, *event.destination, event.outcome, event.result);
                break;
        }
    }

    /// Says what became of the files that were being worked on when the run
    /// was stopped.
    void Stopped() {
        line_.reset();
        for (const auto& [index, file] : in_flight_) {
            const std::string source = PathToUtf8(sources_[index]);
            if (file.wiping) {
                std::fprintf(stderr,
                             "%s: stopped while wiping; %s is complete and the partly "
                             "overwritten source was deleted\n",
                             source.c_str(), PathToUtf8(file.destination).c_str());
            } else {
                std::fprintf(stderr, "%s: stopped, nothing written\n", source.c_str());
            }
        }
    }

  private:
    void Finished(const fs::path& source, const fs::path& destination, CryptFileOutcome outcome,
                  const FileResult& result) {
        const char* verb = decrypt_ ? "decrypted" : "encrypted";
        switch (outcome) {
            case CryptFileOutcome::kDone:
                std::fprintf(stderr, "%s: %s to %s\n", PathToUtf8(source).c_str(), verb,
                             PathToUtf8(destination).c_str());
                return;
            case CryptFileOutcome::kDoneWiped:
                std::fprintf(stderr, "%s: %s to %s, source wiped\n", PathToUtf8(source).c_str(),
                             verb, PathToUtf8(destination).c_str());
                return;
            case CryptFileOutcome::kDoneNotWiped:
                std::fprintf(stderr, "%s: %s to %s; stopped before wiping, the source is kept\n",
                             PathToUtf8(source).c_str(), verb, PathToUtf8(destination).c_str());
                return;
            case CryptFileOutcome::kWipeFailed:
                std::fprintf(stderr, "%s: %s to %s, but wiping the source failed: %s\n",
                             PathToUtf8(source).c_str(), verb, PathToUtf8(destination).c_str(),
                             DescribeOutcome(result).c_str());
                break;
            case CryptFileOutcome::kFailed:
                if (result.outcome == FileOutcome::kDestinationRefused) {
                    std::fprintf(stderr,
                                 "%s: %s already exists; give --force to replace it, nothing "
                                 "written\n",
                                 PathToUtf8(source).c_str(), PathToUtf8(destination).c_str());
                } else {
                    std::fprintf(stderr, "%s: %s failed: %s; nothing written\n",
                                 PathToUtf8(source).c_str(), decrypt_ ? "decryption" : "encryption",
                                 DescribeOutcome(result).c_str());
                }
                break;
        }
        context_.Fail(kExitFailure);
    }

    void ShowLine(const std::string& label, const fs::path& source) {
        if (show_progress_) line_.emplace(label, SizeOrZero(source));
    }

    struct InFlight {
        fs::path destination;
        bool wiping = false;
    };

    std::span<const fs::path> sources_;
    bool decrypt_;
    bool show_progress_;
    CliContext& context_;
    std::optional<ProgressLine> line_;
    std::map<std::size_t, InFlight> in_flight_;  // started and not yet finished
};

void RunCrypt(const CryptOptions& options, bool decrypt, CliContext& context) {
    Secret secret;
    if (!ObtainKey(options, !decrypt, secret)) {
        context.Fail(kExitUsage);
        return;
    }
    CryptRunSettings settings;
    settings.cipher =
        options.cipher == "camellia256" ? CryptCipher::kCamellia256 : CryptCipher::kAes256;
    settings.direction = decrypt ? CryptDirection::kDecrypt : CryptDirection::kEncrypt;
    settings.wipe =
        options.wipe ? SourceWipePolicy::kWipeUntilFirstFailure : SourceWipePolicy::kKeep;
    settings.replace_existing = options.force;
    settings.jobs = ListJobs(options.jobs);
    const std::vector<fs::path> sources = PathsFromUtf8(options.files);
    CryptReport report(sources, decrypt, settings.jobs == 1 || sources.size() == 1, context);
    InterruptStop interrupt;
    const bool finished =
        RunCryptFiles(sources, secret.key.value, settings, std::ref(report), interrupt.token());
    if (!finished) {
        report.Stopped();
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
    const std::vector<fs::path> files = PathsFromUtf8(options.files);
    const unsigned jobs = ListJobs(options.jobs);
    const bool show_progress = jobs == 1 || files.size() == 1;
    std::optional<ProgressLine> line;
    std::set<std::size_t> in_flight;  // started and not yet finished
    InterruptStop interrupt;
    const bool finished = WipeFileList(
        files, options.passes,
        [&](const WipeListEvent& event) {
            const fs::path& file = files[event.index];
            switch (event.kind) {
                case WipeListEvent::Kind::kFileStarted:
                    in_flight.insert(event.index);
                    if (show_progress)
                        line.emplace(PathToUtf8(file.filename()) + " (wiping)", SizeOrZero(file));
                    break;
                case WipeListEvent::Kind::kProgress:
                    if (line) line->Update(event.position.TotalPercent());
                    break;
                case WipeListEvent::Kind::kFileFinished:
                    line.reset();
                    in_flight.erase(event.index);
                    if (event.result.done()) {
                        std::fprintf(stderr, "%s: wiped\n", PathToUtf8(file).c_str());
                    } else {
                        context.Fail(kExitFailure);
                        std::fprintf(stderr, "%s: wipe failed: %s\n", PathToUtf8(file).c_str(),
                                     DescribeOutcome(event.result).c_str());
                    }
                    break;
            }
        },
        interrupt.token(), jobs);
    if (!finished) {
        line.reset();
        context.Fail(kExitFailure);
        for (std::size_t index : in_flight) {
            std::fprintf(stderr, "%s: stopped, the file is partly overwritten and still there\n",
                         PathToUtf8(files[index]).c_str());
        }
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
    sub->add_option("-j,--jobs", options.jobs,
                    "files worked on at once (default: one per core; 1 works one after "
                    "another); the messages keep the order of the files");
    sub->add_flag("--force", options.force,
                  "replace an output file that already exists (without it, such a file fails "
                  "and is left as it is)");
    sub->add_option("FILE", options.files, "files to work on")->required();
}

}  // namespace

void RegisterCryptCommands(CLI::App& app, CliContext& context) {
    auto encrypt = std::make_shared<CryptOptions>();
    auto* encrypt_cmd = app.add_subcommand(
        "encrypt", "encrypt each FILE into FILE.aes256 (or FILE.cam256 with Camellia-256)");
    AddCipherOptions(encrypt_cmd, *encrypt);
    encrypt_cmd->add_flag("--wipe", encrypt->wipe,
                          "wipe each source (one pass) once its container is complete; after "
                          "a file fails, no later source is wiped");
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
    wipe_cmd->add_option("-j,--jobs", wipe->jobs,
                         "files wiped at once (default: one per core; 1 wipes one after another)");
    wipe_cmd->add_option("FILE", wipe->files, "files to wipe")->required();
    wipe_cmd->callback([wipe, &context] { RunWipe(*wipe, context); });
}
