#pragma once
// The "Open with Quorvane" entry that the desktop offers for every file, and
// the program's own path that it starts. Where the entry is recorded is the
// system's: a freedesktop desktop entry on Linux (desktop_entry_qt.h), the
// user's classes in the registry on Windows.

#include <string>

/// True when the entry exists and starts exactly `programPath` (an entry left
/// by a copy at another path does not count).
bool OpenWithEntryMatches(const std::u16string& programPath);

/// Writes the entry for `programPath`. False when it cannot be written.
bool WriteOpenWithEntry(const std::u16string& programPath);

/// The path of the running program.
std::u16string ProgramFilePath();

/// Removes the entry. False when there is none or it cannot be removed.
bool RemoveOpenWithEntry();
