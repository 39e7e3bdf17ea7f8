// hash: digests of files with the hash page's five algorithms, printed and
// checked in the coreutils line forms (see hash_lines.h).
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/hash_lines.h"
#include "cli/outcome_text.h"
#include "cli/progress_line.h"
#include "hash/digest_text.h"
#include "hash/hash_algorithm.h"
#include "platform/system/file_names.h"
#include "platform/system/ordered_list_run.h"

namespace {

constexpr std::size_t kStdinChunk = 1 << 20;
const std::string kStandardInput = "-";

// What --check prints: --status nothing, --quiet only failures, --warn
// also each improperly formatted line. The last of them given wins.
enum class Verbosity { kNormal, kStatus, kQuiet, kWarn };

struct HashOptions {
    std::string algo_list;
    bool all = false;
    bool upper = false;
    bool check = false;
    // Writing lists.
    bool tag = false;
    bool untagged = false;
    bool zero = false;
    bool binary = false;
    bool text = false;
    // Checking lists.
    Verbosity verbosity = Verbosity::kNormal;
    bool strict = false;
    bool ignore_missing = false;
    unsigned jobs = 0;  // files hashed at once; 0: one per core
    std::vector<std::string> files;
};

// The chosen algorithms in the hash page's order, each once.
bool SelectAlgorithms(const HashOptions& options, std::vector<HashAlgorithm>& selected) {
    std::vector<bool> wanted(std::size(kAllHashAlgorithms), false);
    if (options.all) wanted.assign(wanted.size(), true);
    std::size_t start = 0;
    while (!options.all && start <= options.algo_list.size() && !options.algo_list.empty()) {
        const std::size_t comma =
            std::min(options.algo_list.find(',', start), options.algo_list.size());
        const std::string name = options.algo_list.substr(start, comma - start);
        const auto algorithm = HashAlgorithmByName(name);
        if (!algorithm) {
            std::fprintf(stderr,
                         "quorvane-cli: unknown algorithm '%s' (choose from md5, sha1, sha256, "
                         "sha512, keccak)\n",
                         name.c_str());
            return false;
        }
        wanted[std::size_t(*algorithm)] = true;
        start = comma + 1;
    }
    selected.clear();
    for (HashAlgorithm algorithm : kAllHashAlgorithms) {
        if (wanted[std::size_t(algorithm)]) selected.push_back(algorithm);
    }
    return true;
}

void ReportFailure(const std::string& path, const FileResult& result) {
    std::fprintf(stderr, "quorvane-cli: %s: %s\n", path.c_str(), DescribeOutcome(result).c_str());
}

// Digests of standard input for every algorithm in one pass: it can be read
// only once.
bool DigestStandardInput(const std::vector<HashAlgorithm>& algorithms,
                         std::vector<std::vector<uint8_t>>& digests) {
    std::vector<Digest> streams;
    for (HashAlgorithm algorithm : algorithms) streams.emplace_back(algorithm);
    const auto buffer = std::make_unique<uint8_t[]>(kStdinChunk);
    std::size_t got = 0;
    while ((got = std::fread(buffer.get(), 1, kStdinChunk, stdin)) > 0) {
        for (auto& stream : streams) stream.Update(buffer.get(), got);
    }
    if (std::ferror(stdin)) return false;
    std::clearerr(stdin);
    digests.clear();
    for (auto& stream : streams) digests.push_back(stream.Final());
    return true;
}

// Digests of one file (or of standard input for "-"), one per algorithm.
// Pipes and devices are read to their end like files.
FileResult DigestPath(const std::string& path, const std::vector<HashAlgorithm>& algorithms,
                      std::vector<std::vector<uint8_t>>& digests, bool show_progress = true) {
    if (path == kStandardInput) {
        if (DigestStandardInput(algorithms, digests)) return {};
        return FailureFromErrno(FileOutcome::kReadError);
    }
    show_progress = show_progress && ProgressLine::Shown();
    std::error_code error;
    const uint64_t size = show_progress ? std::filesystem::file_size(PathFromUtf8(path), error) : 0;
    digests.clear();
    std::vector<Digest> running(algorithms.begin(), algorithms.end());
    FileResult result;
    {
        ProgressLine progress(path, error || !show_progress ? 0 : size);
        result = HashFileInto(PathFromUtf8(path), running,
                              show_progress ? ProgressLine::Callback : nullptr, &progress, {},
                              HashInput::kStream);
    }
    if (!result.done()) return result;
    for (Digest& digest : running) digests.push_back(digest.Final());
    return result;
}

// One file's digests, or why there are none.
struct HashedFile {
    FileResult result;
    std::vector<std::vector<uint8_t>> digests;
};

void RunHash(const HashOptions& options, const std::vector<HashAlgorithm>& algorithms,
             CliContext& context) {
    LineForm form;
    form.tagged = options.tag || (algorithms.size() > 1 && !options.untagged);
    form.binary = options.binary && !options.text;
    form.escape = !options.zero;
    const char line_end = options.zero ? '\0' : '\n';
    const HexCase letter_case = options.upper ? HexCase::kUpper : HexCase::kLower;
    const std::vector<std::string>& files = options.files;
    // Standard input can be read only once, by one file at a time.
    const bool reads_stdin = std::find(files.begin(), files.end(), kStandardInput) != files.end();
    const unsigned jobs = reads_stdin ? 1 : ListJobs(options.jobs);
    const bool show_progress = jobs == 1 || files.size() == 1;
    const auto work = [&](std::size_t i) {
        HashedFile file;
        file.result = DigestPath(files[i], algorithms, file.digests, show_progress);
        return file;
    };
    const auto deliver = [&](std::size_t i, HashedFile& file) {
        if (!file.result.done()) {
            ReportFailure(files[i], file.result);
            context.Fail(kExitFailure);
            return;
        }
        for (std::size_t a = 0; a < algorithms.size(); ++a) {
            std::string line = FormatChecksumLine(
                algorithms[a], DigestHex(file.digests[a], letter_case), files[i], form);
            line += line_end;
            std::fwrite(line.data(), 1, line.size(), stdout);
        }
        std::fflush(stdout);
    };
    RunListInOrder<HashedFile>(files.size(), jobs, work, deliver, {});
}

struct CheckTally {
    long mismatched = 0;
    long unreadable = 0;
    long malformed = 0;
    long checked = 0;
    long verified = 0;  // files read and compared, missing ones left out
};

// The algorithms a line may be checked with: its tag's, or else every
// selected algorithm whose digest has the line's length, in the hash page's
// order. An untagged 128-digit line is thus tried as SHA-512 and then as
// Keccak, which both write such lines.
std::vector<HashAlgorithm> LineAlgorithms(const ChecksumLine& line,
                                          const std::vector<HashAlgorithm>& candidates) {
    const auto fits = [&](HashAlgorithm algorithm) {
        return line.hex.size() == 2 * DigestSize(algorithm);
    };
    if (line.algorithm) {
        if (!fits(*line.algorithm)) return {};
        return {*line.algorithm};
    }
    std::vector<HashAlgorithm> fitting;
    for (HashAlgorithm algorithm : candidates) {
        if (fits(algorithm)) fitting.push_back(algorithm);
    }
    return fitting;
}

// A line of a list: parsed on the thread reading the list, because the
// parser learns the list's form from its first line, and verified on any.
struct ListedFile {
    long number = 0;
    std::optional<ChecksumLine> line;  // nothing: improperly formatted
    std::vector<HashAlgorithm> algorithms;
    std::vector<uint8_t> expected;
};

struct VerifiedFile {
    FileResult result;
    bool matched = false;
};

VerifiedFile VerifyListedFile(const ListedFile& file, bool show_progress) {
    VerifiedFile verified;
    for (std::size_t i = 0;
         i < file.algorithms.size() && verified.result.done() && !verified.matched; ++i) {
        std::vector<std::vector<uint8_t>> digests;
        verified.result = DigestPath(file.line->name, {file.algorithms[i]}, digests, show_progress);
        verified.matched = verified.result.done() && digests[0] == file.expected;
    }
    return verified;
}

// One list being checked, with what its lines have shown so far. Lines are
// verified in batches, several files at once, and reported in list order;
// a batch bounds what is held however long the list.
class ListCheck {
  public:
    ListCheck(const HashOptions& options, const std::vector<HashAlgorithm>& candidates,
              std::string shown)
        : options_(options), candidates_(candidates), shown_(std::move(shown)) {}

