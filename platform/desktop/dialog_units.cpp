#include "platform/desktop/dialog_units.h"

namespace {
int dialogFontPixels = kDefaultDialogFontPixels;
}

int DialogFontPixels() {
    return dialogFontPixels;
}

void SetDialogFontPixels(int pixels) {
    dialogFontPixels = pixels;
}

int ScaledFromDefaultFont(int pixels) {
    return pixels * dialogFontPixels / kDefaultDialogFontPixels;
}

PixelRect DialogUnits::ToPixels(const DialogRect& rect) const {
    const int left = ToPixelsX(rect.x);
    const int top = ToPixelsY(rect.y);
    return {left, top, ToPixelsX(rect.x + rect.cx) - left, ToPixelsY(rect.y + rect.cy) - top};
}
