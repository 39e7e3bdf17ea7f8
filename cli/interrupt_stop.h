#pragma once
// Turns the signals that would end the program (Ctrl-C, SIGTERM, SIGHUP,
// SIGQUIT, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2) into a stop request while a
// command works through its files, so that the core procedures can end
// cleanly and remove their temporary files instead of being killed halfway.
// A signal that was ignored when the program started (nohup, a script's
// background job) stays ignored. On Windows the console's control events
// (Ctrl-C, Ctrl-Break, closing the console, log-off, shutdown) request the
// stop instead.

#if !defined(_WIN32)
#include <signal.h>
#endif

#include <stop_token>
#include <thread>

/// Lets a write beyond the file size limit fail with EFBIG, so that it is
/// reported and cleaned up like a full disk instead of killing the program.
void IgnoreFileSizeSignal();

/// True when `signal_number` is ignored (SIG_IGN) at the moment of the call.
bool SignalIsIgnored(int signal_number);

class InterruptStop {
  public:
    /// Blocks the signals in the calling thread (and the watcher it starts,
    /// which waits for them); must be created before any other thread.
    InterruptStop();
    /// Ends the watcher at once. The signals stay blocked: one that comes
    /// after the work is done is never taken, and the program ends with the
    /// outcome of its work.
    ~InterruptStop();
    InterruptStop(const InterruptStop&) = delete;
    InterruptStop& operator=(const InterruptStop&) = delete;

    std::stop_token token() const { return source_.get_token(); }
    bool interrupted() const { return source_.stop_requested(); }

  private:
    std::stop_source source_;
#if !defined(_WIN32)
    sigset_t signals_{};
    int wake_signal_;
    std::thread watcher_;
#endif
};
