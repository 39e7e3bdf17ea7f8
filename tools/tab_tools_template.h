#pragma once
// The dialog template of the tools page and its control identifiers, shared
// by the template, the page and its tests.

#include "platform/desktop/dialog_template.h"

namespace tools_page_ids {

inline constexpr int kToolsPageTemplate = 134;

// Password generator.
inline constexpr int kLengthEdit = 1015;
inline constexpr int kPasswordEdit = 1016;
inline constexpr int kGenerateButton = 1017;
inline constexpr int kUpperCheck = 1022;
inline constexpr int kLowerCheck = 1019;
inline constexpr int kDigitsCheck = 1020;
inline constexpr int kSymbolsCheck = 1021;

// Base64.
inline constexpr int kBase64Edit = 1028;
inline constexpr int kEncodeButton = 1031;
inline constexpr int kDecodeButton = 1032;

// Wipe list.
inline constexpr int kWipeList = 1003;
inline constexpr int kAddButton = 1023;
inline constexpr int kRemoveButton = 1027;
inline constexpr int kClearButton = 1018;
inline constexpr int kOnePassRadio = 1024;
inline constexpr int kSevenPassRadio = 1025;
inline constexpr int kThirtyFivePassRadio = 1026;
inline constexpr int kEraseButton = 1030;
inline constexpr int kStopButton = 1029;

/// Controls that would change a running wipe; disabled while it runs.
inline constexpr int kWipeSettingControls[] = {kOnePassRadio, kSevenPassRadio, kThirtyFivePassRadio,
                                               kAddButton,    kRemoveButton,   kClearButton,
                                               kEraseButton};

}  // namespace tools_page_ids

const DialogTemplate& ToolsPageTemplate();
