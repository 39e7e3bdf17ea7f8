#include "cli/interrupt_stop.h"

#include <windows.h>

namespace {

// The stop source of the InterruptStop alive now. The console's handler runs
// on a thread of its own: the lock keeps the source alive while the handler
// uses it.
SRWLOCK source_lock = SRWLOCK_INIT;
std::stop_source* active_source = nullptr;
// Set when the work is over, so that a closing console waits no longer.
HANDLE work_over = nullptr;

BOOL WINAPI RequestStop(DWORD event) {
    AcquireSRWLockExclusive(&source_lock);
    const bool working = active_source != nullptr;
    if (working) active_source->request_stop();
    ReleaseSRWLockExclusive(&source_lock);
    // Once the work is done a late Ctrl-C changes nothing, as the blocked
    // signals do on POSIX: the exit status stays the outcome of the work.
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    // Closing the console, log-off and shutdown end the process once the
    // handler returns: the work gets a few seconds to remove its temporary
    // files first (the system allows five).
    if (working) WaitForSingleObject(work_over, 4000);
    return TRUE;
}

}  // namespace

void IgnoreFileSizeSignal() {
    // Windows has no file size limit signal: a write too large fails.
}

bool SignalIsIgnored(int signal_number) {
    (void)signal_number;
    return false;
}

InterruptStop::InterruptStop() {
    if (work_over == nullptr) work_over = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ResetEvent(work_over);
    AcquireSRWLockExclusive(&source_lock);
    active_source = &source_;
    ReleaseSRWLockExclusive(&source_lock);
    SetConsoleCtrlHandler(RequestStop, TRUE);
}

InterruptStop::~InterruptStop() {
    // The handler stays installed without a source.
    AcquireSRWLockExclusive(&source_lock);
    active_source = nullptr;
    ReleaseSRWLockExclusive(&source_lock);
    SetEvent(work_over);
}
