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
#include "cli/progress_line.h"
#include "hash/digest_text.h"
#include "hash/hash_algorithm.h"

namespace {

constexpr std::size_t kStdinChunk = 1 << 20;
const std::string kStandardInput = "-";

struct HashOptions {
    std::string algo_list;
    bool all = false;
    bool upper = false;
    bool check = false;
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

std::string DescribeOpenFailure(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return "No such file or directory";
    if (status.type() == std::filesystem::file_type::directory) return "Is a directory";
    if (status.type() == std::filesystem::file_type::fifo ||
        status.type() == std::filesystem::file_type::socket) {
        return "not a file that can be measured (use - for a pipe)";
    }
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe == nullptr) return std::strerror(errno);
    std::fclose(probe);
    return "cannot open the file";
}

void ReportFailure(const std::string& path, HashResult result) {
    const std::string reason =
        result == kHashCannotOpen ? DescribeOpenFailure(path) : "read failed";
    std::fprintf(stderr, "quorvane-cli: %s: %s\n", path.c_str(), reason.c_str());
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
HashResult DigestPath(const std::string& path, const std::vector<HashAlgorithm>& algorithms,
                      std::vector<std::vector<uint8_t>>& digests) {
    if (path == kStandardInput) {
        return DigestStandardInput(algorithms, digests) ? kHashDone : kHashReadFailed;
    }
    std::error_code error;
    const uint64_t size = std::filesystem::file_size(path, error);
    digests.clear();
    std::vector<Digest> running(algorithms.begin(), algorithms.end());
    HashResult result;
    {
        ProgressLine progress(path, error ? 0 : size);
        result = HashFileInto(path, running, ProgressLine::Callback, &progress, {});
    }
    if (result != kHashDone) return result;
    for (Digest& digest : running) digests.push_back(digest.Final());
    return kHashDone;
}

void RunHash(const HashOptions& options, const std::vector<HashAlgorithm>& algorithms,
             CliContext& context) {
    const bool tagged = algorithms.size() > 1;
    const HexCase letter_case = options.upper ? HexCase::kUpper : HexCase::kLower;
    for (const std::string& path : options.files) {
        std::vector<std::vector<uint8_t>> digests;
        const HashResult result = DigestPath(path, algorithms, digests);
        if (result != kHashDone) {
            ReportFailure(path, result);
            context.Fail(kExitFailure);
            continue;
        }
        for (std::size_t i = 0; i < algorithms.size(); ++i) {
            const std::string line =
                FormatChecksumLine(algorithms[i], DigestHex(digests[i], letter_case), path, tagged);
            std::printf("%s\n", line.c_str());
        }
        std::fflush(stdout);
    }
}

struct CheckTally {
    long mismatched = 0;
    long unreadable = 0;
    long malformed = 0;
    long checked = 0;
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

void CheckLine(const std::string& text, const std::vector<HashAlgorithm>& candidates,
               CheckTally& tally) {
    const auto line = ParseChecksumLine(text);
    const auto algorithms = line ? LineAlgorithms(*line, candidates) : std::vector<HashAlgorithm>{};
    std::vector<uint8_t> expected;
    if (algorithms.empty() || !ParseDigestHex(line->hex, expected)) {
        ++tally.malformed;
        return;
    }
    ++tally.checked;
    HashResult result = kHashDone;
    bool matched = false;
    for (std::size_t i = 0; i < algorithms.size() && result == kHashDone && !matched; ++i) {
        std::vector<std::vector<uint8_t>> digests;
        result = DigestPath(line->name, {algorithms[i]}, digests);
        matched = result == kHashDone && digests[0] == expected;
    }
    const std::string name = NameForReport(line->name);
    if (result != kHashDone) {
        ReportFailure(line->name, result);
        std::printf("%s: FAILED open or read\n", name.c_str());
        ++tally.unreadable;
    } else if (!matched) {
        std::printf("%s: FAILED\n", name.c_str());
        ++tally.mismatched;
    } else {
        std::printf("%s: OK\n", name.c_str());
    }
    std::fflush(stdout);
}

void Warn(long count, const char* one, const char* many) {
    if (count == 1) std::fprintf(stderr, "quorvane-cli: WARNING: %s\n", one);
    if (count > 1) std::fprintf(stderr, "quorvane-cli: WARNING: %ld %s\n", count, many);
}

// Checks one list; returns false when any of its lines failed.
bool CheckList(const std::string& list, const std::vector<HashAlgorithm>& candidates) {
    std::ifstream file;
    if (list != kStandardInput) {
        file.open(list, std::ios::binary);
        if (!file) {
            ReportFailure(list, kHashCannotOpen);
            return false;
        }
    }
    std::istream& in = list == kStandardInput ? std::cin : file;
    CheckTally tally;
    std::string text;
    while (std::getline(in, text)) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty() || text.front() == '#') continue;
        CheckLine(text, candidates, tally);
    }
    const std::string shown = list == kStandardInput ? "standard input" : list;
    if (tally.checked == 0) {
        std::fprintf(stderr, "quorvane-cli: %s: no properly formatted checksum lines found\n",
                     shown.c_str());
        return false;
    }
    Warn(tally.malformed, "1 line is improperly formatted", "lines are improperly formatted");
    Warn(tally.unreadable, "1 listed file could not be read", "listed files could not be read");
    Warn(tally.mismatched, "1 computed checksum did NOT match", "computed checksums did NOT match");
    return tally.mismatched == 0 && tally.unreadable == 0;
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
        if (!CheckList(list, candidates)) context.Fail(kExitFailure);
    }
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
                  "Read checksum lists (either line form) and check the files they name");
    sub->add_option("files", options->files,
                    "Files to hash or lists to check; - is standard input");
    sub->callback([options, &context] {
        if (options->files.empty()) options->files.push_back(kStandardInput);
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
