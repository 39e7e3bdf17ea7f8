#include "platform/system/replacing_file.h"

#include <windows.h>

#include <aclapi.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "platform/system/file_sync.h"
#include "platform/system/injected_faults.h"
#include "platform/system/random.h"
#include "platform/system/windows_errors.h"

// On Windows the temporary file has a hidden name in the destination's
// folder and is marked for deletion from the start: whatever ends the
// process, its last handle closes and the system deletes it. The commit
// removes the mark and renames the file over the destination through its
// own handle. Access lists take the place of permission bits: a new file
// gets its folder's, as any new file does; a file that replaces another
// takes over that file's access list, so that a private file decrypted over
// again stays private. It replaces it through ReplaceFileW, which keeps the
// rest of what Windows keeps for a file saved over (attributes, creation
// time); where that cannot be done (Wine's limits, a file system without
// it), it is renamed over the destination, its access list copied all the
// same.

namespace fs = std::filesystem;

namespace {

HANDLE AsHandle(FileHandle::Native fd) {
    return reinterpret_cast<HANDLE>(fd);
}

// Whether the destination may be replaced (or made), else why not.
bool DestinationAllowed(const fs::path& destination, const ReplacingFile::Options& options,
                        FileResult& refusal) {
    const DWORD attributes = GetFileAttributesW(destination.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) return true;
        refusal = FileResult{FileOutcome::kWriteError, ErrnoFromWindowsError(code)};
        return false;
    }
    refusal = FileResult{FileOutcome::kDestinationRefused, EEXIST};
    if (!options.replace_existing) return false;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return false;
    // A read-only file is refused as cp refuses a write-protected one.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        refusal.error = EACCES;
        return false;
    }
    return true;
}

// A hidden name that never depends on the destination's name, so that it
// always fits the file system's name length limit.
fs::path TemporaryNameIn(const fs::path& folder) {
    uint8_t random[8];
    if (!SystemRandomBytes(random, sizeof random)) return {};
    char name[40];
    std::snprintf(name, sizeof name, ".quorvane-%02x%02x%02x%02x%02x%02x%02x%02x.part", random[0],
                  random[1], random[2], random[3], random[4], random[5], random[6], random[7]);
    return folder / name;
}

bool SetDeleteOnClose(HANDLE handle, bool on) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = on ? TRUE : FALSE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof disposition) ||
           FailWithLastError();
}

bool SetAttributes(HANDLE handle, DWORD attributes) {
    FILE_BASIC_INFO info{};  // times of 0 stay as they are
    info.FileAttributes = attributes;
    return SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info) ||
           FailWithLastError();
}

// The NT form of `path`'s absolute name, which a rename through a handle
// takes: \??\C:\folder\name or \??\UNC\server\share\name.
std::wstring NtName(const fs::path& path) {
    std::error_code error;
    std::wstring full = fs::absolute(path, error).native();
    if (error) full = path.native();
    if (full.rfind(L"\\\\?\\", 0) == 0) return L"\\??\\" + full.substr(4);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\??\\UNC\\" + full.substr(2);
    return L"\\??\\" + full;
}

// Renames the open file `handle`, named `from`, to `destination`, over an
// existing file only with `replace`.
bool RenameOpenFile(HANDLE handle, const fs::path& from, const fs::path& destination,
                    bool replace) {
    if (injected_faults::RenameFails(from, destination)) return FailWithLastError();
    const std::wstring name = NtName(destination);
    const std::size_t name_bytes = name.size() * sizeof(wchar_t);
    const std::size_t size = sizeof(FILE_RENAME_INFO) + name_bytes;
    const auto storage = std::make_unique<unsigned char[]>(size);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(storage.get());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(name_bytes);
    std::memcpy(info->FileName, name.c_str(), name_bytes + sizeof(wchar_t));
    return RetryWhileInUse([&] {
        return SetFileInformationByHandle(handle, FileRenameInfo, info, static_cast<DWORD>(size)) !=
               0;
    });
}

// Whether `path` names an existing regular file (one that a commit replaces).
bool IsExistingFile(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Gives the open file `handle` the access list of the file `from`, marked
// protected or inheriting as it is there. Nothing changes when that list
// cannot be read (the file then keeps its folder's, as a new file does).
void CopyAccessList(const fs::path& from, HANDLE handle) {
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS) {
        return;
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    const SECURITY_INFORMATION what =
        DACL_SECURITY_INFORMATION |
        ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                       : UNPROTECTED_DACL_SECURITY_INFORMATION);
    SetSecurityInfo(handle, SE_FILE_OBJECT, what, nullptr, nullptr, list, nullptr);
    LocalFree(descriptor);
}

