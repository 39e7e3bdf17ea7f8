#include "platform/desktop/desktop_entry_qt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

#include "platform/desktop/qt_text.h"

namespace {

const char kEntryName[] = "quorvane-open-with.desktop";
// The entry's name for a Chinese desktop, beside the English Name.
const char kChineseName[] = "使用 Quorvane 打开";

// Inside a quoted argument ", `, $ and \ are escaped with a backslash; field
// codes make a literal % into %%.
QString QuoteArgument(const QString& argument) {
    QString quoted;
    for (QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        if (c == u'%') quoted += u'%';
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

// The string-value escapes, applied after the quoting rule.
QString EscapeStringValue(const QString& value) {
    QString escaped;
    for (QChar c : value) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}

QString ReadExecValue(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(u'['))
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
        else if (inMainGroup && line.startsWith(QStringLiteral("Exec=")))
            return line.mid(5);
    }
    return {};
}

}  // namespace

QString OpenWithEntryFolder() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/applications");
}

QString OpenWithEntryPath() {
    return OpenWithEntryFolder() + u'/' + QLatin1String(kEntryName);
}

QString OpenWithExecValue(const QString& programPath) {
    return EscapeStringValue(QuoteArgument(programPath)) + QStringLiteral(" %f");
}

bool OpenWithEntryMatches(const std::u16string& program) {
    const QString programPath = ToQt(program);
    const QString path = OpenWithEntryPath();
    if (!QFileInfo(path).isFile()) return false;
    return ReadExecValue(path) == OpenWithExecValue(programPath);
}

bool WriteOpenWithEntry(const std::u16string& program) {
    const QString programPath = ToQt(program);
    const QString folder = OpenWithEntryFolder();
    if (!QDir().mkpath(folder)) return false;
    QSaveFile file(OpenWithEntryPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    const QString text = QStringLiteral(
                             "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Open with Quorvane\n"
                             "Name[zh_CN]=%2\n"
                             "NoDisplay=true\n"
                             "MimeType=application/octet-stream;all/all;all/allfiles;\n"
                             "Icon=quorvane\n"
                             "Exec=%1\n")
                             .arg(OpenWithExecValue(programPath), QString::fromUtf8(kChineseName));
    file.write(text.toUtf8());
    if (!file.commit()) return false;
    const QString updater =
        QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!updater.isEmpty()) QProcess::startDetached(updater, {folder});
    return true;
}

std::u16string ProgramFilePath() {
    return FromQt(QCoreApplication::applicationFilePath());
}

bool RemoveOpenWithEntry() {
    const QString path = OpenWithEntryPath();
    if (!QFileInfo(path).isFile()) return false;
    return QFile::remove(path);
}
