#include "platform/system/file_handle.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cwctype>
#include <string>
#include <thread>
#include <utility>

#include "platform/system/error_numbers.h"
#include "platform/system/injected_faults.h"
#include "platform/system/windows_errors.h"

namespace {

// Every handle shares reading, writing and deleting: a wipe renames and
// deletes the file its own reading handle keeps open, and other programs
// are kept out by the lock below, not by the sharing mode.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows locks are mandatory: a locked range refuses reads and writes
// through every other handle, also this program's own writing handle of a
// file it wipes. Runs of this program lock one byte far beyond the end of
// any file instead, where the locks meet each other and nobody's data.
constexpr DWORD kLockOffsetLow = 0xFFFFFFFE;
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

HANDLE AsHandle(FileHandle::Native fd) {
    return reinterpret_cast<HANDLE>(fd);
}

FileHandle::Native AsNative(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE || handle == nullptr
               ? FileHandle::kClosed
               : reinterpret_cast<FileHandle::Native>(handle);
}

// File times count 100 ns ticks since 1601; the stamps count nanoseconds.
int64_t Nanoseconds(LARGE_INTEGER ticks) {
    return ticks.QuadPart * 100;
}

int64_t NowNanoseconds() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    LARGE_INTEGER ticks{};
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = static_cast<LONG>(now.dwHighDateTime);
    return Nanoseconds(ticks);
}

// FAT keeps the last write to 2 s; other file systems to the system's clock
// tick (about 16 ms), which is when Windows updates the times.
int64_t TimestampGranularityNs(HANDLE handle) {
    wchar_t system_name[MAX_PATH + 1] = {};
    if (GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, nullptr, nullptr, system_name,
                                      MAX_PATH + 1)) {
        const std::wstring name(system_name);
        if (name == L"FAT" || name == L"FAT32" || name == L"exFAT") return 2'000'000'000;
    }
    return 16'000'000;
}

bool ReadBasicInfo(HANDLE handle, FILE_BASIC_INFO& info) {
    return GetFileInformationByHandleEx(handle, FileBasicInfo, &info, sizeof info) != 0 ||
           FailWithLastError();
}

bool IsDiskFile(HANDLE handle, DWORD& attributes) {
    FILE_BASIC_INFO info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !ReadBasicInfo(handle, info)) return false;
    attributes = info.FileAttributes;
    return true;
}

HANDLE Open(const std::filesystem::path& path, DWORD access, DWORD flags) {
    HANDLE handle =
        CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) FailWithLastError();
    return handle;
}

// Opens the regular file `path` with `access`, looking before opening: a
// device can have effects of its own when opened, and a symbolic link or a
// junction must not lead an overwrite to another file. errno tells why the
// result is closed.
HANDLE OpenRegularWithoutLinks(const std::filesystem::path& path, DWORD access) {
    const DWORD before = GetFileAttributesW(path.c_str());
    if (before == INVALID_FILE_ATTRIBUTES) {
        FailWithLastError();
        return INVALID_HANDLE_VALUE;
    }
    if (before &
        (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) {
        errno = before & FILE_ATTRIBUTE_DIRECTORY ? EISDIR : EINVAL;
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = Open(path, access, FILE_FLAG_OPEN_REPARSE_POINT);
    if (handle == INVALID_HANDLE_VALUE) return handle;
    // The name may have been given to a link or a device in between.
    DWORD attributes = 0;
    if (!IsDiskFile(handle, attributes) ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        CloseHandle(handle);
        errno = ESTALE;
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

std::optional<FileHandle::Identity> IdentityOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        FailWithLastError();
        return std::nullopt;
    }
    return FileHandle::Identity{info.dwVolumeSerialNumber,
                                (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Whether two identities are one file. Wine cannot tell the volume of an
// open file once it has been renamed (its serial then reads 0): the file
// index is compared alone then. The names compared are always in one folder.
bool SameFile(const std::optional<FileHandle::Identity>& a,
              const std::optional<FileHandle::Identity>& b) {
    return a && b && a->inode == b->inode &&
           (a->device == b->device || a->device == 0 || b->device == 0);
}

// Marks the open file `handle` (opened with DELETE access) for deletion: at
// once where the file system removes the name while handles stay open, else
// when the last handle closes.
bool MarkDeleted(HANDLE handle) {
    // FileDispositionInfoEx (Windows 10 1607), spelled out: MinGW declares
    // it only for a newer target than the one the program runs on.
    constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
    constexpr DWORD kDelete = 0x1;
    constexpr DWORD kPosixSemantics = 0x2;
    struct {
        DWORD flags;
    } at_once{kDelete | kPosixSemantics};
    if (SetFileInformationByHandle(handle, kDispositionInfoEx, &at_once, sizeof at_once))
        return true;
    FILE_DISPOSITION_INFO on_close{};
    on_close.DeleteFile = TRUE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &on_close, sizeof on_close) ||
           FailWithLastError();
}

}  // namespace

FileHandle::~FileHandle() {
    Close();
}

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, kClosed)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, kClosed);
    }
    return *this;
}

