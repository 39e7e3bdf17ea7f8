// password and base64: the command-line faces of the tools page's generator
// and codec. Bytes pass through as they are; there is no character-set
// conversion on the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/system/file_names.h"
#include "platform/system/secure_wipe.h"
#include "platform/system/stream_input.h"
#include "tools/base64.h"
#include "tools/password.h"

namespace {

constexpr std::size_t kReadChunk = 1 << 20;

struct PasswordOptions {
    long long length = 20;
    long long count = 1;
    PasswordClasses classes;
};

// Writes to standard output; says so on standard error when it fails.
bool WriteOut(const void* data, std::size_t size) {
    // An empty buffer may have no storage at all: fwrite must not see it.
    if (size == 0) return true;
    if (std::fwrite(data, 1, size, stdout) == size) return true;
    std::fprintf(stderr, "quorvane-cli: cannot write the output: %s\n", std::strerror(errno));
    return false;
}

bool WriteOut(const std::string& text) {
    return WriteOut(text.data(), text.size());
}

void RunPassword(const PasswordOptions& options, CliContext& context) {
    const PasswordClasses classes =
        options.classes.Any() ? options.classes : kDefaultPasswordClasses;
    if (CheckPasswordRequest(options.length, classes) == PasswordCheck::kBadLength) {
        std::fprintf(stderr, "quorvane-cli: the length must be from %d to %d\n", kMinPasswordLength,
                     kMaxPasswordLength);
        context.Fail(kExitUsage);
        return;
    }
    if (options.count < 1) {
        std::fprintf(stderr, "quorvane-cli: the count must be at least 1\n");
        context.Fail(kExitUsage);
        return;
    }
    std::string password;
    for (long long i = 0; i < options.count; ++i) {
        if (!GeneratePassword(static_cast<int>(options.length), classes, password)) {
            std::fprintf(stderr, "quorvane-cli: the system's random source failed\n");
            context.Fail(kExitFailure);
            return;
        }
        // The line end goes separately: appending it could move the password
        // and leave an unwiped copy behind.
        bool written = WriteOut(password) && WriteOut("\n");
        SecureWipe(password.data(), password.size());
        if (!written) {
            context.Fail(kExitFailure);
            return;
        }
    }
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "quorvane-cli: cannot write the output: %s\n", std::strerror(errno));
        context.Fail(kExitFailure);
    }
}

void RegisterPassword(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<PasswordOptions>();
    auto* sub = app.add_subcommand("password", "print random passwords, one a line");
    sub->add_option("--length", options->length, "characters per password (1-9999)")
        ->capture_default_str();
    sub->add_flag("--upper", options->classes.upper, "upper-case letters A-Z");
    sub->add_flag("--lower", options->classes.lower, "lower-case letters a-z");
    sub->add_flag("--digits", options->classes.digits, "digits 0-9");
    sub->add_flag("--symbols", options->classes.symbols, "the symbols !\"#$%&?");
    sub->add_option("--count", options->count, "how many passwords")->capture_default_str();
    sub->footer("Without class flags: upper-case letters, lower-case letters and digits.");
    sub->callback([options, &context] { RunPassword(*options, context); });
}

// Closes a file opened here; standard input stays open.
struct InputFile {
    std::FILE* file = nullptr;
    bool owned = false;
    ~InputFile() {
        if (owned && file != nullptr) std::fclose(file);
    }
};

// Streams the input through `consume(chunk)`. Reports a failure and returns
// false when the input cannot be opened or read.
template <typename Consume>
bool ReadInput(const std::string& path, Consume consume) {
    InputFile input;
    if (path.empty() || path == "-") {
        input.file = stdin;
    } else {
        input.file = OpenBinaryStream(PathFromUtf8(path), "rb");
        input.owned = true;
    }
    const char* name = input.owned ? path.c_str() : "standard input";
    if (input.file == nullptr) {
        std::fprintf(stderr, "quorvane-cli: cannot open %s: %s\n", name, std::strerror(errno));
        return false;
    }
    std::vector<uint8_t> chunk(kReadChunk);
    while (true) {
        std::size_t got = std::fread(chunk.data(), 1, chunk.size(), input.file);
        if (got > 0 && !consume(std::span<const uint8_t>(chunk.data(), got))) return false;
        if (got < chunk.size()) break;
    }
    if (std::ferror(input.file)) {
        std::fprintf(stderr, "quorvane-cli: cannot read %s: %s\n", name, std::strerror(errno));
        return false;
    }
    return true;
}

