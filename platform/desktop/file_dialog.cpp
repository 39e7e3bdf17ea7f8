#include "platform/desktop/file_dialog.h"
#include "platform/desktop/system_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/desktop/dialog_window_qt.h"
#include "platform/desktop/qt_text.h"

std::vector<std::u16string> SelectedPaths(const OpenFileSelection& selection) {
    if (selection.folder.empty()) return selection.names;
    std::u16string prefix = selection.folder;
    if (prefix.back() != u'/') prefix += u'/';
    std::vector<std::u16string> paths;
    for (const std::u16string& name : selection.names) paths.push_back(prefix + name);
    return paths;
}

namespace {

class QtFileDialogs : public FileDialogService {
  public:
    OpenFileSelection OpenFiles(const OpenFileRequest& request) override {
        // "*.*" matches every file where the filter's name comes from, but only
        // names with a dot here: the real pattern is "*", and the details are
        // hidden so the user sees the filter's own name.
        QFileDialog dialog(request.owner ? QtHost(*request.owner) : nullptr);
        dialog.setDirectory(ToQt(request.startFolder));
        dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles
                                            : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        dialog.setNameFilter(ToQt(request.filterName) + QStringLiteral(" (*)"));
        const QStringList chosen =
            dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
        OpenFileSelection selection;
        if (chosen.size() == 1) {
            selection.names = {FromQt(chosen.front())};
        } else if (chosen.size() > 1) {
            selection.folder = FromQt(QFileInfo(chosen.front()).absolutePath());
            for (const QString& path : chosen)
                selection.names.push_back(FromQt(QFileInfo(path).fileName()));
        }
        return selection;
    }
};

}  // namespace

FileDialogService& SystemFileDialogs() {
    static QtFileDialogs dialogs;
    return dialogs;
}

std::u16string HomeFolder() {
    return FromQt(QDir::homePath());
}

std::u16string StartFolderForFile(const std::u16string& lastFile) {
    if (!lastFile.empty()) {
        const QString folder = QFileInfo(ToQt(lastFile)).absolutePath();
        if (QFileInfo(folder).isDir()) return FromQt(folder);
    }
    return HomeFolder();
}
