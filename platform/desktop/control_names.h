#pragma once
// Names for the controls that show no text of their own (edits, lists,
// progress bars), taken from the labels beside them, so that assistive
// technology can say what a field is for. The template's layout says which
// label belongs to which field, as it does for a sighted user.

#include <string>
#include <vector>

#include "platform/desktop/dialog_template.h"

/// For each control of `dialogTemplate`, the index of the control that names
/// it, or -1. A field is named by the fixed label just left of it on its line,
/// else by the one just above it that starts where it starts, else by the
/// smallest group box around it. Other controls carry their own text.
std::vector<int> NamingControls(const DialogTemplate& dialogTemplate);

/// A label's text as a name: without the colon that ends it.
std::u16string NameFromLabel(const std::u16string& text);
