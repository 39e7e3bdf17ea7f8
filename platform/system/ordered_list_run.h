#pragma once
// Works through a list on several threads and hands the results on in list
// order: what each item printed or decided comes out as if the list had been
// worked through one item after another.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <system_error>
#include <thread>
#include <vector>

/// The number of items worked on at once when the caller asks for `jobs`
/// (0: one per core).
inline unsigned ListJobs(unsigned jobs) {
    if (jobs > 0) return jobs;
    return std::max(1u, std::thread::hardware_concurrency());
}

/// Runs `work(i)` for every item i in [0, count) on up to `jobs` threads and
/// calls `deliver(i, result)` on the calling thread in the order of i. With
/// one job, or when no thread can be started, everything runs on the calling
/// thread, one item after another. Once `stop` is requested no item is
/// started any more; the results of the items already worked on are still
/// delivered, in order. An item is started only while fewer than four items
/// per job wait for delivery, so the results held at once stay few, however
/// long the list.
template <typename Result>
void RunListInOrder(std::size_t count, unsigned jobs,
                    const std::function<Result(std::size_t)>& work,
                    const std::function<void(std::size_t, Result&)>& deliver,
                    const std::stop_token& stop) {
    if (jobs <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count && !stop.stop_requested(); ++i) {
            Result result = work(i);
            deliver(i, result);
        }
        return;
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;       // the next item to start
    std::size_t delivered = 0;  // items handed on so far
    std::size_t running = 0;    // threads still working
    const std::size_t window = std::size_t{4} * jobs;
    // Item i waits in slot i % window: an item starts only once the item a
    // window before it has been handed on, so no two waiting items share one.
    std::vector<std::optional<Result>> results(std::min(window, count));
    const auto slot = [&](std::size_t i) -> std::optional<Result>& {
        return results[i % results.size()];
    };

    auto worker = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] {
                return stop.stop_requested() || next >= count || next < delivered + window;
            });
            if (stop.stop_requested() || next >= count) break;
            const std::size_t i = next++;
            lock.unlock();
            Result result = work(i);
            lock.lock();
            slot(i).emplace(std::move(result));
            changed.notify_all();
        }
        --running;
        changed.notify_all();
    };
    std::vector<std::jthread> threads;
    for (unsigned t = 0; t < jobs; ++t) {
        try {
            {
                std::lock_guard lock(mutex);
                ++running;
            }
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            std::lock_guard lock(mutex);
            --running;
            break;
        }
    }
    if (threads.empty()) {
        RunListInOrder<Result>(count, 1, work, deliver, stop);
        return;
    }
    std::stop_callback wake(stop, [&] {
        std::lock_guard lock(mutex);
        changed.notify_all();
    });
    std::unique_lock lock(mutex);
    while (delivered < count) {
        changed.wait(lock, [&] { return slot(delivered).has_value() || running == 0; });
        // Items start in list order: one never started (the list was
        // stopped) has no started item after it.
        if (!slot(delivered).has_value()) break;
        Result result = std::move(*slot(delivered));
        slot(delivered).reset();
        const std::size_t i = delivered++;
        changed.notify_all();
        lock.unlock();
        deliver(i, result);
        lock.lock();
    }
}
