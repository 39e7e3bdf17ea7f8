#pragma once
// The dialog template of the hash page and its control identifiers, shared by the
// template, the window and its tests.

#include "platform/desktop/dialog_template.h"

namespace hash_page_ids {

inline constexpr int kHashPageTemplate = 133;

inline constexpr int kOpenButton = 1031;
inline constexpr int kResultEdit = 1032;
inline constexpr int kProgressBar = 1033;
inline constexpr int kStopButton = 1034;
inline constexpr int kStatusText = 1035;
inline constexpr int kMd5Check = 1036;
inline constexpr int kSha1Check = 1037;
inline constexpr int kSha256Check = 1038;
inline constexpr int kSha512Check = 1040;
inline constexpr int kKeccakCheck = 1041;

}  // namespace hash_page_ids

const DialogTemplate& HashPageTemplate();
