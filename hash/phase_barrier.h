#pragma once
// A reusable barrier for a fixed group of threads, with the part of
// std::barrier<>'s interface the digest workers use. std::barrier of
// MinGW-w64's libstdc++ (GCC 12) sometimes never releases a phase whose
// last thread arrived; a mutex and a condition variable cannot lose a wake.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

class PhaseBarrier {
  public:
    explicit PhaseBarrier(std::ptrdiff_t expected) : expected_(expected) {}
    PhaseBarrier(const PhaseBarrier&) = delete;
    PhaseBarrier& operator=(const PhaseBarrier&) = delete;

    /// Arrives and waits until every expected thread of this phase arrived.
    void arrive_and_wait() {
        std::unique_lock lock(mutex_);
        const uint64_t phase = phase_;
        if (++arrived_ >= expected_) {
            Complete();
            return;
        }
        changed_.wait(lock, [&] { return phase_ != phase; });
    }

    /// Leaves the group for good without waiting: later phases expect one
    /// thread fewer, and the current one may complete with this.
    void arrive_and_drop() {
        std::lock_guard lock(mutex_);
        --expected_;
        if (arrived_ >= expected_) Complete();
    }

  private:
    void Complete() {
        arrived_ = 0;
        ++phase_;
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::ptrdiff_t expected_;
    std::ptrdiff_t arrived_ = 0;
    uint64_t phase_ = 0;
};
