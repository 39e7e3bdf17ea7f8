#include <windows.h>

#include <string>

#include "platform/desktop/desktop_entry.h"

namespace {

// Under the current user's classes: no administrator is needed, and Explorer
// merges them with the machine's for every file type ("*").
const wchar_t kVerbKey[] = L"Software\\Classes\\*\\shell\\Quorvane";
const wchar_t kCommandKey[] = L"Software\\Classes\\*\\shell\\Quorvane\\command";
// The text Explorer shows in the menu (the verb key's default value).
const wchar_t kMenuText[] = L"Open with Quorvane";

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

// The command Explorer starts: the program in quotes, then the chosen file
// ("%1") in quotes, so that paths with spaces stay one argument each.
std::wstring CommandFor(const std::u16string& programPath) {
    return L"\"" + Wide(programPath) + L"\" \"%1\"";
}

class RegistryKey {
  public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

// `name` empty: the key's default value.
bool SetValue(HKEY key, const wchar_t* name, const std::wstring& text) {
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

bool CreateKey(const wchar_t* path, RegistryKey& key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE, nullptr, key.Out(), nullptr) == ERROR_SUCCESS;
}

// The menu text, and the program's own icon beside it.
bool WriteVerb(const std::u16string& programPath) {
    RegistryKey verb;
    return CreateKey(kVerbKey, verb) && SetValue(verb.Get(), nullptr, kMenuText) &&
           SetValue(verb.Get(), L"Icon", Wide(programPath));
}

bool WriteCommand(const std::u16string& programPath) {
    RegistryKey command;
    return CreateKey(kCommandKey, command) &&
           SetValue(command.Get(), nullptr, CommandFor(programPath));
}

// The command key's default value; false when there is none or it is not a
// string.
bool ReadCommand(std::wstring& command) {
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kCommandKey, nullptr, RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
        return false;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kCommandKey, nullptr, RRF_RT_REG_SZ, nullptr, text.data(),
                     &bytes) != ERROR_SUCCESS)
        return false;
    text.resize(wcsnlen(text.c_str(), text.size()));
    command = text;
    return true;
}

}  // namespace

bool OpenWithEntryMatches(const std::u16string& programPath) {
    std::wstring command;
    return ReadCommand(command) && command == CommandFor(programPath);
}

bool WriteOpenWithEntry(const std::u16string& programPath) {
    // The command first: should the menu text then fail, what is left still
    // opens files with this program (under the key's name).
    return WriteCommand(programPath) && WriteVerb(programPath);
}

std::u16string ProgramFilePath() {
    // Paths may be longer than MAX_PATH: grow until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return std::u16string(path.begin(), path.end());
        }
        path.resize(path.size() * 2);
    }
}

bool RemoveOpenWithEntry() {
    return RegDeleteTreeW(HKEY_CURRENT_USER, kVerbKey) == ERROR_SUCCESS;
}
