#include "platform/process.h"

#include "windows_support.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <cwchar>

namespace platform {

std::string UniqueTempFileName(const std::string& folder, const std::string& prefix) {
    wchar_t name[MAX_PATH + 1] = {};
    if (GetTempFileNameW(win32::Widen(folder).c_str(), win32::Widen(prefix).c_str(), 0, name) == 0)
        return {};
    return win32::Narrow(name);
}

std::error_code ClearFileAttributes(const std::string& path) {
    if (!SetFileAttributesW(win32::Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL))
        return win32::LastError();
    return {};
}

std::string CommandLineText() {
    return win32::Narrow(GetCommandLineW(), CP_UTF8);
}

std::error_code SetCurrentFolder(const std::string& folder) {
    if (!SetCurrentDirectoryW(win32::Widen(folder).c_str()))
        return win32::LastError();
    return {};
}

std::error_code StartHiddenCommand(const std::string& arguments,
                                   const EnvironmentValues& environment) {
    wchar_t folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return win32::LastError();
    // Named in full, so that no cmd.exe in the current folder is started instead.
    const std::wstring interpreter = std::wstring(folder, n) + L"\\cmd.exe";
    std::wstring command = L"\"" + interpreter + L"\" " + win32::Widen(arguments);

    // The caller's environment without the variables given, then those.
    std::vector<std::wstring> added;
    for (const auto& [name, value] : environment)
        added.push_back(win32::Widen(name) + L"=" + win32::Widen(value));
    std::wstring block;
    if (wchar_t* current = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1) {
            const std::wstring text = entry;
            bool replaced = false;
            for (const auto& [name, value] : environment) {
                const std::wstring prefix = win32::Widen(name) + L"=";
                replaced = replaced ||
                           (text.size() >= prefix.size() &&
                            CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()),
                                                 prefix.data(), static_cast<int>(prefix.size()),
                                                 TRUE) == CSTR_EQUAL);
            }
            if (!replaced)
                block += text + L'\0';
        }
        FreeEnvironmentStringsW(current);
    }
    for (const std::wstring& entry : added)
        block += entry + L'\0';
    block += L'\0';

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter.c_str(), command.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, block.data(), nullptr,
                        &startup, &process))
        return win32::LastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

std::vector<std::string> RunningProgramNames() {
    std::vector<std::string> names;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return names;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        names.push_back(win32::Narrow(entry.szExeFile));
    CloseHandle(snapshot);
    return names;
}

void EndProcess(int code) {
    ExitProcess(static_cast<UINT>(code));
}

} // namespace platform
