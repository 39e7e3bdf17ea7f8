#include "platform/desktop/command_line.h"

namespace {

QStringList recorded;

bool TakeLanguage(const QString& name, ProgramOptions& options) {
    if (!LanguageFromName(name.toStdU16String(), options.language)) {
        options.action = ProgramOptions::Action::Error;
        options.error = QStringLiteral("unknown language '%1' (use zh or en)").arg(name);
        return false;
    }
    options.languageGiven = true;
    return true;
}

}  // namespace

ProgramOptions ParseProgramArguments(const QStringList& arguments) {
    ProgramOptions options;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool looksLikeOption =
            !optionsEnded && argument.startsWith(u'-') && argument != QStringLiteral("-");
        if (!looksLikeOption) {
            options.files << argument;
        } else if (argument == QStringLiteral("--")) {
            optionsEnded = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            // The first of --help and --version wins; nothing after it matters.
            options.action = ProgramOptions::Action::Help;
            return options;
        } else if (argument == QStringLiteral("--version")) {
            options.action = ProgramOptions::Action::Version;
            return options;
        } else if (argument.startsWith(QStringLiteral("--lang="))) {
            if (!TakeLanguage(argument.mid(7), options)) return options;
        } else if (argument == QStringLiteral("--lang")) {
            if (i + 1 == arguments.size()) {
                options.action = ProgramOptions::Action::Error;
                options.error = QStringLiteral("--lang needs a language (zh or en)");
                return options;
            }
            if (!TakeLanguage(arguments[++i], options)) return options;
        } else {
            options.action = ProgramOptions::Action::Error;
            options.error = QStringLiteral("unknown option '%1'").arg(argument);
            return options;
        }
    }
    return options;
}

QString ProgramUsageText() {
    return QStringLiteral(
        "Usage: quorvane [--lang zh|en] [--] [FILE]\n"
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
        "Without a desktop, use quorvane-cli.\n");
}

QString CommandLineFileFrom(const QStringList& arguments) {
    if (arguments.isEmpty()) return {};
    QString path = arguments.front();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    return path;
}

void SetCommandLineArguments(const QStringList& arguments) {
    recorded = arguments;
}

std::u16string CommandLineFile() {
    return CommandLineFileFrom(recorded).toStdU16String();
}
