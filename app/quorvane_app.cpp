#include "app/quorvane_app.h"

#include <cstdlib>
#include <string>

#include "app/quorvane_dlg.h"

bool CQuorvaneApp::InitInstance() {
    CQuorvaneDlg dialog;
    dialog.Create(nullptr);
    dialog.RunModal();
    return false;
}

bool WindowSystemAvailable() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (set("QT_QPA_PLATFORM")) {
        const std::string platform = std::getenv("QT_QPA_PLATFORM");
        if (platform.rfind("xcb", 0) != 0 && platform.rfind("wayland", 0) != 0) return true;
    }
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}
