#pragma once
// The file named on the program's command line, which the encryption page lists
// when it starts.

#include <QString>
#include <QStringList>

/// The file path among the program's arguments (without the program name):
/// only the first argument counts, and an argument still wrapped in double
/// quotes (as some launchers pass it) is unwrapped. Empty when there is none.
QString CommandLineFileFrom(const QStringList& arguments);

/// Records the program's arguments once at start; CommandLineFile() answers
/// from them.
void SetCommandLineArguments(const QStringList& arguments);
QString CommandLineFile();
