#pragma once
// Conversion between the texts the windows show and the paths the core opens.
// File names are the system's bytes; Qt decodes them the way the file system does.

#include <QFile>
#include <QString>
#include <filesystem>

inline std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}
