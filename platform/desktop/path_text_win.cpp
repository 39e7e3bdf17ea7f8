#include "platform/desktop/path_text.h"

#include <windows.h>

std::filesystem::path ToPath(const std::u16string& text) {
    // Windows paths are UTF-16 already: the units go to the system unchanged.
    return std::filesystem::path(std::wstring(text.begin(), text.end()));
}

std::u16string AbsolutePathText(const std::u16string& text) {
    const std::wstring relative(text.begin(), text.end());
    const DWORD size = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
    if (size == 0) return text;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(relative.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return text;
    return std::u16string(full.begin(), full.begin() + length);
}