    void Line(const std::string& text, long number);
    // Verifies what is left and prints the summary; false when the list did
    // not check out.
    bool Finish();

  private:
    static constexpr std::size_t kBatchLines = 1024;

    bool Prints() const { return options_.verbosity != Verbosity::kStatus; }
    void VerifyBatch();
    void Malformed(long number);
    void Report(const ListedFile& file, const VerifiedFile& verified);

    const HashOptions& options_;
    const std::vector<HashAlgorithm>& candidates_;
    const std::string shown_;
    ChecksumListParser parser_;
    std::vector<ListedFile> batch_;
    CheckTally tally_;
};

void ListCheck::Malformed(long number) {
    ++tally_.malformed;
    if (options_.verbosity != Verbosity::kWarn) return;
    const std::string kind =
        candidates_.size() == 1 ? std::string(HashTag(candidates_[0])) + " " : "";
    std::fprintf(stderr, "quorvane-cli: %s: %ld: improperly formatted %schecksum line\n",
                 shown_.c_str(), number, kind.c_str());
}

void ListCheck::Line(const std::string& text, long number) {
    ListedFile file;
    file.number = number;
    file.line = parser_.Parse(text);
    if (file.line) file.algorithms = LineAlgorithms(*file.line, candidates_);
    if (file.algorithms.empty() || !ParseDigestHex(file.line->hex, file.expected)) {
        file.line.reset();
    }
    batch_.push_back(std::move(file));
    if (batch_.size() == kBatchLines) VerifyBatch();
}

void ListCheck::VerifyBatch() {
    // Standard input can be read only once, by one file at a time.
    const bool names_stdin = std::any_of(batch_.begin(), batch_.end(), [](const ListedFile& f) {
        return f.line && f.line->name == kStandardInput;
    });
    const unsigned jobs = names_stdin ? 1 : ListJobs(options_.jobs);
    const auto work = [&](std::size_t i) {
        return batch_[i].line ? VerifyListedFile(batch_[i], jobs == 1) : VerifiedFile{};
    };
    const auto deliver = [&](std::size_t i, VerifiedFile& verified) {
        if (batch_[i].line) {
            Report(batch_[i], verified);
        } else {
            Malformed(batch_[i].number);
        }
    };
    RunListInOrder<VerifiedFile>(batch_.size(), jobs, work, deliver, {});
    batch_.clear();
}

void ListCheck::Report(const ListedFile& file, const VerifiedFile& verified) {
    ++tally_.checked;
    const std::string name = NameForReport(file.line->name);
    if (!verified.result.done()) {
        if (options_.ignore_missing && verified.result.outcome == FileOutcome::kCannotOpen &&
            verified.result.error == ENOENT) {
            return;
        }
        ReportFailure(file.line->name, verified.result);
        if (Prints()) std::printf("%s: FAILED open or read\n", name.c_str());
        ++tally_.unreadable;
        std::fflush(stdout);
        return;
    }
    ++tally_.verified;
    if (!verified.matched) ++tally_.mismatched;
    if (!Prints() || (verified.matched && options_.verbosity == Verbosity::kQuiet)) return;
    std::printf("%s: %s\n", name.c_str(), verified.matched ? "OK" : "FAILED");
    std::fflush(stdout);
}

void Warn(long count, const char* one, const char* many) {
    if (count == 1) std::fprintf(stderr, "quorvane-cli: WARNING: %s\n", one);
    if (count > 1) std::fprintf(stderr, "quorvane-cli: WARNING: %ld %s\n", count, many);
}

bool ListCheck::Finish() {
    VerifyBatch();
    if (tally_.checked == 0) {
        std::fprintf(stderr, "quorvane-cli: %s: no properly formatted checksum lines found\n",
                     shown_.c_str());
        return false;
    }
    if (Prints()) {
        Warn(tally_.malformed, "1 line is improperly formatted", "lines are improperly formatted");
        Warn(tally_.unreadable, "1 listed file could not be read",
             "listed files could not be read");
        Warn(tally_.mismatched, "1 computed checksum did NOT match",
             "computed checksums did NOT match");
    }
    const bool none_verified = options_.ignore_missing && tally_.verified == 0;
    if (none_verified && Prints()) {
        std::fprintf(stderr, "quorvane-cli: %s: no file was verified\n", shown_.c_str());
    }
    return tally_.mismatched == 0 && tally_.unreadable == 0 && !none_verified &&
           !(options_.strict && tally_.malformed > 0);
}

// Checks one list; returns false when any of its lines failed.
bool CheckList(const std::string& list, const HashOptions& options,
               const std::vector<HashAlgorithm>& candidates) {
    std::ifstream file;
    if (list != kStandardInput) {
        file.open(PathFromUtf8(list), std::ios::binary);
        if (!file) {
            ReportFailure(list, FailureFromErrno(FileOutcome::kCannotOpen));
            return false;
        }
    }
    std::istream& in = list == kStandardInput ? std::cin : file;
    ListCheck check(options, candidates, list == kStandardInput ? "standard input" : list);
    std::string text;
    for (long number = 1; std::getline(in, text); ++number) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty() || text.front() == '#') continue;
        check.Line(text, number);
    }
    return check.Finish();
}

