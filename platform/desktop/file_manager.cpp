#include "platform/desktop/file_manager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include "platform/desktop/message_box.h"
#include "platform/desktop/qt_text.h"
#include "platform/desktop/ui_text.h"

namespace {

const char kService[] = "org.freedesktop.FileManager1";
const char kObjectPath[] = "/org/freedesktop/FileManager1";
const char kInterface[] = "org.freedesktop.FileManager1";
// Starting a file manager on demand can take a few seconds.
constexpr int kCallTimeoutMs = 10000;

void SayNothingOpens() {
    ShowMessage(nullptr, Text("无法打开文件所在的文件夹：没有可用的文件管理器。"), Text("提示"),
                MessageIcon::Exclamation);
}

// The last resort: xdg-open on the folder. Its exit status says whether a
// handler took the folder (merely starting it proves nothing); when it fails
// the user learns that nothing will open. False when there is no xdg-open.
bool OpenContainingFolder(const QString& absolutePath) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        SayNothingOpens();
        return false;
    }
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0) SayNothingOpens();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart) return;
                         SayNothingOpens();
                         process->deleteLater();
                     });
    process->start(opener, {QFileInfo(absolutePath).absolutePath()});
    return true;
}

class DesktopFileManager : public FileManagerService {
  public:
    bool ShowFile(const std::u16string& path) override {
        const QString absolutePath = QFileInfo(ToQt(path)).absoluteFilePath();
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

}  // namespace

FileManagerService& SystemFileManager() {
    static DesktopFileManager fileManager;
    return fileManager;
}
