// A library preloaded (LD_PRELOAD) into a program under test to make its file
// calls fail the way a failing disk does. Only descriptors opened by a path
// that contains QUORVANE_FAULT_PATH are touched, so the program's other files
// (its standard streams, /proc) work as usual.
//
//   QUORVANE_FAULT_PATH   part of the paths whose files misbehave (required)
//   QUORVANE_FAULT_OP     one or more of (comma-separated):
//                         read   reads stop short at AFTER bytes, then fail
//                         write  writes stop short at AFTER bytes, then fail
//                         short  every write moves at most 4000 bytes, none fails
//                         fsync  fsync and fdatasync fail
//                         close  close fails (the descriptor is closed all the same)
//                         rename rename and renameat fail
//                         link   linkat fails
//                         tmpfile open with O_TMPFILE fails as on a file
//                                system without unnamed files
//                         create creating a file (O_CREAT or O_TMPFILE) fails
//                         stop   the process stops itself (SIGSTOP) once AFTER
//                                bytes have been written; once continued,
//                                the write returns only when no signal is
//                                pending for the process any more, so that
//                                a signal sent while it was stopped has
//                                been taken before the work goes on
//                         stop-rename the process stops itself (SIGSTOP) before
//                                its first rename of a file of interest, as
//                                with stop
//                         delay-fsync, delay-rename, delay-flock, delay-write
//                                the call waits QUORVANE_FAULT_DELAY_MS
//                                (default 1000) before it is made, so that a
//                                test can act while it waits
//                         thread pthread_create fails once AFTER threads
//                                have been started (the errno is its result)
//   QUORVANE_FAULT_AFTER  bytes (threads) that pass before the fault (default 0)
//   QUORVANE_FAULT_ERRNO  errno of a failing call (default EIO)
//   QUORVANE_FAULT_LOG    a file that gets a line "fsync" for every sync of a
//                         file of interest, to count them
// A descriptor reopened through /proc/self/fd/N is of interest when N is.
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

#include <sys/file.h>
#include <time.h>

#include <atomic>
#include <cerrno>