// Output still in the buffer is written now; a full disk or a closed pipe
// anywhere along the way is a failure, not a silently short list.
void FinishOutput(CliContext& context) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "quorvane-cli: cannot write the output: %s\n", std::strerror(errno));
        context.Fail(kExitFailure);
    }
}

void RunCheck(const HashOptions& options, CliContext& context) {
    std::vector<HashAlgorithm> candidates(std::begin(kAllHashAlgorithms),
                                          std::end(kAllHashAlgorithms));
    if (!options.algo_list.empty() && !SelectAlgorithms(options, candidates)) {
        context.Fail(kExitUsage);
        return;
    }
    for (const std::string& list : options.files) {
        if (!CheckList(list, options, candidates)) context.Fail(kExitFailure);
    }
}

}  // namespace

namespace {

// Options that only one of the two uses means, named as the checksum tools
// name them in the same complaint; empty when the combination is fine.
std::string MisplacedOption(const HashOptions& options) {
    if (options.check) {
        if (options.tag) return "the --tag option is meaningless when verifying checksums";
        if (options.untagged)
            return "the --untagged option is meaningless when verifying checksums";
        if (options.binary || options.text) {
            return "the --binary and --text options are meaningless when verifying checksums";
        }
        if (options.zero) return "the --zero option is not supported when verifying checksums";
        return {};
    }
    const char* check_only = options.verbosity == Verbosity::kStatus  ? "--status"
                             : options.verbosity == Verbosity::kQuiet ? "--quiet"
                             : options.verbosity == Verbosity::kWarn  ? "--warn"
                             : options.strict                         ? "--strict"
                             : options.ignore_missing                 ? "--ignore-missing"
                                                                      : nullptr;
    if (check_only == nullptr) return {};
    return std::string("the ") + check_only + " option is meaningful only when verifying checksums";
}

void AddWritingOptions(CLI::App* sub, HashOptions& options) {
    auto* tag = sub->add_flag("--tag", options.tag,
                              "Tagged lines, TAG (FILE) = DIGEST, for one algorithm too");
    sub->add_flag("--untagged", options.untagged,
                  "Untagged lines, DIGEST  FILE, for several algorithms too")
        ->excludes(tag);
    sub->add_flag("-z,--zero", options.zero,
                  "End each line with a NUL instead of a line feed; names are not escaped");
    sub->add_flag("-b,--binary", options.binary,
                  "Mark the lines with \"*\" before the name (binary and text read alike here)");
    sub->add_flag("-t,--text", options.text, "Lines without the \"*\" mark (the default)");
}

void AddCheckingOptions(CLI::App* sub, HashOptions& options) {
    sub->add_flag_callback(
           "--status", [&options] { options.verbosity = Verbosity::kStatus; },
           "With --check: print nothing, the exit status tells")
        ->trigger_on_parse();
    sub->add_flag_callback(
           "--quiet", [&options] { options.verbosity = Verbosity::kQuiet; },
           "With --check: print only the files that failed")
        ->trigger_on_parse();
    sub->add_flag_callback(
           "-w,--warn", [&options] { options.verbosity = Verbosity::kWarn; },
           "With --check: name each improperly formatted line")
        ->trigger_on_parse();
    sub->add_flag("--strict", options.strict,
                  "With --check: improperly formatted lines make the check fail");
    sub->add_flag("--ignore-missing", options.ignore_missing,
                  "With --check: skip listed files that do not exist (but fail when no file "
                  "was verified)");
}

}  // namespace

void RegisterHashCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<HashOptions>();
    auto* sub = app.add_subcommand(
        "hash", "Print or check digests (MD5, SHA-1, SHA-256, SHA-512, Keccak) of files");
    auto* algo = sub->add_option("--algo", options->algo_list,
                                 "Comma-separated algorithms: md5, sha1, sha256, sha512, keccak "
                                 "(default sha256)");
    sub->add_flag("--all", options->all, "All five algorithms, as tagged lines")->excludes(algo);
    sub->add_flag("--upper", options->upper, "Upper-case hexadecimal, as the window shows it");
    sub->add_flag("-c,--check", options->check,
                  "Read checksum lists (any line form) and check the files they name");
    AddWritingOptions(sub, *options);
    AddCheckingOptions(sub, *options);
    sub->add_option("-j,--jobs", options->jobs,
                    "Files hashed or checked at once (default: one per core; 1 hashes one after "
                    "another); the lines keep the order of the files");
    sub->add_option("files", options->files,
                    "Files to hash or lists to check; - is standard input. Pipes and devices "
                    "are read to their end");
    sub->callback([options, &context] {
        if (options->files.empty()) options->files.push_back(kStandardInput);
        if (const std::string misplaced = MisplacedOption(*options); !misplaced.empty()) {
            std::fprintf(stderr, "quorvane-cli: %s\n", misplaced.c_str());
            context.Fail(kExitUsage);
            return;
        }
        if (options->check) {
            RunCheck(*options, context);
            FinishOutput(context);
            return;
        }
        HashOptions chosen = *options;
        if (chosen.algo_list.empty() && !chosen.all) chosen.algo_list = "sha256";
        std::vector<HashAlgorithm> algorithms;
        if (!SelectAlgorithms(chosen, algorithms)) {
            context.Fail(kExitUsage);
            return;
        }
        RunHash(chosen, algorithms, context);
        FinishOutput(context);
    });
}
