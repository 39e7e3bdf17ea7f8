// The program's own path on Windows. The context-menu entry itself comes
// with the registry's file of this service; until then none can be added.
#include <windows.h>

#include <string>

#include "platform/desktop/desktop_entry.h"

std::u16string ProgramFilePath() {
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::wstring path(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return {};
        if (length < size) return std::u16string(path.begin(), path.begin() + length);
    }
}

bool OpenWithEntryMatches(const std::u16string&) {
    return false;
}

bool WriteOpenWithEntry(const std::u16string&) {
    return false;
}

bool RemoveOpenWithEntry() {
    return false;
}
