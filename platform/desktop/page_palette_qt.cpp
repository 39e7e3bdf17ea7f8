#include "platform/desktop/page_palette_qt.h"

QPalette LightPagePalette() {
    const QColor black(0x00, 0x00, 0x00);
    const QColor white(0xff, 0xff, 0xff);
    const QColor buttonFace(0xef, 0xef, 0xef);
    const QColor disabledText(0x64, 0x64, 0x64);  // 5.9:1 on white, 5.1:1 on the button face
    const QColor selection(0x00, 0x5f, 0xb8);     // white on it: 6.4:1

    QPalette palette(buttonFace, white);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        const QColor text = disabled ? disabledText : black;
        palette.setColor(group, QPalette::Window, white);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, white);
        palette.setColor(group, QPalette::AlternateBase, QColor(0xf5, 0xf5, 0xf5));
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::PlaceholderText, disabledText);
        palette.setColor(group, QPalette::Button, buttonFace);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::BrightText, white);
        palette.setColor(group, QPalette::Light, white);
        palette.setColor(group, QPalette::Midlight, QColor(0xe3, 0xe3, 0xe3));
        palette.setColor(group, QPalette::Mid, QColor(0xa0, 0xa0, 0xa0));
        palette.setColor(group, QPalette::Dark, QColor(0x9a, 0x9a, 0x9a));
        palette.setColor(group, QPalette::Shadow, QColor(0x69, 0x69, 0x69));
        palette.setColor(group, QPalette::Highlight,
                         disabled ? QColor(0xd4, 0xd4, 0xd4) : selection);
        palette.setColor(group, QPalette::HighlightedText, disabled ? black : white);
        palette.setColor(group, QPalette::Link, QColor(0x00, 0x45, 0xa6));
        palette.setColor(group, QPalette::LinkVisited, QColor(0x55, 0x1a, 0x8b));
        palette.setColor(group, QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
        palette.setColor(group, QPalette::ToolTipText, black);
    }
    return palette;
}
