#include <windows.h>

#include "platform/desktop/dialog_units.h"
#include "platform/desktop/dialog_window_win.h"

DialogUnits UnitsOfFont(HFONT font) {
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, font);
    SIZE letters{};
    GetTextExtentPoint32W(screen, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52,
                          &letters);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return DialogUnits((letters.cx / 26 + 1) / 2, int(metrics.tmHeight));
}

DialogUnits DialogFontUnits() {
    // The base units of the templates' font, "MS Shell Dlg" 8 pt, measured
    // the way the dialog manager measures them. Each window takes its own
    // from the dialog manager once it exists.
    const HDC screen = GetDC(nullptr);
    const HFONT font =
        CreateFontW(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE,
                    FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg");
    ReleaseDC(nullptr, screen);
    const DialogUnits units = UnitsOfFont(font);
    DeleteObject(font);
    return units;
}
