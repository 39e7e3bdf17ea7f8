#pragma once
// The "Open with Quorvane" entry that file managers offer for every file: a
// per-user freedesktop desktop entry in the user's applications folder.

#include <QString>
#include <string>

/// $XDG_DATA_HOME/applications, or ~/.local/share/applications.
QString OpenWithEntryFolder();
/// The entry file: <folder>/quorvane-open-with.desktop.
QString OpenWithEntryPath();

/// The Exec value for `programPath`, exactly as it stands in the file: the
/// path in double quotes, escaped for a quoted argument and then for a string
/// value as desktop entries require, a space, and %f.
QString OpenWithExecValue(const QString& programPath);

/// True when the entry file exists and its Exec value is exactly the one for
/// `programPath` (an entry left by a copy at another path does not count).
bool OpenWithEntryMatches(const std::u16string& programPath);

/// Writes the entry for `programPath` (creating the folder), then asks
/// update-desktop-database, when it is installed, to refresh the folder's
/// cache. False when the folder or the file cannot be written.
bool WriteOpenWithEntry(const std::u16string& programPath);

/// The path of the running program.
std::u16string ProgramFilePath();

/// Removes the entry file. False when there is none or it cannot be removed.
bool RemoveOpenWithEntry();
