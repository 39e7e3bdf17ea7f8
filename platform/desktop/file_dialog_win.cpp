#include "platform/desktop/file_dialog.h"
#include "platform/desktop/system_dialogs.h"

#include <windows.h>

#include <commdlg.h>

#include <cstdlib>

#include "platform/desktop/dialog_window_win.h"

std::vector<std::u16string> SelectedPaths(const OpenFileSelection& selection) {
    if (selection.folder.empty()) return selection.names;
    std::u16string prefix = selection.folder;
    // A drive root ends with its separator already.
    if (prefix.back() != u'\\' && prefix.back() != u'/') prefix += u'\\';
    std::vector<std::u16string> paths;
    for (const std::u16string& name : selection.names) paths.push_back(prefix + name);
    return paths;
}

namespace {

// Large enough for thousands of names in one folder; a selection that does
// not fit makes the dialog fail, which counts as a cancel.
constexpr std::size_t kResultUnits = 262144;

// The result: one full path, or the folder followed by the names, each ended
// by a zero, the whole ended by an empty string.
OpenFileSelection ReadResult(const std::wstring& result) {
    std::vector<std::u16string> parts;
    for (std::size_t start = 0; start < result.size() && result[start] != L'\0';) {
        const std::size_t end = result.find(L'\0', start);
        parts.push_back(FromWide(result.c_str() + start, end - start));
        start = end + 1;
    }
    OpenFileSelection selection;
    if (parts.size() == 1) {
        selection.names = parts;
    } else if (parts.size() > 1) {
        selection.folder = parts.front();
        selection.names.assign(parts.begin() + 1, parts.end());
    }
    return selection;
}

class Win32FileDialogs : public FileDialogService {
  public:
    OpenFileSelection OpenFiles(const OpenFileRequest& request) override {
        std::wstring filter(Wide(request.filterName));
        filter.push_back(L'\0');
        filter += L"*.*";
        filter.push_back(L'\0');
        std::wstring result(kResultUnits, L'\0');
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = request.owner && request.owner->Host() ? request.owner->Host()->hwnd
                                                                  : GetActiveWindow();
        dialog.lpstrFilter = filter.c_str();
        dialog.lpstrFile = result.data();
        dialog.nMaxFile = DWORD(result.size());
        dialog.lpstrInitialDir = request.startFolder.empty() ? nullptr : Wide(request.startFolder);
        dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR |
                       (request.multiple ? OFN_ALLOWMULTISELECT : 0);
        if (!GetOpenFileNameW(&dialog)) return {};
        return ReadResult(result);
    }
};

bool IsFolder(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

FileDialogService& SystemFileDialogs() {
    static Win32FileDialogs dialogs;
    return dialogs;
}

std::u16string HomeFolder() {
    const wchar_t* profile = _wgetenv(L"USERPROFILE");
    return profile ? FromWide(profile) : std::u16string();
}

std::u16string StartFolderForFile(const std::u16string& lastFile) {
    const std::size_t separator = lastFile.find_last_of(u"\\/");
    if (separator != std::u16string::npos) {
        std::u16string folder = lastFile.substr(0, separator);
        if (!folder.empty() && folder.back() == u':') folder += u'\\';  // a drive root
        if (IsFolder(folder)) return folder;
    }
    return HomeFolder();
}
