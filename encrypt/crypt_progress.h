#pragma once
// The percentage the file procedures report before each chunk.

#include <cstdint>

#include "platform/system/progress.h"

/// Reports `done` of `total` bytes by the file procedures' rule
/// (PercentAheadUncapped) when there is a callback.
inline void ReportCryptProgress(ProgressCallback callback, void* context, uint64_t done,
                                uint64_t total) {
    if (callback != nullptr) callback(PercentAheadUncapped(done, total), context);
}
