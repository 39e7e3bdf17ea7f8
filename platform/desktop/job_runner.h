#pragma once
// One background job per page: a worker thread with a stop request, whose page
// updates are posted to the window thread and dropped once the job has been
// stopped. The window thread never waits on a worker for longer than the
// worker needs to notice a stop request (one block of work).

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

class JobContext {
  public:
    /// The stop request to hand to core procedures.
    std::stop_token StopToken() const { return stop_; }
    bool StopRequested() const { return stop_.stop_requested(); }

    /// Runs `update` on the window thread, unless the job has been stopped by
    /// the time it would run. Never blocks.
    void Post(std::function<void()> update) const;

  private:
    friend class JobRunner;
    struct Shared {
        std::atomic<bool> cancelled{false};
    };
    JobContext(QObject* receiver, std::stop_token stop, std::shared_ptr<Shared> shared)
        : receiver_(receiver), stop_(std::move(stop)), shared_(std::move(shared)) {}

    QPointer<QObject> receiver_;
    std::stop_token stop_;
    std::shared_ptr<Shared> shared_;
};

class JobRunner {
  public:
    /// Updates are delivered on the thread of `receiver` (the page).
    explicit JobRunner(QObject* receiver) : receiver_(receiver) {}
    ~JobRunner() { Stop(); }
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    /// True from Start until the job's last posted update has run, or Stop.
    bool Running() const { return running_; }

    /// Starts `work` on a new thread; refused (false) while a job runs.
    /// `finished` runs on the window thread after the job returned on its own,
    /// never after Stop.
    bool Start(std::function<void(const JobContext&)> work, std::function<void()> finished = {});

    /// Asks the job to stop and waits until it has returned. Nothing the job
    /// posted is delivered afterwards. Does nothing when no job runs.
    void Stop();

  private:
    QObject* receiver_;
    std::jthread thread_;
    std::shared_ptr<JobContext::Shared> shared_;
    bool running_ = false;
};
