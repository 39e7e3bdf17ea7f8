#include "cli/interrupt_stop.h"

#include <pthread.h>

#include <ctime>

InterruptStop::InterruptStop() {
    sigemptyset(&signals_);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals_, s);
    pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
    watcher_ = std::jthread([this](std::stop_token done) {
        const timespec tick{0, 100'000'000};
        while (!done.stop_requested()) {
            if (sigtimedwait(&signals_, nullptr, &tick) > 0) {
                source_.request_stop();
                return;
            }
        }
    });
}

InterruptStop::~InterruptStop() {
    watcher_.request_stop();
    watcher_.join();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}
