#include "platform/desktop/path_text.h"

#include <QFile>
#include <QFileInfo>

#include "platform/desktop/qt_text.h"

std::filesystem::path ToPath(const std::u16string& text) {
    return std::filesystem::path(QFile::encodeName(ToQt(text)).toStdString());
}

std::u16string AbsolutePathText(const std::u16string& text) {
    return FromQt(QFileInfo(ToQt(text)).absoluteFilePath());
}
