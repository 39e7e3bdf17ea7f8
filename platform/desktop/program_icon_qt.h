#pragma once
// The program's icon, built from the window library's resources.

#include <QIcon>

/// The program's icon in all its sizes.
QIcon ProgramIcon();
