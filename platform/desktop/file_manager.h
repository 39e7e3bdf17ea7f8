#pragma once
// Showing a file in the desktop's file manager, behind an interface so that
// tests can record the request instead of opening a window.

#include <string>

class FileManagerService {
  public:
    virtual ~FileManagerService() = default;
    /// Shows `path` selected in its folder; true when the request went out.
    virtual bool ShowFile(const std::u16string& path) = 0;
};

/// Asks the file manager to show `path` selected
/// (org.freedesktop.FileManager1.ShowItems on the session bus); when no file
/// manager answers, opens the file's folder with xdg-open; when that is
/// missing or ends with a failure status, a message box (caption "提示") says
/// the folder could not be opened. Never blocks the window thread: the answers
/// are awaited asynchronously.
bool ShowFileInFileManager(const std::u16string& path);

/// Installs `service` for later requests; nullptr restores the real one. The
/// caller keeps ownership.
void SetFileManagerService(FileManagerService* service);

/// The system's own file manager (the desktop's on Linux, Explorer on Windows).
FileManagerService& SystemFileManager();
