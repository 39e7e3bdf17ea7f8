// quorvane: the window program.
#include <QApplication>
#include <cstdio>

#include "app/quorvane_app.h"
#include "app/quorvane_dlg.h"
#include "platform/desktop/command_line.h"
#include "platform/desktop/dialog_units.h"
#include "platform/system/code_page.h"

int main(int argc, char** argv) {
    if (!WindowSystemAvailable()) {
        std::fprintf(stderr,
                     "quorvane: no display found (set DISPLAY or WAYLAND_DISPLAY); "
                     "use quorvane-cli without a desktop.\n");
        return 1;
    }
    QApplication application(argc, argv);
    UseUserLocaleCharset();
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setWindowIcon(ProgramIcon());
    QApplication::setFont(DialogFont());
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    SetCommandLineArguments(arguments);

    CQuorvaneApp app;
    app.InitInstance();
    return 0;
}
