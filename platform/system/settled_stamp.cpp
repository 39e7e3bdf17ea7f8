// The wait for a settled stamp, the same on every system; the granularity
// and the clock come from the system's file service.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/system/file_handle.h"

std::optional<FileHandle::Stamp> FileHandle::ReadSettledStamp() const {
    // A write under way when the stamp is taken has already set the file's
    // times, and further writes within the same tick leave them as they are:
    // stamps before and after a read could then agree although the read saw
    // two versions. A stamp taken when the last change is older than the
    // granularity (with a tick of margin, since the kernel's clock lags)
    // moves with any write that starts after it.
    if (!IsOpen()) return std::nullopt;
    const int64_t settle = 2 * TimestampGranularityNs() + 1'000'000;
    constexpr int64_t kPatience = 2'000'000'000;
    int64_t waited = 0;
    for (;;) {
        const std::optional<Stamp> stamp = ReadStamp();
        if (!stamp) return std::nullopt;
        const int64_t age = FileClockNowNs() - std::max(stamp->modified_ns, stamp->changed_ns);
        // A time in the future (a skewed network clock) cannot be judged.
        if (age >= settle || age < -kPatience) return stamp;
        if (waited >= std::max(kPatience, 3 * settle)) {
            errno = EBUSY;
            return std::nullopt;  // still being written
        }
        const int64_t pause = settle - age;
        std::this_thread::sleep_for(std::chrono::nanoseconds(pause));
        waited += pause;
    }
}
