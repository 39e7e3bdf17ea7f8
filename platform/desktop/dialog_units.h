#pragma once
// Conversion from dialog units to pixels through the dialog font's base units,
// the way the original dialog framework lays out its templates: one horizontal
// unit is a quarter of the font's average character width, one vertical unit
// an eighth of its character height.

#include "platform/desktop/dialog_template.h"

/// The dialog font's pixel size unless the screen is too small for it.
inline constexpr int kDefaultDialogFontPixels = 12;

/// The pixel size of the dialog font; set before the first window is built.
int DialogFontPixels();
void SetDialogFontPixels(int pixels);

/// `pixels` measured at the default dialog font, at the current one: layouts
/// given in pixels shrink with the font.
int ScaledFromDefaultFont(int pixels);

class DialogUnits {
  public:
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

    int ToPixelsX(int units) const { return (units * baseX_ + 2) / 4; }
    int ToPixelsY(int units) const { return (units * baseY_ + 4) / 8; }
    PixelRect ToPixels(const DialogRect& rect) const;

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

  private:
    int baseX_;
    int baseY_;
};

/// The base units of the dialog font at DialogFontPixels().
DialogUnits DialogFontUnits();
