#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "platform/desktop/file_manager.h"
#include "platform/desktop/path_text.h"

namespace {

// COM for this thread, for as long as the call needs it. A thread that has
// COM already (in either model) keeps it as it was.
class ComScope {
  public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

  private:
    HRESULT result_;
};

std::wstring FullPath(const std::u16string& path) {
    const std::u16string full = AbsolutePathText(path);
    return std::wstring(full.begin(), full.end());
}

// Explorer's own call: opens the folder (or a window already showing it) with
// the file selected. Fails when the file's item cannot be made (the path does
// not exist, for one).
bool SelectThroughShell(const std::wstring& path) {
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(path.c_str());
    if (!item) return false;
    const HRESULT result = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
    ILFree(item);
    return SUCCEEDED(result);
}

// explorer.exe /select,"<path>": the older way, for when the call above fails.
bool SelectThroughExplorer(const std::wstring& path) {
    const std::wstring arguments = L"/select,\"" + path + L"\"";
    const auto started = reinterpret_cast<INT_PTR>(ShellExecuteW(
        nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL));
    return started > 32;  // ShellExecuteW's documented success threshold
}

class Explorer : public FileManagerService {
  public:
    bool ShowFile(const std::u16string& path) override {
        const std::wstring full = FullPath(path);
        // Both ways may start shell extensions, which want COM.
        ComScope com;
        return SelectThroughShell(full) || SelectThroughExplorer(full);
    }
};

}  // namespace

FileManagerService& SystemFileManager() {
    static Explorer fileManager;
    return fileManager;
}
