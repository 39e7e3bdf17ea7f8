#pragma once
// Progress reporting and stop requests shared by every long-running core
// procedure (file encryption, hashing, wiping).

#include <cstddef>
#include <cstdint>
#include <stop_token>

/// The unit every long procedure works in: it reads, writes or overwrites a
/// file this many bytes at a time, checks for a stop request before each unit
/// and reports its progress by units.
inline constexpr std::size_t kWorkUnitBytes = std::size_t{1} << 20;

/// Called on the worker's thread with a procedure-specific value (a whole
/// percentage for the file procedures and hash drivers, a MiB block index for
/// the wipe) and the caller's opaque context. A null callback reports nothing.
using ProgressCallback = void (*)(int32_t value, void* context);

/// Long-running procedures take a std::stop_token: a default-constructed token
/// never asks to stop. Procedures check it before each work unit.
inline bool StopRequested(const std::stop_token& stop) {
    return stop.stop_requested();
}

// The whole percentages the procedures report. Each kind of run keeps its own
// rule, because the displays (and the scripts reading the command line's
// output) depend on the exact values.

/// `done` of `total` in whole percent, rounded down, never more than 100; 0
/// when there is nothing to do. Integer arithmetic: wipe positions.
inline int32_t PercentDone(uint64_t done, uint64_t total) {
    if (total == 0) return 0;
    const uint64_t capped = done < total ? done : total;
    return static_cast<int32_t>(capped * 100 / total);
}

/// Announced before unit `index` (from 0) of `count`: trunc((index + 1) /
/// count × 100) in double precision, dividing first, at most 100. The
/// division comes first on purpose: 29 of 100 gives 28.
inline int32_t PercentAtUnitStart(uint64_t index, uint64_t count) {
    if (count == 0) return 0;
    const double percent = double(index + 1) / double(count) * 100.0;
    return static_cast<int32_t>(percent < 100.0 ? percent : 100.0);
}

/// trunc((done + 1) / total × 100) in double precision, dividing first; the
/// low 32 bits of it, and 0 when `total` is 0. Not capped: the + 1 makes
/// small sources report more than 100 (10 bytes give 110).
inline int32_t PercentAheadUncapped(uint64_t done, uint64_t total) {
    if (total == 0) return 0;
    double percent = (static_cast<double>(done) + 1.0) / static_cast<double>(total) * 100.0;
    // Beyond this the conversion below would be undefined; no real file gets there.
    if (percent >= 9.0e18) percent = 9.0e18;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(percent)));
}
