#pragma once
// Progress reporting and stop requests shared by every long-running core
// procedure (file encryption, hashing, wiping).

#include <cstdint>
#include <stop_token>

/// Called on the worker's thread with a procedure-specific value (a whole
/// percentage for the file procedures and hash drivers, a MiB block index for
/// the wipe) and the caller's opaque context. A null callback reports nothing.
using ProgressCallback = void (*)(int32_t value, void* context);

/// Long-running procedures take a std::stop_token: a default-constructed token
/// never asks to stop. Procedures check it before each MiB block of work.
inline bool StopRequested(const std::stop_token& stop) {
    return stop.stop_requested();
}
