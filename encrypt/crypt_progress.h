#pragma once
// The percentage the file procedures report before each chunk.

#include <cstdint>

#include "platform/system/progress.h"

/// trunc((done + 1) / total × 100) in double precision, dividing first; the
/// low 32 bits of it, and 0 when `total` is 0. The + 1 makes small sources
/// report more than 100 (10 bytes give 110).
inline int32_t CryptProgressValue(uint64_t done, uint64_t total) {
    if (total == 0) return 0;
    double percent = (static_cast<double>(done) + 1.0) / static_cast<double>(total) * 100.0;
    // Beyond this the conversion below would be undefined; no real file gets there.
    if (percent >= 9.0e18) percent = 9.0e18;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(percent)));
}

inline void ReportCryptProgress(ProgressCallback callback, void* context, uint64_t done,
                                uint64_t total) {
    if (callback != nullptr) callback(CryptProgressValue(done, total), context);
}
