#include "platform/desktop/command_line.h"

namespace {

std::vector<std::u16string> recorded;

bool StartsWith(const std::u16string& text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool TakeLanguage(const std::u16string& name, ProgramOptions& options) {
    if (!LanguageFromName(name, options.language)) {
        options.action = ProgramOptions::Action::Error;
        options.error = "unknown language '" + Utf8Of(name) + "' (use zh or en)";
        return false;
    }
    options.languageGiven = true;
    return true;
}

}  // namespace

std::string Utf8Of(const std::u16string& text) {
    std::string utf8;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;  // an unpaired surrogate
        if (c < 0x80) {
            utf8 += char(c);
        } else if (c < 0x800) {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += char(0xE0 | (c >> 12));
            utf8 += char(0x80 | ((c >> 6) & 0x3F));
            utf8 += char(0x80 | (c & 0x3F));
        } else {
            utf8 += char(0xF0 | (c >> 18));
            utf8 += char(0x80 | ((c >> 12) & 0x3F));
            utf8 += char(0x80 | ((c >> 6) & 0x3F));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

ProgramOptions ParseProgramArguments(const std::vector<std::u16string>& arguments) {
    ProgramOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::u16string& argument = arguments[i];
        const bool looksLikeOption =
            !optionsEnded && StartsWith(argument, u"-") && argument != u"-";
        if (!looksLikeOption) {
            options.files.push_back(argument);
        } else if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"--help" || argument == u"-h") {
            // The first of --help and --version wins; nothing after it matters.
            options.action = ProgramOptions::Action::Help;
            return options;
        } else if (argument == u"--version") {
            options.action = ProgramOptions::Action::Version;
            return options;
        } else if (StartsWith(argument, u"--lang=")) {
            if (!TakeLanguage(argument.substr(7), options)) return options;
        } else if (argument == u"--lang") {
            if (i + 1 == arguments.size()) {
                options.action = ProgramOptions::Action::Error;
                options.error = "--lang needs a language (zh or en)";
                return options;
            }
            if (!TakeLanguage(arguments[++i], options)) return options;
        } else {
            options.action = ProgramOptions::Action::Error;
            options.error = "unknown option '" + Utf8Of(argument) + "'";
            return options;
        }
    }
    return options;
}

const char* ProgramUsageText() {
    return "Usage: quorvane [--lang zh|en] [--] [FILE]\n"
           "\n"
           "Quorvane: encrypt, decrypt, hash and wipe files, generate passwords and\n"
           "convert Base64, in one window. FILE is listed on the encryption page.\n"
           "\n"
           "Options:\n"
           "  --lang zh|en   interface language: Chinese (the default) or English;\n"
           "                 QUORVANE_LANG=zh|en in the environment does the same\n"
           "  -h, --help     print this help and exit\n"
           "  --version      print the version and exit\n"
           "  --             end of options: a following argument is a file even if it\n"
           "                 starts with '-'\n"
           "\n"
           "Without a desktop, use quorvane-cli.\n";
}

std::u16string CommandLineFileFrom(const std::vector<std::u16string>& arguments) {
    if (arguments.empty()) return {};
    std::u16string path = arguments.front();
    if (path.size() >= 2 && path.front() == u'"' && path.back() == u'"')
        path = path.substr(1, path.size() - 2);
    return path;
}

void SetCommandLineArguments(const std::vector<std::u16string>& arguments) {
    recorded = arguments;
}

std::u16string CommandLineFile() {
    return CommandLineFileFrom(recorded);
}
