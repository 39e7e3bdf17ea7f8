#include "platform/desktop/dialog_units_qt.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

constexpr int kSmallestDialogFontPixels = 6;

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
    return DialogFontOf(DialogFontPixels());
}

DialogUnits DialogFontUnits() {
    return DialogUnitsOf(DialogFont());
}

int FittingDialogFontPixels(const QSize& templateUnits, const QSize& available) {
    for (int pixels = kDefaultDialogFontPixels; pixels > kSmallestDialogFontPixels; --pixels) {
        const DialogUnits units = DialogUnitsOf(DialogFontOf(pixels));
        if (units.ToPixelsX(templateUnits.width()) <= available.width() &&
            units.ToPixelsY(templateUnits.height()) <= available.height())
            return pixels;
    }
    return kSmallestDialogFontPixels;
}

DialogUnits DialogUnitsOf(const QFont& font) {
    QFontMetrics metrics(font);
    // Average width over the 52 Latin letters, rounded as the dialog manager does.
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits((width / 26 + 1) / 2, metrics.height());
}
