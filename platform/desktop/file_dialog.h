#pragma once
// The open-file dialog behind an interface, so that tests can answer it.

#include <string>
#include <vector>

class DialogWindow;

/// What the user chose. One file: `folder` is empty and `names` holds its full
/// path. Several files: `folder` is their folder and `names` the bare names.
/// Nothing chosen (cancelled): both empty.
struct OpenFileSelection {
    std::u16string folder;
    std::vector<std::u16string> names;
};

/// Full paths of a selection: folder, a separator unless the folder already
/// ends with one, then the name; a single file's path as given.
std::vector<std::u16string> SelectedPaths(const OpenFileSelection& selection);

struct OpenFileRequest {
    DialogWindow* owner = nullptr;
    std::u16string filterName;  ///< e.g. "所有文件(*.*)"
    bool multiple = false;
    /// The folder the dialog opens in (see StartFolderFor).
    std::u16string startFolder;
};

/// Where an open-file dialog of `owner` starts: the folder of the last file in
/// the owner's file list when that folder exists, else the home folder.
std::u16string StartFolderFor(const DialogWindow* owner);
/// The folder of `lastFile` when that folder exists, else the home folder.
std::u16string StartFolderForFile(const std::u16string& lastFile);

class FileDialogService {
  public:
    virtual ~FileDialogService() = default;
    virtual OpenFileSelection OpenFiles(const OpenFileRequest& request) = 0;
};

/// Shows the open-file dialog through the current service, starting in
/// StartFolderFor(owner).
OpenFileSelection ShowOpenFileDialog(DialogWindow* owner, const std::u16string& filterName,
                                     bool multiple);
/// The same for an owner without a file list, starting in the folder of the
/// file it used last.
OpenFileSelection ShowOpenFileDialog(DialogWindow* owner, const std::u16string& filterName,
                                     bool multiple, const std::u16string& lastFile);

/// The full paths the user chose in those dialogs; none when cancelled.
std::vector<std::u16string> ChooseFiles(DialogWindow* owner, const std::u16string& filterName,
                                        bool multiple);
std::vector<std::u16string> ChooseFiles(DialogWindow* owner, const std::u16string& filterName,
                                        bool multiple, const std::u16string& lastFile);

/// Installs `service` for later dialogs; nullptr restores the real dialog.
void SetFileDialogService(FileDialogService* service);
