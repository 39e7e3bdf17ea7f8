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

InterruptStop::InterruptStop() : wake_signal_(SIGRTMIN) {
    sigemptyset(&signals_);
    // A blocked signal is queued even when ignored, and sigwait would take
    // it: the ignored ones are left out.
    for (int s : kEndingSignals) {
        if (!SignalIsIgnored(s)) sigaddset(&signals_, s);
    }
    sigaddset(&signals_, wake_signal_);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    // No polling: the watcher sleeps until a signal comes, or until the
    // destructor wakes it with a signal of its own.
    watcher_ = std::thread([this] {
        int taken = 0;
        while (sigwait(&signals_, &taken) != 0) {
        }
        if (taken != wake_signal_) source_.request_stop();
    });
}

InterruptStop::~InterruptStop() {
    pthread_kill(watcher_.native_handle(), wake_signal_);
    watcher_.join();
    // The signals stay blocked until the program ends: once the work is done
    // a late signal changes nothing, so what was said and the exit status
    // match what is on disk.
}
