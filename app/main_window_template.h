#pragma once
// The dialog template of the main window and its control identifiers, shared by the
// template, the window and its tests.

#include "platform/desktop/dialog_template.h"

namespace main_window_ids {

inline constexpr int kMainWindowTemplate = 102;

inline constexpr int kTabControl = 1000;

}  // namespace main_window_ids

const DialogTemplate& MainWindowTemplate();
