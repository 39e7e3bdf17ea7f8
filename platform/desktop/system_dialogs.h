#pragma once
// The system's own message boxes and open-file dialogs, one of each per
// system (Qt on Linux, Win32 on Windows). Pages reach them only through the
// replaceable services of message_box.h and file_dialog.h.

#include <string>

#include "platform/desktop/file_dialog.h"
#include "platform/desktop/message_box.h"

MessageBoxService& SystemMessageBoxes();
FileDialogService& SystemFileDialogs();
/// The user's home folder, where a dialog starts when nothing better is known.
std::u16string HomeFolder();
