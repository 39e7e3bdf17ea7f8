#include "platform/desktop/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

constexpr int kSmallestDialogFontPixels = 6;
int dialogFontPixels = kDefaultDialogFontPixels;

QFont DialogFontOf(int pixels) {
    QFont font;
    font.setFamilies(QStringList()
                     << QStringLiteral("Noto Sans CJK SC") << QStringLiteral("Noto Sans SC")
                     << QStringLiteral("WenQuanYi Micro Hei")
                     << QStringLiteral("Droid Sans Fallback") << QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    // 12 pixels gives base units close to 6 x 16, which keeps the templates'
    // proportions between text and control sizes.
    font.setPixelSize(pixels);
    return font;
}

}  // namespace

QFont DialogFont() {
    return DialogFontOf(dialogFontPixels);
}

int DialogFontPixels() {
    return dialogFontPixels;
}

void SetDialogFontPixels(int pixels) {
    dialogFontPixels = pixels;
}

int FittingDialogFontPixels(const QSize& templateUnits, const QSize& available) {
    for (int pixels = kDefaultDialogFontPixels; pixels > kSmallestDialogFontPixels; --pixels) {
        const DialogUnits units(DialogFontOf(pixels));
        if (units.ToPixelsX(templateUnits.width()) <= available.width() &&
            units.ToPixelsY(templateUnits.height()) <= available.height())
            return pixels;
    }
    return kSmallestDialogFontPixels;
}

int ScaledFromDefaultFont(int pixels) {
    return pixels * dialogFontPixels / kDefaultDialogFontPixels;
}

DialogUnits::DialogUnits(const QFont& font) {
    QFontMetrics metrics(font);
    // Average width over the 52 Latin letters, rounded as the dialog manager does.
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (width / 26 + 1) / 2;
    baseY_ = metrics.height();
}

QRect DialogUnits::ToPixels(const DialogRect& rect) const {
    const int left = ToPixelsX(rect.x);
    const int top = ToPixelsY(rect.y);
    return QRect(left, top, ToPixelsX(rect.x + rect.cx) - left, ToPixelsY(rect.y + rect.cy) - top);
}
