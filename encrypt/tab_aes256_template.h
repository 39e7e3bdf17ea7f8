#pragma once
// The dialog template of the encryption page and its control identifiers, shared by the
// template, the window and its tests.

#include "platform/desktop/dialog_template.h"

namespace encryption_page_ids {

inline constexpr int kEncryptionPageTemplate = 130;

inline constexpr int kFileList = 1003;
inline constexpr int kKeyEdit = 1005;
inline constexpr int kEraseCheck = 1006;
inline constexpr int kDecryptCheck = 1007;
inline constexpr int kActionButton = 1008;
inline constexpr int kStopButton = 1009;
inline constexpr int kAesRadio = 1010;
inline constexpr int kCamelliaRadio = 1011;
inline constexpr int kAddButton = 1012;
inline constexpr int kRemoveButton = 1014;
inline constexpr int kClearButton = 1015;
inline constexpr int kLocationButton = 1016;

}  // namespace encryption_page_ids

const DialogTemplate& EncryptionPageTemplate();
