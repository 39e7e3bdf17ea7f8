// What message boxes and open-file dialogs do the same on every system: the
// service a test may stand in for, and where a dialog starts.
#include "platform/desktop/system_dialogs.h"

#include "platform/desktop/dialog_window.h"
#include "platform/desktop/list_view.h"

namespace {

MessageBoxService* currentBoxes = nullptr;  // null: the system's own
FileDialogService* currentDialogs = nullptr;

MessageBoxService& Boxes() {
    return currentBoxes ? *currentBoxes : SystemMessageBoxes();
}

FileDialogService& Dialogs() {
    return currentDialogs ? *currentDialogs : SystemFileDialogs();
}

}  // namespace

MessageAnswer ShowMessage(DialogWindow* owner, const std::u16string& text,
                          const std::u16string& caption, MessageIcon icon, MessageButtons buttons) {
    return Boxes().Show(MessageRequest{owner, text, caption, icon, buttons});
}

void SetMessageBoxService(MessageBoxService* service) {
    currentBoxes = service;
}

std::u16string StartFolderFor(const DialogWindow* owner) {
    const ListView* list = owner ? owner->FirstList() : nullptr;
    const bool listed = list && list->Count() > 0;
    return StartFolderForFile(listed ? list->Text(list->Count() - 1, 0) : std::u16string());
}

OpenFileSelection ShowOpenFileDialog(DialogWindow* owner, const std::u16string& filterName,
                                     bool multiple) {
    return Dialogs().OpenFiles(OpenFileRequest{owner, filterName, multiple, StartFolderFor(owner)});
}

OpenFileSelection ShowOpenFileDialog(DialogWindow* owner, const std::u16string& filterName,
                                     bool multiple, const std::u16string& lastFile) {
    return Dialogs().OpenFiles(
        OpenFileRequest{owner, filterName, multiple, StartFolderForFile(lastFile)});
}

std::vector<std::u16string> ChooseFiles(DialogWindow* owner, const std::u16string& filterName,
                                        bool multiple) {
    return SelectedPaths(ShowOpenFileDialog(owner, filterName, multiple));
}

std::vector<std::u16string> ChooseFiles(DialogWindow* owner, const std::u16string& filterName,
                                        bool multiple, const std::u16string& lastFile) {
    return SelectedPaths(ShowOpenFileDialog(owner, filterName, multiple, lastFile));
}

void SetFileDialogService(FileDialogService* service) {
    currentDialogs = service;
}
