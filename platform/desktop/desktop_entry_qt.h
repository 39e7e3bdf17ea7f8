#pragma once
// The Linux side of the "Open with Quorvane" entry: a per-user freedesktop
// desktop entry in the user's applications folder. WriteOpenWithEntry
// creates the folder when needed and then asks update-desktop-database, when
// it is installed, to refresh the folder's cache.

#include <QString>

#include "platform/desktop/desktop_entry.h"

/// $XDG_DATA_HOME/applications, or ~/.local/share/applications.
QString OpenWithEntryFolder();
/// The entry file: <folder>/quorvane-open-with.desktop.
QString OpenWithEntryPath();

/// The Exec value for `programPath`, exactly as it stands in the file: the
/// path in double quotes, escaped for a quoted argument and then for a string
/// value as desktop entries require, a space, and %f.
QString OpenWithExecValue(const QString& programPath);
