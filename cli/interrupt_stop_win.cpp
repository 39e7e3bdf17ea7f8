#include "cli/interrupt_stop.h"

#include <windows.h>

#include <atomic>

namespace {

// The stop source of the InterruptStop alive now; the console's handler runs
// on a thread of its own.
std::atomic<std::stop_source*> active_source{nullptr};
// Set when the work is over, so that a closing console waits no longer.
HANDLE work_over = nullptr;

BOOL WINAPI RequestStop(DWORD event) {
    std::stop_source* source = active_source.load();
    if (source == nullptr) return FALSE;
    source->request_stop();
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    // Closing the console, log-off and shutdown end the process once the
    // handler returns: the work gets a few seconds to remove its temporary
    // files first (the system allows five).
    if (work_over != nullptr) WaitForSingleObject(work_over, 4000);
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
    work_over = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    active_source.store(&source_);
    SetConsoleCtrlHandler(RequestStop, TRUE);
}

InterruptStop::~InterruptStop() {
    // The handler stays installed without a source: once the work is done a
    // late Ctrl-C changes nothing, as with the blocked signals on POSIX.
    active_source.store(nullptr);
    if (work_over != nullptr) SetEvent(work_over);
}