// Replaces the file `destination` with the closed file `replacement`
// (ReplaceFileW, which takes absolute names), else renames it over the
// destination. False with errno set when neither can be done.
bool ReplaceByName(const fs::path& replacement, const fs::path& destination) {
    std::error_code error;
    const fs::path to = fs::absolute(destination, error);
    const fs::path from = fs::absolute(replacement, error);
    if (injected_faults::RenameFails(from, to)) return FailWithLastError();
    if (!injected_faults::ReplaceFails(to) && RetryWhileInUse([&] {
            return ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                nullptr, nullptr) != 0;
        })) {
        return true;
    }
    // Without a backup name, a failed ReplaceFileW leaves both files under
    // their own names.
    return RetryWhileInUse([&] {
        return MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

}  // namespace

ReplacingFile::ReplacingFile(fs::path destination, const Options& options)
    : destination_(std::move(destination)), replace_existing_(options.replace_existing) {
    if (!DestinationAllowed(destination_, options, failure_)) return;
    const fs::path parent = destination_.parent_path();
    const fs::path folder = parent.empty() ? fs::path(".") : parent;
    if (!OpenNamed(folder)) failure_ = FailureFromErrno(FileOutcome::kWriteError);
}

bool ReplacingFile::OpenNamed(const fs::path& folder) {
    constexpr DWORD kAccess = GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES | WRITE_DAC;
    constexpr DWORD kPrivate = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    for (int attempt = 0; attempt < 8; ++attempt) {
        fs::path candidate = TemporaryNameIn(folder);
        if (candidate.empty()) return false;
        if (injected_faults::CreateFails(candidate)) return FailWithLastError();
        // Nobody else reads a partial plaintext; deleting stays possible so
        // that the commit can rename the file.
        HANDLE handle = CreateFileW(candidate.c_str(), kAccess, FILE_SHARE_DELETE, nullptr,
                                    CREATE_NEW, kPrivate, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return FailWithLastError();
        }
        file_ = FileHandle::Adopt(reinterpret_cast<FileHandle::Native>(handle));
        temporary_ = std::move(candidate);
        if (!SetDeleteOnClose(handle, true)) {
            const int error = errno;
            Discard();
            errno = error;
            return false;
        }
        return true;
    }
    errno = EEXIST;
    return false;
}

FileResult ReplacingFile::Publish(const fs::path& folder) {
    (void)folder;
    HANDLE handle = AsHandle(file_.descriptor());
    // Made visible while still marked: a run killed now leaves nothing.
    if (!SetAttributes(handle, FILE_ATTRIBUTE_ARCHIVE))
        return FailureFromErrno(FileOutcome::kWriteError);
    if (replace_existing_ && IsExistingFile(destination_)) {
        CopyAccessList(destination_, handle);
        // ReplaceFileW opens the file itself: it is closed first, so a run
        // killed from here until the replacement leaves it behind.
        if (!SetDeleteOnClose(handle, false)) return FailureFromErrno(FileOutcome::kWriteError);
        file_.Close();
        if (ReplaceByName(temporary_, destination_)) return {};
        return FailureFromErrno(FileOutcome::kWriteError);
    }
    if (!SetDeleteOnClose(handle, false)) return FailureFromErrno(FileOutcome::kWriteError);
    if (RenameOpenFile(handle, temporary_, destination_, replace_existing_)) return {};
    if (errno == EEXIST && !replace_existing_)
        return FileResult{FileOutcome::kDestinationRefused, EEXIST};
    return FailureFromErrno(FileOutcome::kWriteError);
}

void ReplacingFile::MakeFinal() {
    // Nothing to open up: a new file has its folder's access list from the
    // start, and a replaced one was given the destination's at Publish.
}

void ReplacingFile::Discard() {
    if (temporary_.empty()) {
        file_.Close();
        return;
    }
    // Deleted through its own handle where possible: the name may not be
    // ours alone for ever.
    const bool marked = file_.IsOpen() && SetDeleteOnClose(AsHandle(file_.descriptor()), true);
    file_.Close();
    if (!marked) DeleteFileW(temporary_.c_str());
    temporary_.clear();
}
