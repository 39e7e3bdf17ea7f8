#include "platform/desktop/program_icon_qt.h"

// The icons are a resource object of the static window library, which the
// linker leaves out unless something refers to it: this does.
static void InitProgramResources() {
    Q_INIT_RESOURCE(quorvane);
}

QIcon ProgramIcon() {
    InitProgramResources();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quorvane-%1.png").arg(size), QSize(size, size));
    return icon;
}
