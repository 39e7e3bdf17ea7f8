#pragma once
// The dialog template of the About page and its control identifiers, shared by the
// template, the window and its tests.

#include "platform/desktop/dialog_template.h"

namespace about_page_ids {

inline constexpr int kAboutPageTemplate = 129;

inline constexpr int kContextMenuBox = 1037;

}  // namespace about_page_ids

const DialogTemplate& AboutPageTemplate();
