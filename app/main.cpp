// quorvane: the window program.
#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/build_info.h"
#include "app/main_window_template.h"
#include "app/quorvane_app.h"
#include "ciphers/cipher_paths.h"
#include "hash/engines/digest_paths.h"
#include "platform/desktop/command_line.h"
#include "platform/desktop/dialog_units_qt.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/program_icon_qt.h"
#include "platform/desktop/ui_text.h"
#include "platform/system/code_page.h"

namespace {

constexpr int kExitUsage = 2;
// Room for the title bar and borders that the window manager adds.
const QSize kWindowFrame(16, 48);

// A screen too small for the window at its natural size (a large scale
// factor, high-dpi fonts) gets every dialog laid out with a smaller font, so
// that all controls stay reachable; on a screen where it fits, nothing changes.
void FitDialogsToScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const DialogTemplate& window = MainWindowTemplate();
    SetDialogFontPixels(FittingDialogFontPixels(QSize(window.cx, window.cy),
                                                screen->availableGeometry().size() - kWindowFrame));
}

std::vector<std::u16string> ProgramArguments(int argc, char** argv) {
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(QString::fromLocal8Bit(argv[i]).toStdU16String());
    return arguments;
}

// --lang wins over QUORVANE_LANG; an unknown name in the environment is
// reported and Chinese is kept.
InterfaceLanguage ChosenLanguage(const ProgramOptions& options) {
    if (options.languageGiven) return options.language;
    InterfaceLanguage language = InterfaceLanguage::Chinese;
    const QString fromEnvironment = qEnvironmentVariable("QUORVANE_LANG");
    if (!fromEnvironment.isEmpty() && !LanguageFromName(fromEnvironment.toStdU16String(), language))
        std::fprintf(stderr, "quorvane: QUORVANE_LANG=%s is not zh or en; using zh\n",
                     qPrintable(fromEnvironment));
    return language;
}

}  // namespace

int main(int argc, char** argv) {
    const ProgramOptions options = ParseProgramArguments(ProgramArguments(argc, argv));
    switch (options.action) {
        case ProgramOptions::Action::Help:
            std::fputs(ProgramUsageText(), stdout);
            return 0;
        case ProgramOptions::Action::Version:
            std::printf("quorvane %s\n%s\n%s\n", ProductVersion(), CipherPathsText().c_str(),
                        DigestPathsText().c_str());
            return 0;
        case ProgramOptions::Action::Error:
            std::fprintf(stderr, "quorvane: %s\nTry 'quorvane --help'.\n", options.error.c_str());
            return kExitUsage;
        case ProgramOptions::Action::Run:
            break;
    }
    if (!WindowSystemAvailable()) {
        std::fprintf(stderr,
                     "quorvane: no display found (set DISPLAY or WAYLAND_DISPLAY); "
                     "use quorvane-cli without a desktop.\n");
        return 1;
    }
    // Qt sees no arguments: every argument was ours, and a file named like one
    // of Qt's own options must stay a file.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    UseUserLocaleCharset();
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    InstallTranslations(ChosenLanguage(options));
    QApplication::setWindowIcon(ProgramIcon());
    FitDialogsToScreen();
    QApplication::setFont(DialogFont());
    SetCommandLineArguments(options.files);

    CQuorvaneApp app;
    app.InitInstance();
    // The window is gone; a job stopped by closing it still removes its
    // partial output before the program ends.
    JoinAbandonedJobs();
    return 0;
}
