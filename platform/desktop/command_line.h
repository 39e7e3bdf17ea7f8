#pragma once
// The window program's command line: a few options, and the file that the
// encryption page lists when it starts.

#include <string>
#include <vector>

#include "platform/desktop/ui_text.h"

/// What the arguments ask for.
struct ProgramOptions {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    bool languageGiven = false;  ///< --lang was given
    InterfaceLanguage language = InterfaceLanguage::Chinese;
    std::vector<std::u16string> files;  ///< the arguments that are not options
    std::string error;                  ///< for Action::Error: what was wrong (UTF-8)
};

/// Reads the arguments (without the program name): --help (-h), --version,
/// --lang zh|en (or --lang=en); "--" ends the options. Any other argument that
/// starts with "-" (but is not "-" itself) is an unknown option; every other
/// argument is a file.
ProgramOptions ParseProgramArguments(const std::vector<std::u16string>& arguments);

/// The text --help prints.
const char* ProgramUsageText();

/// The file path among the program's file arguments: only the first counts,
/// and an argument still wrapped in double quotes (as some launchers pass it)
/// is unwrapped. Empty when there is none.
std::u16string CommandLineFileFrom(const std::vector<std::u16string>& arguments);

/// Records the program's file arguments once at start; CommandLineFile()
/// answers from them.
void SetCommandLineArguments(const std::vector<std::u16string>& arguments);
std::u16string CommandLineFile();

/// UTF-16 text as UTF-8, for messages on the console.
std::string Utf8Of(const std::u16string& text);
