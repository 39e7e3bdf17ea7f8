#include "platform/system/injected_faults.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cwctype>
#include <mutex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace injected_faults {

namespace {

std::wstring Variable(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

// Paths are compared without regard to letter case or the kind of slash.
std::wstring Folded(std::wstring text) {
    for (wchar_t& c : text) c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(c));
    return text;
}

// The Windows error that a failing call reports for `error`.
DWORD WindowsErrorFor(int error) {
    switch (error) {
        case ENOSPC:
            return ERROR_DISK_FULL;
        case EACCES:
            return ERROR_ACCESS_DENIED;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        default:
            return ERROR_IO_DEVICE;
    }
}

struct Settings {
    std::wstring path;  // folded; empty: no file is of interest
    std::vector<std::wstring> ops;
    long long after = 0;
    DWORD error = ERROR_IO_DEVICE;
    DWORD delay_ms = 1000;
    std::wstring log;

    bool Has(const wchar_t* op) const { return std::find(ops.begin(), ops.end(), op) != ops.end(); }
};

Settings Read() {
    Settings settings;
    settings.path = Folded(Variable(L"QUORVANE_FAULT_PATH"));
    const std::wstring ops = Variable(L"QUORVANE_FAULT_OP");
    for (std::size_t start = 0; start <= ops.size();) {
        const std::size_t end = std::min(ops.find(L',', start), ops.size());
        settings.ops.push_back(ops.substr(start, end - start));
        start = end + 1;
    }
    settings.after = _wtoi64(Variable(L"QUORVANE_FAULT_AFTER").c_str());
    const int error = _wtoi(Variable(L"QUORVANE_FAULT_ERRNO").c_str());
    settings.error = WindowsErrorFor(error > 0 ? error : EIO);
    const std::wstring delay = Variable(L"QUORVANE_FAULT_DELAY_MS");
    if (!delay.empty()) settings.delay_ms = static_cast<DWORD>(_wtol(delay.c_str()));
    settings.log = Variable(L"QUORVANE_FAULT_LOG");
    return settings;
}

std::atomic<long long> bytes_read{0};
std::atomic<long long> bytes_written{0};

// The settings as the environment gives them now. A test program may change
// them between the runs it makes in its own process: the byte counts then
// start again from 0. Leaves the last error as it was.
Settings Current() {
    static std::mutex guard;
    static std::wstring seen;
    static Settings settings;
    const DWORD saved = GetLastError();
    std::wstring now;
    for (const wchar_t* name :
         {L"QUORVANE_FAULT_PATH", L"QUORVANE_FAULT_OP", L"QUORVANE_FAULT_AFTER",
          L"QUORVANE_FAULT_ERRNO", L"QUORVANE_FAULT_DELAY_MS", L"QUORVANE_FAULT_LOG"})
        now += Variable(name) + L'\n';
    std::lock_guard lock(guard);
    if (now != seen) {
        seen = std::move(now);
        settings = Read();
        bytes_read = 0;
        bytes_written = 0;
    }
    SetLastError(saved);
    return settings;
}

bool PathOfInterest(const fs::path& path) {
    const Settings settings = Current();
    if (settings.path.empty() || path.empty()) return false;
    std::error_code ignored;
    const fs::path full = fs::absolute(path, ignored);
    return Folded(full.empty() ? path.native() : full.native()).find(settings.path) !=
           std::wstring::npos;
}

// Whether the file open as `handle` is of interest, by its final path (which
// also names a file reopened or duplicated from one of interest).
bool HandleOfInterest(void* handle) {
    if (Current().path.empty()) return false;
    const DWORD saved = GetLastError();
    std::wstring name(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, name.data(), MAX_PATH, FILE_NAME_NORMALIZED);
    if (length >= MAX_PATH) {
        name.resize(length);
        length = GetFinalPathNameByHandleW(handle, name.data(), length, FILE_NAME_NORMALIZED);
    }
    SetLastError(saved);
    if (length == 0 || length >= name.size()) return false;
    name.resize(length);
    return PathOfInterest(fs::path(name));
}

bool Fail() {
    SetLastError(Current().error);
    return true;
}

void DelayIf(const wchar_t* op) {
    const Settings settings = Current();
    if (settings.Has(op)) Sleep(settings.delay_ms);
}

void LogSync() {
    const std::wstring log = Current().log;
    if (log.empty()) return;
    const DWORD saved = GetLastError();
    if (std::FILE* file = _wfopen(log.c_str(), L"ab")) {
        std::fputs("fsync\n", file);
        std::fclose(file);
    }
    SetLastError(saved);
}

std::atomic<long long>& Counter(Transfer kind) {
    return kind == Transfer::kRead ? bytes_read : bytes_written;
}

}  // namespace

int64_t AllowedBytes(Transfer kind, void* handle, std::size_t size) {
    const auto all = static_cast<int64_t>(size);
    if (!HandleOfInterest(handle)) return all;
    const Settings settings = Current();
    if (kind == Transfer::kWrite) {
        DelayIf(L"delay-write");
        if (settings.Has(L"short")) return std::min<int64_t>(all, 4000);
    }
    if (!settings.Has(kind == Transfer::kRead ? L"read" : L"write")) return all;
    const long long left = settings.after - Counter(kind).load();
    if (left <= 0) return size == 0 ? 0 : (Fail(), -1);
    return std::min<int64_t>(all, left);
}

void CountBytes(Transfer kind, void* handle, std::size_t moved) {
    if (moved > 0 && HandleOfInterest(handle)) Counter(kind) += static_cast<long long>(moved);
}

bool SyncFails(void* handle) {
    if (!HandleOfInterest(handle)) return false;
    LogSync();
    DelayIf(L"delay-fsync");
    return Current().Has(L"fsync") && Fail();
}

bool CloseFails(void* handle) {
    return Current().Has(L"close") && HandleOfInterest(handle) && Fail();
}

bool RenameFails(const fs::path& from, const fs::path& to) {
    if (!PathOfInterest(from) && !PathOfInterest(to)) return false;
    DelayIf(L"delay-rename");
    return Current().Has(L"rename") && Fail();
}

bool CreateFails(const fs::path& path) {
    return Current().Has(L"create") && PathOfInterest(path) && Fail();
}

bool ReplaceFails(const fs::path& destination) {
    return Current().Has(L"replace") && PathOfInterest(destination) && Fail();
}

void BeforeLock(void* handle) {
    if (Current().Has(L"delay-flock") && HandleOfInterest(handle)) DelayIf(L"delay-flock");
}

}  // namespace injected_faults
