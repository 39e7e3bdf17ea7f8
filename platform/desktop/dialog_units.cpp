#include "platform/desktop/dialog_units.h"

#include <QFontMetrics>
#include <QStringList>

QFont DialogFont() {
    QFont font;
    font.setFamilies(QStringList()
                     << QStringLiteral("Noto Sans CJK SC") << QStringLiteral("Noto Sans SC")
                     << QStringLiteral("WenQuanYi Micro Hei")
                     << QStringLiteral("Droid Sans Fallback") << QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    // 12 pixels gives base units close to 6 x 16, which keeps the templates'
    // proportions between text and control sizes.
    font.setPixelSize(12);
    return font;
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
