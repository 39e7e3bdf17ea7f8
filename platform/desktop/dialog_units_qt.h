#pragma once
// The dialog font as Qt sees it, for the Qt implementation of the layer and
// the Qt program's start.

#include <QFont>
#include <QRect>
#include <QSize>

#include "platform/desktop/dialog_units.h"

/// The font every dialog is laid out with: the desktop's sans-serif font with
/// Simplified Chinese coverage, at DialogFontPixels().
QFont DialogFont();

/// The base units of `font`.
DialogUnits DialogUnitsOf(const QFont& font);

/// The largest pixel size, at most the default, at which a template of
/// `templateUnits` (dialog units) takes no more than `available` pixels; the
/// smallest size the font still reads at when none does.
int FittingDialogFontPixels(const QSize& templateUnits, const QSize& available);

inline QRect ToQRect(const PixelRect& rect) {
    return QRect(rect.x, rect.y, rect.width, rect.height);
}
