#include "cli/interrupt_stop.h"

#include <pthread.h>

#include <ctime>

namespace {

// Every signal whose default action ends the program and that may be caught.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGTERM, SIGQUIT,
                                  SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2};

}  // namespace

void IgnoreFileSizeSignal() {
    signal(SIGXFSZ, SIG_IGN);
}

bool SignalIsIgnored(int signal_number) {
    struct sigaction current {};
    return sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

InterruptStop::InterruptStop() {
    sigemptyset(&signals_);
    // A blocked signal is queued even when ignored, and sigtimedwait would
    // take it: the ignored ones are left out.
    for (int s : kEndingSignals) {
        if (!SignalIsIgnored(s)) sigaddset(&signals_, s);
    }
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
