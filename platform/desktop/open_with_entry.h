#pragma once
// The "Open with Quorvane" entry that the desktop offers for every file, in
// the standard library's text, so that the Windows build (which has no Qt)
// can implement it. On Linux it is a freedesktop desktop entry
// (desktop_entry.h); on Windows the shell's context-menu entry for every file
// type under the current user's classes, which needs no administrator:
// HKEY_CURRENT_USER\Software\Classes\*\shell\Quorvane, whose command is
// "<program path>" "%1".

#include <string>

/// True when the entry exists and starts exactly `programPath` (an entry left
/// by a copy at another path does not count).
bool OpenWithEntryMatches(const std::u16string& programPath);

/// Writes the entry for `programPath`, replacing one for another path. False
/// when it cannot be written.
bool WriteOpenWithEntry(const std::u16string& programPath);

/// The path of the running program.
std::u16string ProgramFilePath();

/// Removes the entry. False when there is none or it cannot be removed.
bool RemoveOpenWithEntry();
