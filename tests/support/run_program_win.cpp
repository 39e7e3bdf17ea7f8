// Running a program with its outputs collected: Windows (CreateProcessW with
// pipes). Linux-only settings of RunOptions (file size limit, ignored
// signals, stops) have no meaning here; tests that need them skip.
#include <windows.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "platform/system/file_names.h"
#include "support/test_files.h"

namespace testing_support {

namespace {

std::wstring Wide(const std::string& text) {
    return PathFromUtf8(text).native();
}

// One argument quoted so that the C runtime's parser gives it back as it is.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    for (std::size_t i = 0;; ++i) {
        std::size_t backslashes = 0;
        while (i < argument.size() && argument[i] == L'\\') {
            ++i;
            ++backslashes;
        }
        if (i == argument.size()) {
            quoted.append(backslashes * 2, L'\\');
            break;
        }
        if (argument[i] == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        quoted.push_back(argument[i]);
    }
    quoted.push_back(L'"');
    return quoted;
}

// The environment block: the extra entries first, then every inherited one
// they do not name.
std::wstring EnvironmentBlock(const std::vector<std::string>& extra) {
    std::wstring block;
    std::vector<std::wstring> names;
    for (const std::string& entry : extra) {
        const std::wstring wide = Wide(entry);
        names.push_back(wide.substr(0, wide.find(L'=') + 1));
        block += wide;
        block.push_back(L'\0');
    }
    wchar_t* inherited = GetEnvironmentStringsW();
    for (const wchar_t* e = inherited; *e != L'\0'; e += wcslen(e) + 1) {
        const std::wstring entry(e);
        bool overridden = false;
        for (const std::wstring& name : names)
            overridden |= _wcsnicmp(e, name.c_str(), name.size()) == 0;
        if (!overridden) {
            block += entry;
            block.push_back(L'\0');
        }
    }
    FreeEnvironmentStringsW(inherited);
    block.push_back(L'\0');
    return block;
}

void MakePipe(HANDLE& read_end, HANDLE& write_end, bool child_reads) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) throw std::runtime_error("pipe");
    // Only the child's end is inherited.
    SetHandleInformation(child_reads ? write_end : read_end, HANDLE_FLAG_INHERIT, 0);
}

std::string Drain(HANDLE handle) {
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(handle);
    return text;
}

}  // namespace

RunResult RunProgram(const std::vector<std::string>& argv, const RunOptions& options) {
    HANDLE in_read, in_write, out_read, out_write, err_read, err_write;
    MakePipe(in_read, in_write, true);
    MakePipe(out_read, out_write, false);
    MakePipe(err_read, err_write, false);

    std::wstring command_line;
    for (const std::string& argument : argv) {
        if (!command_line.empty()) command_line.push_back(L' ');
        command_line += Quoted(Wide(argument));
    }
    std::wstring environment = EnvironmentBlock(options.environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in_read;
    startup.hStdOutput = out_write;
    startup.hStdError = err_write;
    PROCESS_INFORMATION process{};
    const std::wstring program = Wide(argv.at(0));
    const BOOL started =
        CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup, &process);
    CloseHandle(in_read);
    CloseHandle(out_write);
    CloseHandle(err_write);
    RunResult result;
    if (!started) {
        CloseHandle(in_write);
        CloseHandle(out_read);
        CloseHandle(err_read);
        result.err = "cannot start " + argv.at(0);
        return result;
    }
    std::thread feeder([handle = in_write, &input = options.input] {
        std::size_t written = 0;
        while (written < input.size()) {
            DWORD put = 0;
            if (!::WriteFile(handle, input.data() + written,
                             static_cast<DWORD>(input.size() - written), &put, nullptr))
                break;
            written += put;
        }
        CloseHandle(handle);
    });
    std::thread error_drain([&] { result.err = Drain(err_read); });
    result.out = Drain(out_read);
    error_drain.join();
    feeder.join();
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exit_code = static_cast<int>(code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return result;
}

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace testing_support
