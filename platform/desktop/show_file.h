#pragma once
// Showing a file selected in its folder, in the standard library's text, so
// that the Windows build (which has no Qt) can implement it. On Linux the
// desktop's file manager does it (file_manager.h); on Windows, Explorer.

#include <string>

/// Shows `path` selected in its folder; true when the request went out. On
/// Windows: SHOpenFolderAndSelectItems, else explorer.exe /select,"<path>";
/// false when neither can be started.
bool ShowFileInFileManager(const std::u16string& path);
