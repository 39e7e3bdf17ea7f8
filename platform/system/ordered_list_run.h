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

/// Runs `work(i)` for every item i in [0, count) on up to `jobs` threads, the
/// calling thread being one of them, and calls `deliver(i, result)` on the
/// calling thread in the order of i. With one job, or when no other thread
/// can be started, everything runs on the calling thread, one item after
/// another. Once `stop` is requested no item is started any more; the results
/// of the items already worked on are still delivered, in order. An item is
/// started only while fewer than four items per job wait for delivery, so the
/// results held at once stay few, however long the list.
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
    // Threads wake each other only when one waits for what the other did:
    // items of small files take microseconds, and a wake-up costs as much.
    std::condition_variable delivery_ready;  // the calling thread waits here
    std::condition_variable window_open;     // the other threads wait here
    bool caller_waits = false;
    std::size_t workers_waiting = 0;
    std::size_t next = 0;       // the next item to start
    std::size_t delivered = 0;  // items handed on so far
    const std::size_t window = std::size_t{4} * jobs;
    // Item i waits in slot i % window: an item starts only once the item a
    // window before it has been handed on, so no two waiting items share one.
    std::vector<std::optional<Result>> results(std::min(window, count));
    const auto slot = [&](std::size_t i) -> std::optional<Result>& {
        return results[i % results.size()];
    };
    const auto may_start = [&] {
        return !stop.stop_requested() && next < count && next < delivered + window;
    };

    auto worker = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            while (!may_start() && !stop.stop_requested() && next < count) {
                ++workers_waiting;
                window_open.wait(lock);
                --workers_waiting;
            }
            if (!may_start()) break;
            const std::size_t i = next++;
            lock.unlock();
            Result result = work(i);
            lock.lock();
            slot(i).emplace(std::move(result));
            if (i == delivered && caller_waits) delivery_ready.notify_one();
        }
    };
    std::vector<std::jthread> threads;
    for (unsigned t = 1; t < jobs; ++t) {
        try {
            threads.emplace_back(worker);
        } catch (const std::system_error&) {
            break;  // the threads that started, the calling thread among them, do the work
        }
    }
    std::stop_callback wake(stop, [&] {
        std::lock_guard lock(mutex);
        delivery_ready.notify_all();
        window_open.notify_all();
    });
    std::unique_lock lock(mutex);
    while (delivered < count) {
        if (slot(delivered).has_value()) {
            Result result = std::move(*slot(delivered));
            slot(delivered).reset();
            const std::size_t i = delivered++;
            if (workers_waiting > 0) window_open.notify_all();
            lock.unlock();
            deliver(i, result);
            lock.lock();
        } else if (may_start()) {
            // Rather than wait, the calling thread works on an item itself.
            const std::size_t i = next++;
            lock.unlock();
            Result result = work(i);
            lock.lock();
            slot(i).emplace(std::move(result));
        } else if (delivered >= next) {
            break;  // stopped: items start in list order, so none after it started
        } else {
            caller_waits = true;
            delivery_ready.wait(lock);
            caller_waits = false;
        }
    }
    lock.unlock();
}
