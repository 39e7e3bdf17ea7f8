#pragma once
// Dialog templates as data: every window is described by a table of controls
// with identifier, kind, text, style and rectangle in dialog units, and built
// from that table by DialogWindow.

#include <cstdint>
#include <vector>

/// Identifier of controls that are never addressed (labels, group boxes).
inline constexpr int kNoId = -1;
/// The identifier of the button that closes a dialog (Esc, close box).
inline constexpr int kIdCancel = 2;

enum class ControlKind {
    PushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    StaticText,
    Edit,           ///< single-line edit
    MultiLineEdit,  ///< multi-line edit
    ListView,       ///< report-style list with columns
    ProgressBar,
    TabControl,
};

/// Style flags; several may be combined.
enum ControlStyle : uint32_t {
    kStyleNone = 0,
    kAlignRight = 1u << 0,      ///< static text: right-aligned
    kAlignCenter = 1u << 1,     ///< static text: centred
    kDisabled = 1u << 2,        ///< created disabled
    kDefaultButton = 1u << 3,   ///< the page's default push button
    kDigitsOnly = 1u << 4,      ///< edit accepts only digits
    kReadOnly = 1u << 5,        ///< edit cannot be changed by the user
    kVScroll = 1u << 6,         ///< multi-line edit: vertical scroll bar
    kWantReturn = 1u << 7,      ///< multi-line edit: Return inserts a line break
    kMultiSelect = 1u << 8,     ///< list view: several rows may be selected
    kBorder = 1u << 9,          ///< edit or list with a border
    kBreakAnywhere = 1u << 10,  ///< multi-line edit: long lines wrap at any character
    kBold = 1u << 11,           ///< static text: bold, as a heading
};

/// A rectangle in dialog units: left, top, width, height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

/// A rectangle in pixels of a window's client area.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate {
    int id = kNoId;
    ControlKind kind = ControlKind::StaticText;
    const char* text = "";  ///< UTF-8
    uint32_t style = kStyleNone;
    DialogRect rect;
};

struct DialogTemplate {
    int resourceId = 0;
    int cx = 0;  ///< width in dialog units
    int cy = 0;  ///< height in dialog units
    const char* caption = "";
    std::vector<ControlTemplate> controls;
};
