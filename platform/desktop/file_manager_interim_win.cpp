// Showing a file in Explorer until this service's own Windows file is there:
// Explorer started with /select and the quoted path.
#include <windows.h>

#include <shellapi.h>

#include "platform/desktop/file_manager.h"

namespace {

class Explorer : public FileManagerService {
  public:
    bool ShowFile(const std::u16string& path) override {
        const std::u16string parameters = u"/select,\"" + path + u"\"";
        const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
            nullptr, L"open", L"explorer.exe", reinterpret_cast<const wchar_t*>(parameters.c_str()),
            nullptr, SW_SHOWNORMAL));
        return result > 32;
    }
};

Explorer realFileManager;
FileManagerService* current = &realFileManager;

}  // namespace

bool ShowFileInFileManager(const std::u16string& path) {
    return current->ShowFile(path);
}

void SetFileManagerService(FileManagerService* service) {
    current = service ? service : &realFileManager;
}
