// The encryption page with many small files dropped on it: how long the drop
// and the run take, and the longest time the window thread went without
// serving its event loop (what a user feels as a hang).
//
// Usage: page_list_timing [files, default 5000] [folder, default $TMPDIR or /tmp]
// Run it without a display: QT_QPA_PLATFORM=offscreen page_list_timing
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/quorvane_dlg.h"
#include "encrypt/tab_aes256_dlg.h"
#include "encrypt/tab_aes256_template.h"
#include "platform/desktop/dialog_window_qt.h"
#include "platform/desktop/qt_text.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::u16string> MakeSmallFiles(const fs::path& folder, int count) {
    std::vector<std::u16string> paths;
    const std::string bytes(4096, 'q');
    for (int i = 0; i < count; ++i) {
        const fs::path path = folder / ("small " + std::to_string(i));
        std::ofstream(path, std::ios::binary) << bytes;
        paths.push_back(FromQt(QString::fromStdString(path.string())));
    }
    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 5000;
    const char* tmp = std::getenv("TMPDIR");
    const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::path(tmp ? tmp : "/tmp");
    const fs::path folder = base / ("quorvane-page-timing-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::vector<std::u16string> paths = MakeSmallFiles(folder, count);

    CQuorvaneDlg window;
    window.Create(nullptr);
    QtHost(window)->show();
    CTabAES256Dlg* page = window.EncryptionPage();
    QElapsedTimer clock;
    clock.start();
    window.OnDropFiles(paths);
    QCoreApplication::processEvents();
    const qint64 dropMs = clock.elapsed();

    QtItemAs<QLineEdit>(*page, encryption_page_ids::kKeyEdit)->setText(QStringLiteral("key"));
    qint64 longestGap = 0;
    QElapsedTimer gap;
    gap.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, gap.restart()); });
    tick.start(5);
    clock.restart();
    QtItemAs<QAbstractButton>(*page, encryption_page_ids::kActionButton)->click();
    while (page->IsRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 runMs = clock.elapsed();
    std::printf(
        "%d files of 4 KiB in %s: drop %lld ms, encryption %lld ms, longest wait of the "
        "window %lld ms\n",
        count, base.c_str(), static_cast<long long>(dropMs), static_cast<long long>(runMs),
        static_cast<long long>(longestGap));
    fs::remove_all(folder);
    return 0;
}
