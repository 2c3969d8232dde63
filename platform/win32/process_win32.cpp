#include "platform/process.h"

#include "windows_support.h"

#include <tlhelp32.h>

#include <cstdlib>

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

std::error_code StartHiddenBatch(const std::string& batch) {
    // The command interpreter runs the batch; its window stays hidden (show command 0).
    wchar_t interpreter[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(interpreter, MAX_PATH);
    std::wstring command =
        L"\"" + std::wstring(interpreter, n) + L"\\cmd.exe\" /c \"" + win32::Widen(batch) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
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
