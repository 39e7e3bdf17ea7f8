#pragma once
// Turns Ctrl-C (and SIGTERM, SIGHUP) into a stop request while a command
// works through its files, so that the core procedures can end cleanly and
// remove their temporary files instead of being killed halfway.

#include <signal.h>

#include <stop_token>
#include <thread>

class InterruptStop {
  public:
    /// Blocks the signals in the calling thread (and the watcher it starts,
    /// which waits for them); must be created before any other thread.
    InterruptStop();
    /// Ends the watcher and unblocks the signals again.
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

    std::stop_token token() const { return source_.get_token(); }
    bool interrupted() const { return source_.stop_requested(); }

  private:
    std::stop_source source_;
    sigset_t signals_{};
    sigset_t previous_{};
    std::jthread watcher_;
};