namespace {

constexpr int kMaxTracked = 4096;
std::atomic<bool> tracked[kMaxTracked];
std::atomic<long long> bytes_read{0};
std::atomic<long long> bytes_written{0};
std::atomic<bool> stopped{false};
std::atomic<long long> threads_started{0};

const char* Setting(const char* name) {
    const char* value = getenv(name);
    return value != nullptr ? value : "";
}

bool OpIs(const char* op) {
    const size_t length = strlen(op);
    for (const char* p = Setting("QUORVANE_FAULT_OP"); *p != '\0';) {
        const char* end = strchr(p, ',');
        const size_t token = end != nullptr ? static_cast<size_t>(end - p) : strlen(p);
        if (token == length && strncmp(p, op, length) == 0) return true;
        if (end == nullptr) break;
        p = end + 1;
    }
    return false;
}

// True while a signal waits to be taken by some thread of the process.
bool SignalPending() {
    FILE* status = fopen("/proc/self/status", "re");
    if (status == nullptr) return false;
    char line[256];
    bool pending = false;
    while (fgets(line, sizeof line, status) != nullptr) {
        if (strncmp(line, "ShdPnd:", 7) == 0) pending = strtoull(line + 7, nullptr, 16) != 0;
    }
    fclose(status);
    return pending;
}

void StopAndAwaitSignals() {
    raise(SIGSTOP);
    for (int i = 0; i < 10000 && SignalPending(); ++i) usleep(1000);
}

long long After() {
    return atoll(Setting("QUORVANE_FAULT_AFTER"));
}

int FaultErrno() {
    const int value = atoi(Setting("QUORVANE_FAULT_ERRNO"));
    return value > 0 ? value : EIO;
}

bool PathOfInterest(const char* path) {
    const char* part = Setting("QUORVANE_FAULT_PATH");
    return path != nullptr && part[0] != '\0' && strstr(path, part) != nullptr;
}

bool IsTracked(int fd) {
    return fd >= 0 && fd < kMaxTracked && tracked[fd].load();
}

// True for "/proc/self/fd/N" when N is a descriptor of interest.
bool ReopensTracked(const char* path) {
    constexpr char kPrefix[] = "/proc/self/fd/";
    if (path == nullptr || strncmp(path, kPrefix, sizeof kPrefix - 1) != 0) return false;
    return IsTracked(atoi(path + sizeof kPrefix - 1));
}

void DelayIf(const char* op) {
    if (!OpIs(op)) return;
    const long ms = Setting("QUORVANE_FAULT_DELAY_MS")[0] != '\0'
                        ? atol(Setting("QUORVANE_FAULT_DELAY_MS"))
                        : 1000;
    timespec pause{ms / 1000, (ms % 1000) * 1000000};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

void LogSync() {
    const char* log = Setting("QUORVANE_FAULT_LOG");
    if (log[0] == '\0') return;
    const int saved = errno;
    if (FILE* file = fopen(log, "ae")) {
        fputs("fsync\n", file);
        fclose(file);
    }
    errno = saved;
}

int Fail() {
    errno = FaultErrno();
    return -1;
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool IsTmpfile(int flags) {
#if defined(O_TMPFILE)
    return (flags & O_TMPFILE) == O_TMPFILE;
#else
    (void)flags;
    return false;
#endif
}

// Opens through the real call, unless an unnamed file is refused, and
// remembers the descriptor when its path is of interest.
template <typename Open>
int Track(const char* path, int flags, Open real_open) {
    const bool interesting = PathOfInterest(path) || ReopensTracked(path);
    if (interesting && OpIs("tmpfile") && IsTmpfile(flags)) {
        errno = EOPNOTSUPP;
        return -1;
    }
    if (interesting && OpIs("create") && ((flags & O_CREAT) != 0 || IsTmpfile(flags)))
        return Fail();
    const int fd = real_open();
    if (fd >= 0 && fd < kMaxTracked) tracked[fd] = interesting;
    return fd;
}

mode_t ModeArgument(int flags, va_list arguments) {
    const bool has_mode = (flags & O_CREAT) != 0 || IsTmpfile(flags);
    return has_mode ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

// The part of a `size`-byte transfer that may pass when `done` bytes already
// have; -1 when the call must fail.
ssize_t Allowed(std::atomic<long long>& done, size_t size) {
    const long long left = After() - done.load();
    if (left <= 0) return size == 0 ? 0 : -1;
    return static_cast<ssize_t>(static_cast<long long>(size) < left ? size : left);
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    static auto real = Next<int (*)(const char*, int, ...)>("open");
    return Track(path, flags, [&] { return real(path, flags, mode); });
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    static auto real = Next<int (*)(const char*, int, ...)>("open64");
    return Track(path, flags, [&] { return real(path, flags, mode); });
}

int openat(int folder, const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeArgument(flags, arguments);
    va_end(arguments);
    static auto real = Next<int (*)(int, const char*, int, ...)>("openat");
    return Track(path, flags, [&] { return real(folder, path, flags, mode); });
}

FILE* fopen(const char* path, const char* mode) {
    static auto real = Next<FILE* (*)(const char*, const char*)>("fopen");
    FILE* file = real(path, mode);
    const int fd = file != nullptr ? fileno(file) : -1;
    if (fd >= 0 && fd < kMaxTracked) tracked[fd] = PathOfInterest(path);
    return file;
}

FILE* fopen64(const char* path, const char* mode) {
    return fopen(path, mode);
}

int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                   void* argument) {
    static auto real =
        Next<int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)>("pthread_create");
    if (OpIs("thread") && threads_started.load() >= After()) return FaultErrno();
    const int result = real(thread, attributes, start, argument);
    if (result == 0) ++threads_started;
    return result;
}

ssize_t read(int fd, void* buffer, size_t size) {
    static auto real = Next<ssize_t (*)(int, void*, size_t)>("read");
    if (!IsTracked(fd) || !OpIs("read")) return real(fd, buffer, size);
    const ssize_t allowed = Allowed(bytes_read, size);
    if (allowed < 0) return Fail();
    const ssize_t got = real(fd, buffer, static_cast<size_t>(allowed));
    if (got > 0) bytes_read += got;
    return got;
}

// Stream reads bypass read(): a failing one reports a short count and sets
// the stream's error flag, as a failing disk does.
size_t fread(void* buffer, size_t size, size_t count, FILE* file) {
    static auto real = Next<size_t (*)(void*, size_t, size_t, FILE*)>("fread");
    if (!IsTracked(fileno(file)) || !OpIs("read") || size == 0) {
        return real(buffer, size, count, file);
    }
    const ssize_t allowed = Allowed(bytes_read, size * count);
    if (allowed < 0) {
        file->_flags |= 0x20;  // _IO_ERR_SEEN: ferror() is now true
        errno = FaultErrno();
        return 0;
    }
    const size_t got = real(buffer, size, static_cast<size_t>(allowed) / size, file);
    bytes_read += static_cast<long long>(got * size);
    return got;
}

ssize_t write(int fd, const void* data, size_t size) {
    static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    if (!IsTracked(fd)) return real(fd, data, size);
    DelayIf("delay-write");
    if (OpIs("short")) return real(fd, data, size < 4000 ? size : 4000);
    if (OpIs("stop") && !stopped.load()) {
        const ssize_t put = real(fd, data, size);
        if (put > 0 && (bytes_written += put) >= After() && !stopped.exchange(true)) {
            StopAndAwaitSignals();
        }
        return put;
    }
    if (!OpIs("write")) return real(fd, data, size);
    const ssize_t allowed = Allowed(bytes_written, size);
    if (allowed < 0) return Fail();
    const ssize_t put = real(fd, data, static_cast<size_t>(allowed));
    if (put > 0) bytes_written += put;
    return put;
}

int fsync(int fd) {
    static auto real = Next<int (*)(int)>("fsync");
    if (!IsTracked(fd)) return real(fd);
    LogSync();
    DelayIf("delay-fsync");
    return OpIs("fsync") ? Fail() : real(fd);
}

int flock(int fd, int operation) {
    static auto real = Next<int (*)(int, int)>("flock");
    if (IsTracked(fd)) DelayIf("delay-flock");
    return real(fd, operation);
}

int fdatasync(int fd) {
    static auto real = Next<int (*)(int)>("fdatasync");
    return IsTracked(fd) && OpIs("fsync") ? Fail() : real(fd);
}

int close(int fd) {
    static auto real = Next<int (*)(int)>("close");
    const bool fail = IsTracked(fd) && OpIs("close");
    if (fd >= 0 && fd < kMaxTracked) tracked[fd] = false;
    const int result = real(fd);
    return fail ? Fail() : result;
}

// True when a rename of `from` to `to` is to fail; delays it first when asked.
bool RenameFails(const char* from, const char* to) {
    if (!PathOfInterest(from) && !PathOfInterest(to)) return false;
    if (OpIs("stop-rename") && !stopped.exchange(true)) StopAndAwaitSignals();
    DelayIf("delay-rename");
    return OpIs("rename");
}

int rename(const char* from, const char* to) {
    static auto real = Next<int (*)(const char*, const char*)>("rename");
    return RenameFails(from, to) ? Fail() : real(from, to);
}

int renameat2(int from_folder, const char* from, int to_folder, const char* to,
              unsigned int flags) {
    static auto real = Next<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return RenameFails(from, to) ? Fail() : real(from_folder, from, to_folder, to, flags);
}

int renameat(int from_folder, const char* from, int to_folder, const char* to) {
    static auto real = Next<int (*)(int, const char*, int, const char*)>("renameat");
    return RenameFails(from, to) ? Fail() : real(from_folder, from, to_folder, to);
}

int linkat(int from_folder, const char* from, int to_folder, const char* to, int flags) {
    static auto real = Next<int (*)(int, const char*, int, const char*, int)>("linkat");
    return OpIs("link") && PathOfInterest(to) ? Fail()
                                              : real(from_folder, from, to_folder, to, flags);
}

}  // extern "C"
