#pragma once
// The texts of the dialog layer are UTF-16 strings of the standard library;
// Qt's own strings hold the same UTF-16 units. The conversions at the edge
// between the two, for the Qt implementation of the layer only.

#include <QCoreApplication>
#include <QString>
#include <string>

#include "platform/desktop/ui_text.h"

inline QString ToQt(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

inline std::u16string FromQt(const QString& text) {
    return text.toStdU16String();
}

/// Text() as Qt's string.
inline QString QtText(const char* chinese) {
    return QCoreApplication::translate(kTextContext, chinese);
}
