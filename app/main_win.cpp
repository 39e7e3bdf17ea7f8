// quorvane.exe: the window program on Windows.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/build_info.h"
#include "app/quorvane_app.h"
#include "ciphers/cipher_paths.h"
#include "hash/engines/digest_paths.h"
#include "platform/desktop/command_line.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/ui_text.h"

namespace {

constexpr int kExitUsage = 2;

// The arguments after the program's name, split the way the system splits
// them: a quoted path with spaces is one argument, without its quotes.
std::vector<std::u16string> ProgramArguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::u16string> result;
    if (!arguments) return result;
    for (int i = 1; i < count; ++i)
        result.emplace_back(reinterpret_cast<const char16_t*>(arguments[i]));
    LocalFree(arguments);
    return result;
}

// A window program has no console of its own: --help and --version go to the
// console that started it, or to where its output was redirected.
void Print(const std::string& utf8, bool error) {
    HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS))
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        std::wstring wide(utf8.size(), L'\0');
        const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()),
                                              wide.data(), int(wide.size()));
        WriteConsoleW(out, wide.data(), DWORD(units), &written, nullptr);
    } else {
        WriteFile(out, utf8.data(), DWORD(utf8.size()), &written, nullptr);
    }
}

// --lang wins over QUORVANE_LANG; an unknown name in the environment is
// reported and Chinese is kept.
InterfaceLanguage ChosenLanguage(const ProgramOptions& options) {
    if (options.languageGiven) return options.language;
    InterfaceLanguage language = InterfaceLanguage::Chinese;
    const wchar_t* fromEnvironment = _wgetenv(L"QUORVANE_LANG");
    if (fromEnvironment && *fromEnvironment &&
        !LanguageFromName(reinterpret_cast<const char16_t*>(fromEnvironment), language))
        Print("quorvane: QUORVANE_LANG=" +
                  Utf8Of(reinterpret_cast<const char16_t*>(fromEnvironment)) +
                  " is not zh or en; using zh\n",
              true);
    return language;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const ProgramOptions options = ParseProgramArguments(ProgramArguments());
    switch (options.action) {
        case ProgramOptions::Action::Help:
            Print(ProgramUsageText(), false);
            return 0;
        case ProgramOptions::Action::Version:
            Print(std::string("quorvane ") + ProductVersion() + "\n" + CipherPathsText() + "\n" +
                      DigestPathsText() + "\n",
                  false);
            return 0;
        case ProgramOptions::Action::Error:
            Print("quorvane: " + options.error + "\nTry 'quorvane --help'.\n", true);
            return kExitUsage;
        case ProgramOptions::Action::Run:
            break;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    InstallTranslations(ChosenLanguage(options));
    SetCommandLineArguments(options.files);

    CQuorvaneApp app;
    app.InitInstance();
    // The window is gone; a job stopped by closing it still removes its
    // partial output before the program ends.
    JoinAbandonedJobs();
    return 0;
}
