#pragma once
// The open-file dialog behind an interface, so that tests can answer it.

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QWidget;

/// What the user chose. One file: `folder` is empty and `names` holds its full
/// path. Several files: `folder` is their folder and `names` the bare names.
/// Nothing chosen (cancelled): both empty.
struct OpenFileSelection {
    QString folder;
    QStringList names;
};

/// Full paths of a selection: folder, a separator unless the folder already
/// ends with one, then the name; a single file's path as given.
QStringList SelectedPaths(const OpenFileSelection& selection);

struct OpenFileRequest {
    QWidget* owner = nullptr;
    QString filterName;  ///< e.g. "所有文件(*.*)"
    bool multiple = false;
    /// The folder the dialog opens in (see StartFolderFor).
    QString startFolder;
};

/// Where an open-file dialog of `owner` starts: the folder of the last file in
/// the owner's file list when that folder exists, else the home folder.
QString StartFolderFor(const QWidget* owner);
/// The folder of `lastFile` when that folder exists, else the home folder.
QString StartFolderForFile(const QString& lastFile);

class FileDialogService {
  public:
    virtual ~FileDialogService() = default;
    virtual OpenFileSelection OpenFiles(const OpenFileRequest& request) = 0;
};

/// Shows the open-file dialog through the current service, starting in
/// StartFolderFor(owner).
OpenFileSelection ShowOpenFileDialog(QWidget* owner, const QString& filterName, bool multiple);
/// The same for an owner without a file list, starting in the folder of the
/// file it used last.
OpenFileSelection ShowOpenFileDialog(QWidget* owner, const QString& filterName, bool multiple,
                                     const QString& lastFile);

/// The full paths the user chose in those dialogs; none when cancelled.
std::vector<std::u16string> ChooseFiles(QWidget* owner, const std::u16string& filterName,
                                        bool multiple);
std::vector<std::u16string> ChooseFiles(QWidget* owner, const std::u16string& filterName,
                                        bool multiple, const std::u16string& lastFile);

/// Installs `service` for later dialogs; nullptr restores the real dialog.
void SetFileDialogService(FileDialogService* service);
