#include "platform/desktop/job_runner.h"

#include <QMetaObject>

void JobContext::Post(std::function<void()> update) const {
    if (shared_->cancelled.load() || receiver_.isNull()) return;
    QMetaObject::invokeMethod(
        receiver_.data(),
        [shared = shared_, update = std::move(update)] {
            if (!shared->cancelled.load()) update();
        },
        Qt::QueuedConnection);
}

bool JobRunner::Start(std::function<void(const JobContext&)> work, std::function<void()> finished) {
    if (running_) return false;
    // A thread that ended on its own may not have been joined yet.
    if (thread_.joinable()) thread_.join();
    running_ = true;
    shared_ = std::make_shared<JobContext::Shared>();
    auto shared = shared_;
    thread_ = std::jthread([this, shared, work = std::move(work),
                            finished = std::move(finished)](std::stop_token stop) {
        const JobContext context(receiver_, stop, shared);
        work(context);
        context.Post([this, finished] {
            running_ = false;
            if (finished) finished();
        });
    });
    return true;
}

void JobRunner::Stop() {
    if (!thread_.joinable()) {
        running_ = false;
        return;
    }
    shared_->cancelled.store(true);
    thread_.request_stop();
    thread_.join();
    running_ = false;
}
