#pragma once
// The colours of a page that paints white. A page keeps them whatever the
// desktop's theme is, so that its texts stay dark on its white ground also
// under a dark theme, whose light text colours would vanish on white.

#include <QColor>
#include <QPalette>

/// A complete light palette: white window and fields, black texts, a grey
/// that still reads on white and on the button face for disabled texts, and a
/// blue selection with white text.
QPalette LightPagePalette();