// How encoded text is laid out in lines.
struct Base64Options {
    std::string path;
    /// Characters per line; 0 one line without a line end; kOneLine (the
    /// default) one line ended by a line feed.
    long long wrap = kOneLine;
    bool ignore_garbage = false;

    static constexpr long long kOneLine = -1;
};

// Writes encoded text, breaking it into lines of `width` characters.
class LineWriter {
  public:
    explicit LineWriter(long long width) : width_(width) {}

    bool Write(const std::string& text) {
        if (width_ <= 0) {
            written_ += text.size();
            return WriteOut(text);
        }
        std::string lines;
        for (char c : text) {
            lines += c;
            if (++column_ == static_cast<unsigned long long>(width_)) {
                lines += '\n';
                column_ = 0;
            }
        }
        written_ += text.size();
        return WriteOut(lines);
    }

    // Ends the last line; empty output stays empty, as `base64` leaves it.
    bool Finish() {
        if (written_ == 0 || width_ == 0) return true;
        if (width_ > 0 && column_ == 0) return true;
        return WriteOut("\n");
    }

  private:
    long long width_;
    unsigned long long column_ = 0;
    std::size_t written_ = 0;
};

bool Encode(const Base64Options& options) {
    Base64Encoder encoder;
    LineWriter writer(options.wrap);
    std::string out;
    auto consume = [&](std::span<const uint8_t> bytes) {
        out.clear();
        encoder.Update(bytes, out);
        return writer.Write(out);
    };
    if (!ReadInput(options.path, consume)) return false;
    out.clear();
    encoder.Finish(out);
    return writer.Write(out) && writer.Finish();
}

// Strict, as `base64 -d`: what decodes before the first invalid character is
// written, and the run fails.
bool Decode(const Base64Options& options) {
    Base64Decoder decoder(options.ignore_garbage ? Base64Decoder::Mode::kSkipGarbage
                                                 : Base64Decoder::Mode::kStrict);
    std::vector<uint8_t> out;
    auto consume = [&](std::span<const uint8_t> text) {
        out.clear();
        decoder.Update(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()),
                       out);
        return WriteOut(out.data(), out.size());
    };
    if (!ReadInput(options.path, consume)) return false;
    out.clear();
    decoder.Finish(out);
    if (!WriteOut(out.data(), out.size())) return false;
    if (!decoder.invalid()) return true;
    std::fprintf(stderr, "quorvane-cli: invalid input\n");
    return false;
}

void RunBase64(bool (*run)(const Base64Options&), const Base64Options& options,
               CliContext& context) {
    bool ok = run(options);
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "quorvane-cli: cannot write the output: %s\n", std::strerror(errno));
        ok = false;
    }
    if (!ok) context.Fail(kExitFailure);
}

void RegisterBase64(CLI::App& app, CliContext& context) {
    auto* base64 = app.add_subcommand("base64", "encode or decode Base64");
    base64->require_subcommand(1);
    auto options = std::make_shared<Base64Options>();

    auto* encode = base64->add_subcommand("encode", "write FILE (or standard input) as Base64");
    encode->add_option("FILE", options->path, "input file; standard input when absent");
    encode
        ->add_option("-w,--wrap", options->wrap,
                     "break lines after N characters; 0 writes one line without a line end "
                     "(default: one line, ended by a line feed)")
        ->option_text("N")
        ->check(CLI::NonNegativeNumber);
    encode->callback([options, &context] { RunBase64(Encode, *options, context); });

    auto* decode = base64->add_subcommand(
        "decode",
        "decode FILE (or standard input); white space is skipped, any other character "
        "outside the alphabet ends the run with \"invalid input\"");
    decode->add_option("FILE", options->path, "input file; standard input when absent");
    decode->add_flag("-i,--ignore-garbage", options->ignore_garbage,
                     "skip characters outside the Base64 alphabet");
    decode->callback([options, &context] { RunBase64(Decode, *options, context); });
}

}  // namespace

void RegisterToolCommands(CLI::App& app, CliContext& context) {
    RegisterPassword(app, context);
    RegisterBase64(app, context);
}
