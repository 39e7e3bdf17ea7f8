#pragma once
// Conversion from dialog units to pixels through the dialog font's base units,
// the way the original dialog framework lays out its templates: one horizontal
// unit is a quarter of the font's average character width, one vertical unit
// an eighth of its character height.

#include <QFont>
#include <QRect>

#include "platform/desktop/dialog_template.h"

/// The font every dialog is laid out with: the desktop's sans-serif font with
/// Simplified Chinese coverage.
QFont DialogFont();

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
