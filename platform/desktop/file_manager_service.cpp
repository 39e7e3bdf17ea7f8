// The file manager the program asks, or a stand-in a test installs: the same
// on every system.
#include "platform/desktop/file_manager.h"

namespace {

FileManagerService* current = nullptr;  // null: the system's own

}  // namespace

bool ShowFileInFileManager(const std::u16string& path) {
    return (current ? *current : SystemFileManager()).ShowFile(path);
}

void SetFileManagerService(FileManagerService* service) {
    current = service;
}
