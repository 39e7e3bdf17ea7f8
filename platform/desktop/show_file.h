#pragma once
// Showing a file selected in its folder, in the standard library's text, so
// that the Windows build (which has no Qt) can implement it: on Windows,
// Explorer. Behind an interface so that tests can record the request instead
// of opening a window. (The Linux side is file_manager.h.)

#include <string>

class FileManagerService {
  public:
    virtual ~FileManagerService() = default;
    /// Shows `path` selected in its folder; true when the request went out.
    virtual bool ShowFile(const std::u16string& path) = 0;
};

/// Shows `path` selected in its folder through the current service: on
/// Windows SHOpenFolderAndSelectItems, else explorer.exe /select,"<path>";
/// false when neither can be started.
bool ShowFileInFileManager(const std::u16string& path);

/// Installs `service` for later requests; nullptr restores the real one. The
/// caller keeps ownership.
void SetFileManagerService(FileManagerService* service);
