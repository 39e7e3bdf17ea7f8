#include "platform/desktop/file_manager.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include "platform/desktop/message_box.h"
#include "platform/desktop/ui_text.h"

namespace {

const char kService[] = "org.freedesktop.FileManager1";
const char kObjectPath[] = "/org/freedesktop/FileManager1";
const char kInterface[] = "org.freedesktop.FileManager1";
// Starting a file manager on demand can take a few seconds.
constexpr int kCallTimeoutMs = 10000;

// The last resort; when it fails too the user learns that nothing will open.
bool OpenContainingFolder(const QString& absolutePath) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(absolutePath).absolutePath())))
        return true;
    ShowMessage(QApplication::activeWindow(),
                Text("无法打开文件所在的文件夹：没有可用的文件管理器。"), Text("提示"),
                MessageIcon::Exclamation);
    return false;
}

class DesktopFileManager : public FileManagerService {
  public:
    bool ShowFile(const QString& path) override {
        const QString absolutePath = QFileInfo(path).absoluteFilePath();
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) return OpenContainingFolder(absolutePath);

        QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(kService), QString::fromLatin1(kObjectPath),
            QString::fromLatin1(kInterface), QStringLiteral("ShowItems"));
        const QString uri = QString::fromUtf8(QUrl::fromLocalFile(absolutePath).toEncoded());
        call << QStringList{uri} << QString();  // no startup notification id

        // The answer arrives later; an error (no file manager on the bus, or
        // one that refuses) falls back to opening the folder.
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kCallTimeoutMs));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                         [absolutePath](QDBusPendingCallWatcher* finished) {
                             if (finished->isError()) OpenContainingFolder(absolutePath);
                             finished->deleteLater();
                         });
        return true;
    }
};

DesktopFileManager realFileManager;
FileManagerService* current = &realFileManager;

}  // namespace

bool ShowFileInFileManager(const QString& path) {
    return current->ShowFile(path);
}

void SetFileManagerService(FileManagerService* service) {
    current = service ? service : &realFileManager;
}
