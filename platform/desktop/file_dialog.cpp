#include "platform/desktop/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/desktop/list_view.h"
#include "platform/desktop/qt_text.h"

QStringList SelectedPaths(const OpenFileSelection& selection) {
    if (selection.folder.isEmpty()) return selection.names;
    QString prefix = selection.folder;
    if (!prefix.endsWith(QLatin1Char('/'))) prefix += QLatin1Char('/');
    QStringList paths;
    for (const QString& name : selection.names) paths << prefix + name;
    return paths;
}

namespace {

class QtFileDialogs : public FileDialogService {
  public:
    OpenFileSelection OpenFiles(const OpenFileRequest& request) override {
        // "*.*" matches every file where the filter's name comes from, but only
        // names with a dot here: the real pattern is "*", and the details are
        // hidden so the user sees the filter's own name.
        QFileDialog dialog(request.owner);
        dialog.setDirectory(request.startFolder);
        dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles
                                            : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        dialog.setNameFilter(request.filterName + QStringLiteral(" (*)"));
        const QStringList chosen =
            dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
        OpenFileSelection selection;
        if (chosen.size() == 1) {
            selection.names = chosen;
        } else if (chosen.size() > 1) {
            selection.folder = QFileInfo(chosen.front()).absolutePath();
            for (const QString& path : chosen) selection.names << QFileInfo(path).fileName();
        }
        return selection;
    }
};

QtFileDialogs realDialogs;
FileDialogService* current = &realDialogs;

}  // namespace

QString StartFolderForFile(const QString& lastFile) {
    if (!lastFile.isEmpty()) {
        const QString folder = QFileInfo(lastFile).absolutePath();
        if (QFileInfo(folder).isDir()) return folder;
    }
    return QDir::homePath();
}

QString StartFolderFor(const QWidget* owner) {
    const ListView* list = owner ? owner->findChild<ListView*>() : nullptr;
    if (list && list->Count() > 0)
        return StartFolderForFile(ToQt(list->Text(list->Count() - 1, 0)));
    return QDir::homePath();
}

OpenFileSelection ShowOpenFileDialog(QWidget* owner, const QString& filterName, bool multiple) {
    return current->OpenFiles(OpenFileRequest{owner, filterName, multiple, StartFolderFor(owner)});
}

OpenFileSelection ShowOpenFileDialog(QWidget* owner, const QString& filterName, bool multiple,
                                     const QString& lastFile) {
    return current->OpenFiles(
        OpenFileRequest{owner, filterName, multiple, StartFolderForFile(lastFile)});
}

namespace {

std::vector<std::u16string> FromQt(const QStringList& paths) {
    std::vector<std::u16string> converted;
    for (const QString& path : paths) converted.push_back(path.toStdU16String());
    return converted;
}

}  // namespace

std::vector<std::u16string> ChooseFiles(QWidget* owner, const std::u16string& filterName,
                                        bool multiple) {
    return FromQt(SelectedPaths(ShowOpenFileDialog(owner, ToQt(filterName), multiple)));
}

std::vector<std::u16string> ChooseFiles(QWidget* owner, const std::u16string& filterName,
                                        bool multiple, const std::u16string& lastFile) {
    return FromQt(
        SelectedPaths(ShowOpenFileDialog(owner, ToQt(filterName), multiple, ToQt(lastFile))));
}

void SetFileDialogService(FileDialogService* service) {
    current = service ? service : &realDialogs;
}
