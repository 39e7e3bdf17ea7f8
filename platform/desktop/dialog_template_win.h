#pragma once
// A dialog template as the dialog manager reads it (DLGTEMPLATEEX and its
// items), built in memory from the layer's template.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/desktop/dialog_template.h"

/// The identifier a control without one of its own gets in the built template:
/// the layer reaches every control, labels too, through the dialog manager.
inline int BuiltControlId(const ControlTemplate& control, std::size_t index) {
    return control.id != kNoId ? control.id : 0xE000 + static_cast<int>(index);
}

/// The template of a page (a child dialog inside the main window) or of a
/// top-level window with a caption and a minimise box; font "MS Shell Dlg"
/// 8 pt. The texts pass through the interface's translation.
std::vector<uint8_t> BuildDialogTemplate(const DialogTemplate& dialogTemplate, bool page);
