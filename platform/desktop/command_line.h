#pragma once
// The window program's command line: a few options, and the file that the
// encryption page lists when it starts.

#include <QString>
#include <QStringList>
#include <string>

#include "platform/desktop/ui_text.h"

/// What the arguments ask for.
struct ProgramOptions {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    bool languageGiven = false;  ///< --lang was given
    InterfaceLanguage language = InterfaceLanguage::Chinese;
    QStringList files;  ///< the arguments that are not options
    QString error;      ///< for Action::Error: what was wrong
};

/// Reads the arguments (without the program name): --help (-h), --version,
/// --lang zh|en (or --lang=en); "--" ends the options. Any other argument that
/// starts with "-" (but is not "-" itself) is an unknown option; every other
/// argument is a file.
ProgramOptions ParseProgramArguments(const QStringList& arguments);

/// The text --help prints.
QString ProgramUsageText();

/// The file path among the program's file arguments: only the first counts,
/// and an argument still wrapped in double quotes (as some launchers pass it)
/// is unwrapped. Empty when there is none.
QString CommandLineFileFrom(const QStringList& arguments);

/// Records the program's file arguments once at start; CommandLineFile()
/// answers from them.
void SetCommandLineArguments(const QStringList& arguments);
std::u16string CommandLineFile();
