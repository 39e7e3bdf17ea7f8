#include "platform/desktop/job_runner.h"

#include <algorithm>
#include <vector>

#include "platform/desktop/dialog_window.h"

namespace {

// Workers that Stop left running, with their shared state, whose `returned`
// flag tells when joining one costs no wait.
struct AbandonedJob {
    std::jthread thread;
    std::shared_ptr<JobContext::Shared> shared;
};

std::mutex abandonedMutex;
std::vector<AbandonedJob> abandoned;

void JoinFinishedAbandonedJobs() {
    const std::lock_guard lock(abandonedMutex);
    const auto finished =
        std::partition(abandoned.begin(), abandoned.end(),
                       [](const AbandonedJob& job) { return !job.shared->returned.load(); });
    abandoned.erase(finished, abandoned.end());  // joins them: each has returned
}

}  // namespace

void JobContext::Post(std::function<void()> update) const {
    const std::lock_guard lock(shared_->mutex);
    if (shared_->cancelled) return;
    shared_->receiver->Post([shared = shared_, update = std::move(update)] {
        // On the window thread, where Stop runs too: no lock needed.
        if (!shared->cancelled) update();
    });
}

bool JobRunner::Start(std::function<void(const JobContext&)> work, std::function<void()> finished) {
    if (running_) return false;
    // A thread that ended on its own has posted its last update already.
    if (thread_.joinable()) thread_.join();
    running_ = true;
    shared_ = std::make_shared<JobContext::Shared>();
    shared_->receiver = receiver_;
    auto shared = shared_;
    thread_ = std::jthread([this, shared, work = std::move(work),
                            finished = std::move(finished)](std::stop_token stop) {
        const JobContext context(stop, shared);
        work(context);
        // Runs only while the job has not been stopped, which means the
        // runner still exists.
        context.Post([this, finished] {
            running_ = false;
            if (finished) finished();
        });
        shared->returned.store(true);
    });
    return true;
}

void JobRunner::Stop() {
    running_ = false;
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->cancelled = true;
    }
    thread_.request_stop();
    JoinFinishedAbandonedJobs();
    // The worker keeps the shared state alive for itself; its thread waits in
    // the list of abandoned jobs until it is joined.
    const std::lock_guard lock(abandonedMutex);
    abandoned.push_back(AbandonedJob{std::move(thread_), std::move(shared_)});
}

void JoinAbandonedJobs() {
    std::vector<AbandonedJob> jobs;
    {
        const std::lock_guard lock(abandonedMutex);
        jobs.swap(abandoned);
    }
    jobs.clear();  // joins each
}
