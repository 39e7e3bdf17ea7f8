#include "app/main_window_template.h"
#include "app/build_info.h"

using namespace main_window_ids;

const DialogTemplate& MainWindowTemplate() {
    static const std::string caption = MainWindowCaption();
    static const std::string versionText = VersionLabelText();
    static const DialogTemplate dialog{
        kMainWindowTemplate,
        503,
        289,
        caption.c_str(),
        {
            {kTabControl, ControlKind::TabControl, "", kStyleNone, {10, 10, 484, 256}},
            {kIdCancel, ControlKind::PushButton, "退出", kStyleNone, {444, 268, 50, 16}},
            {kNoId, ControlKind::StaticText, versionText.c_str(), kStyleNone, {13, 271, 248, 11}},
        }};
    return dialog;
}
