#include "platform/desktop/command_line.h"

namespace {
QStringList recorded;
}

QString CommandLineFileFrom(const QStringList& arguments) {
    if (arguments.isEmpty()) return {};
    QString path = arguments.front();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    return path;
}

void SetCommandLineArguments(const QStringList& arguments) {
    recorded = arguments;
}

QString CommandLineFile() {
    return CommandLineFileFrom(recorded);
}
