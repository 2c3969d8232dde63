#include "platform/shell.h"

#include "scoped_win32.h"
#include "windows_support.h"

#include <shellapi.h>

namespace platform {

void ShellOpen(void* owner, const std::string& file, const std::string& parameters) {
    ShellExecuteW(static_cast<HWND>(owner), nullptr, win32::Widen(file).c_str(),
                  win32::Widen(parameters).c_str(), nullptr, SW_SHOWNORMAL);
}

ElevatedRun RunElevatedAndWait(void* owner, const std::string& file,
                               const std::string& parameters) {
    const std::wstring wideFile = win32::Widen(file);
    const std::wstring wideParameters = win32::Widen(parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = static_cast<HWND>(owner);
    info.lpVerb = L"runas";
    info.lpFile = wideFile.c_str();
    info.lpParameters = wideParameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    ElevatedRun run;
    if (!ShellExecuteExW(&info)) {
        run.cancelled = GetLastError() == ERROR_CANCELLED;
        return run;
    }
    run.started = true;
    const win32::ScopedKernelHandle process(info.hProcess);
    if (process) {
        WaitForSingleObject(process.Get(), INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.Get(), &code);
        run.exitCode = code;
    }
    return run;
}

std::string FullPathName(const std::string& path) {
    const std::wstring wide = win32::Widen(path);
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD n = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    full.resize(n);
    return win32::Narrow(full);
}

} // namespace platform
