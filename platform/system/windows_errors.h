#pragma once
// The Windows services report GetLastError() codes; the core and its faces
// speak errno. These helpers translate one into the other.

/// The errno value nearest to the Windows error `code`.
int ErrnoFromWindowsError(unsigned long code);

/// Sets errno from GetLastError() and returns false, for `return Fail();`.
bool FailWithLastError();

/// True when the last error says another program has the file open in a way
/// that keeps it from being renamed or deleted for now.
bool LastErrorIsFileInUse();

/// Sleeps `milliseconds` without touching the last error.
void PauseKeepingLastError(unsigned milliseconds);

/// Runs `attempt` (a system call that returns true on success) and, while it
/// fails because another program holds the file (an indexer or a virus
/// scanner opens new files for a moment), again after a growing pause, for
/// about two thirds of a second in all. On failure errno is set from the
/// last error.
template <typename Attempt>
bool RetryWhileInUse(Attempt attempt) {
    for (unsigned pause = 10;; pause *= 2) {
        if (attempt()) return true;
        if (pause > 320 || !LastErrorIsFileInUse()) return FailWithLastError();
        PauseKeepingLastError(pause);
    }
}
