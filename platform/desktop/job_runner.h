#pragma once
// One background job per page: a worker thread with a stop request, whose page
// updates are posted to the window thread and dropped once the job has been
// stopped. The window thread never waits on a worker: Stop returns at once and
// leaves the worker to finish its current system call (a sync of a large file
// on slow media can take long) in the background. From then on the worker can
// no longer reach the page, and the page is free to start another job.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

class DialogWindow;

class JobContext {
  public:
    /// The job's state, owned jointly by the runner and its worker, so that
    /// whichever ends last frees it. `receiver` may be used only while holding
    /// `mutex` and only while `cancelled` is false: Stop sets it under the
    /// mutex, and the page is destroyed only after Stop.
    struct Shared {
        std::mutex mutex;
        bool cancelled = false;
        DialogWindow* receiver = nullptr;
        /// Set by the worker as the last thing it does.
        std::atomic<bool> returned{false};
    };

    /// The stop request to hand to core procedures.
    std::stop_token StopToken() const { return stop_; }

    /// Runs `update` on the window thread, unless the job has been stopped by
    /// the time it would run. Never blocks for longer than it takes to queue.
    void Post(std::function<void()> update) const;

  private:
    friend class JobRunner;
    JobContext(std::stop_token stop, std::shared_ptr<Shared> shared)
        : stop_(std::move(stop)), shared_(std::move(shared)) {}

    std::stop_token stop_;
    std::shared_ptr<Shared> shared_;
};

class JobRunner {
  public:
    /// Updates are delivered on the thread of `receiver` (the page).
    explicit JobRunner(DialogWindow* receiver) : receiver_(receiver) {}
    ~JobRunner() { Stop(); }
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    /// True from Start until the job's last posted update has run, or Stop.
    bool Running() const { return running_; }

    /// Starts `work` on a new thread; refused (false) while a job runs.
    /// `finished` runs on the window thread after the job returned on its own,
    /// never after Stop. `work` must not use the page directly: it may outlive
    /// it after Stop.
    bool Start(std::function<void(const JobContext&)> work, std::function<void()> finished = {});

    /// Asks the job to stop and returns without waiting for it. Nothing the
    /// job posted is delivered afterwards. Does nothing when no job runs.
    void Stop();

  private:
    DialogWindow* receiver_;
    std::jthread thread_;
    std::shared_ptr<JobContext::Shared> shared_;
    bool running_ = false;
};

/// Waits until every worker that Stop left behind has returned. The program
/// calls it after its window has closed, so that an abandoned job still
/// discards its output (the user no longer sees the wait); tests call it
/// before the state their workers use goes away.
void JoinAbandonedJobs();
