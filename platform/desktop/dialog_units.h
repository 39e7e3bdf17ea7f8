#pragma once
// Conversion from dialog units to pixels through the dialog font's base units,
// the way the original dialog framework lays out its templates: one horizontal
// unit is a quarter of the font's average character width, one vertical unit
// an eighth of its character height.

#include <QFont>
#include <QRect>
#include <QSize>

#include "platform/desktop/dialog_template.h"

/// The dialog font's pixel size unless the screen is too small for it.
inline constexpr int kDefaultDialogFontPixels = 12;

/// The font every dialog is laid out with: the desktop's sans-serif font with
/// Simplified Chinese coverage, at DialogFontPixels().
QFont DialogFont();

/// The pixel size of the dialog font; set before the first window is built.
int DialogFontPixels();
void SetDialogFontPixels(int pixels);

/// The largest pixel size, at most the default, at which a template of
/// `templateUnits` (dialog units) takes no more than `available` pixels; the
/// smallest size the font still reads at when none does.
int FittingDialogFontPixels(const QSize& templateUnits, const QSize& available);

/// `pixels` measured at the default dialog font, at the current one: layouts
/// given in pixels shrink with the font.
int ScaledFromDefaultFont(int pixels);

class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font = DialogFont());

    int ToPixelsX(int units) const { return (units * baseX_ + 2) / 4; }
    int ToPixelsY(int units) const { return (units * baseY_ + 4) / 8; }
    QRect ToPixels(const DialogRect& rect) const;

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

  private:
    int baseX_;
    int baseY_;
};