FileHandle FileHandle::OpenForReading(const std::filesystem::path& path) {
    // Backup semantics open a folder too, which is then told apart as not a
    // regular file instead of failing with "access denied".
    return FileHandle(
        AsNative(Open(path, GENERIC_READ, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN)));
}

bool FileHandle::IsRegularFile() const {
    DWORD attributes = 0;
    return IsOpen() && IsDiskFile(AsHandle(fd_), attributes) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileHandle::IsBlockDevice() const {
    return false;
}

FileHandle FileHandle::OpenRegularForWipe(const std::filesystem::path& path) {
    HANDLE handle = OpenRegularWithoutLinks(path, GENERIC_READ);
    if (handle != INVALID_HANDLE_VALUE || errno != EACCES) return FileHandle(AsNative(handle));
    return FileHandle(AsNative(OpenRegularWithoutLinks(path, GENERIC_WRITE)));
}

FileHandle FileHandle::OpenRegularForUpdate(const std::filesystem::path& path) {
    return FileHandle(AsNative(OpenRegularWithoutLinks(path, GENERIC_WRITE)));
}

std::optional<FileHandle::Identity> FileHandle::ReadIdentity() const {
    if (!IsOpen()) return std::nullopt;
    return IdentityOf(AsHandle(fd_));
}

bool FileHandle::HasName() const {
    FILE_STANDARD_INFO info{};
    return IsOpen() &&
           GetFileInformationByHandleEx(AsHandle(fd_), FileStandardInfo, &info, sizeof info) &&
           !info.DeletePending && info.NumberOfLinks > 0;
}

bool FileHandle::IsNamedBy(const std::filesystem::path& path, bool follow_links) const {
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (follow_links ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE named = Open(path, FILE_READ_ATTRIBUTES, flags);
    if (named == INVALID_HANDLE_VALUE) return false;
    const std::optional<Identity> theirs = IdentityOf(named);
    CloseHandle(named);
    return SameFile(ReadIdentity(), theirs);
}

std::optional<unsigned> FileHandle::PermissionBits() const {
    // Windows has access lists instead; the read-only attribute is the one
    // thing that maps onto the bits.
    FILE_BASIC_INFO info{};
    if (!IsOpen() || !ReadBasicInfo(AsHandle(fd_), info)) return std::nullopt;
    return (info.FileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444u : 0666u;
}

bool FileHandle::DeleteName(const std::filesystem::path& path) const {
    // The name is opened for deletion and checked to lead to this very file:
    // the deletion then goes through that handle, so no other file that
    // took the name meanwhile can be deleted.
    HANDLE named = INVALID_HANDLE_VALUE;
    if (!RetryWhileInUse([&] {
            named = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            return named != INVALID_HANDLE_VALUE;
        })) {
        return false;
    }
    if (!SameFile(ReadIdentity(), IdentityOf(named))) {
        CloseHandle(named);
        errno = ESTALE;
        return false;
    }
    const bool marked = MarkDeleted(named);
    const int error = errno;
    CloseHandle(named);
    errno = error;
    return marked;
}

FileHandle FileHandle::Duplicate() const {
    HANDLE copy = INVALID_HANDLE_VALUE;
    if (!IsOpen() || !DuplicateHandle(GetCurrentProcess(), AsHandle(fd_), GetCurrentProcess(),
                                      &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        FailWithLastError();
        return FileHandle();
    }
    return FileHandle(AsNative(copy));
}

FileHandle FileHandle::ReopenForWriting() const {
    // Through the open file itself, which stays this file when its name has
    // been given to another one meanwhile.
    if (!IsOpen()) return FileHandle();
    HANDLE handle = ReOpenFile(AsHandle(fd_), GENERIC_WRITE, kShareAll, 0);
    if (handle == INVALID_HANDLE_VALUE) {
        FailWithLastError();
        return FileHandle();
    }
    FileHandle file(AsNative(handle));
    if (!SameFile(file.ReadIdentity(), ReadIdentity())) {
        errno = ESTALE;
        return FileHandle();
    }
    return file;
}

std::optional<FileHandle::Stamp> FileHandle::ReadStamp() const {
    FILE_BASIC_INFO basic{};
    LARGE_INTEGER size{};
    if (!IsOpen() || !ReadBasicInfo(AsHandle(fd_), basic)) return std::nullopt;
    if (!GetFileSizeEx(AsHandle(fd_), &size)) size.QuadPart = 0;
    return Stamp{static_cast<uint64_t>(size.QuadPart), Nanoseconds(basic.LastWriteTime),
                 Nanoseconds(basic.ChangeTime)};
}

int64_t FileHandle::TimestampGranularityNs() const {
    return ::TimestampGranularityNs(AsHandle(fd_));
}

int64_t FileHandle::FileClockNowNs() {
    return NowNanoseconds();
}

std::optional<uint64_t> FileHandle::MeasureSize() {
    LARGE_INTEGER size{};
    if (!IsOpen() || GetFileType(AsHandle(fd_)) != FILE_TYPE_DISK ||
        !GetFileSizeEx(AsHandle(fd_), &size)) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(size.QuadPart);
}

void FileHandle::AdviseSequential() {
    // The reading handles are opened with FILE_FLAG_SEQUENTIAL_SCAN already.
}

bool FileHandle::SeekToStart() {
    LARGE_INTEGER start{};
    return (IsOpen() && SetFilePointerEx(AsHandle(fd_), start, nullptr, FILE_BEGIN)) ||
           FailWithLastError();
}

int64_t FileHandle::ReadUpTo(uint8_t* buffer, std::size_t size) {
    using injected_faults::Transfer;
    std::size_t done = 0;
    while (done < size) {
        const int64_t allowed = injected_faults::AllowedBytes(
            Transfer::kRead, AsHandle(fd_), std::min<std::size_t>(size - done, 1u << 30));
        if (allowed < 0) {
            FailWithLastError();
            return -1;
        }
        const auto want = static_cast<DWORD>(allowed);
        DWORD got = 0;
        if (!ReadFile(AsHandle(fd_), buffer + done, want, &got, nullptr)) {
            // A pipe whose writer is gone has ended.
            const DWORD code = GetLastError();
            if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) break;
            FailWithLastError();
            return -1;
        }
        if (got == 0) break;
        injected_faults::CountBytes(Transfer::kRead, AsHandle(fd_), got);
        done += got;
    }
    return static_cast<int64_t>(done);
}

bool FileHandle::WriteAll(const uint8_t* data, std::size_t size) {
    using injected_faults::Transfer;
    std::size_t done = 0;
    while (done < size) {
        const int64_t allowed = injected_faults::AllowedBytes(
            Transfer::kWrite, AsHandle(fd_), std::min<std::size_t>(size - done, 1u << 30));
        if (allowed < 0) return FailWithLastError();
        const auto want = static_cast<DWORD>(allowed);
        DWORD put = 0;
        if (!WriteFile(AsHandle(fd_), data + done, want, &put, nullptr)) return FailWithLastError();
        injected_faults::CountBytes(Transfer::kWrite, AsHandle(fd_), put);
        if (put == 0) {
            errno = ENOSPC;
            return false;
        }
        done += put;
    }
    return true;
}

bool FileHandle::TryLock(Lock kind) {
    // Taking the other kind converts the lock, as flock does: the one held
    // is given up first (a handle's shared lock would refuse its own
    // exclusive one), and taken back when the new one cannot be had.
    HANDLE handle = AsHandle(fd_);
    OVERLAPPED where{};
    where.Offset = kLockOffsetLow;
    where.OffsetHigh = kLockOffsetHigh;
    injected_faults::BeforeLock(handle);
    const bool held = UnlockFileEx(handle, 0, 1, 0, &where) != 0;
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (kind == Lock::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(handle, flags, 0, 1, 0, &where)) return true;
    const int error = ErrnoFromWindowsError(GetLastError());
    if (held && kind == Lock::kExclusive)
        LockFileEx(handle, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where);
    errno = error == EACCES ? EWOULDBLOCK : error;
    return false;
}

bool FileHandle::Sync() {
    return (IsOpen() && !injected_faults::SyncFails(AsHandle(fd_)) &&
            FlushFileBuffers(AsHandle(fd_))) ||
           FailWithLastError();
}

bool FileHandle::Close() {
    if (!IsOpen()) return true;
    const Native fd = std::exchange(fd_, kClosed);
    if (injected_faults::CloseFails(AsHandle(fd))) {
        FailWithLastError();
        const int error = errno;
        CloseHandle(AsHandle(fd));  // closed all the same, as after a failing close
        errno = error;
        return false;
    }
    return CloseHandle(AsHandle(fd)) || FailWithLastError();
}
