#include "platform/folders.h"
#include "platform/path.h"

#include "windows_support.h"

#include <shlobj.h>

namespace platform {
namespace {

std::string KnownFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return {};
    return win32::Narrow(buffer);
}

std::string Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return (n > 0 && n < MAX_PATH) ? win32::Narrow(std::wstring(buffer, n)) : std::string();
}

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

} // namespace

std::vector<std::string> ProtectedFolders() {
    std::vector<std::string> folders;
    auto add = [&folders](const std::string& path) {
        if (!path.empty())
            folders.push_back(WithoutTrailingSeparator(path));
    };
    const int csidls[] = {
        CSIDL_WINDOWS,
        CSIDL_SYSTEM,
        CSIDL_SYSTEMX86,
        CSIDL_PROGRAM_FILES,
        CSIDL_PROGRAM_FILESX86,
        CSIDL_PROGRAM_FILES_COMMON,
        CSIDL_PROGRAM_FILES_COMMONX86,
        CSIDL_COMMON_APPDATA,
        CSIDL_PROFILE,
        CSIDL_DESKTOPDIRECTORY,
        CSIDL_COMMON_DESKTOPDIRECTORY,
        CSIDL_PERSONAL,
        CSIDL_COMMON_DOCUMENTS,
        CSIDL_APPDATA,
        CSIDL_LOCAL_APPDATA,
        CSIDL_PROGRAMS,
        CSIDL_COMMON_PROGRAMS,
        CSIDL_STARTMENU,
        CSIDL_COMMON_STARTMENU,
    };
    for (int csidl : csidls)
        add(KnownFolder(csidl));
    // A 32-bit program is told the x86 folders; the 64-bit ones come from the
    // environment.
    add(Environment(L"ProgramW6432"));
    add(Environment(L"CommonProgramW6432"));
    const std::string profile = WithoutTrailingSeparator(KnownFolder(CSIDL_PROFILE));
    add(ParentOf(profile));                             // the Users folder
    add(ParentOf(KnownFolder(CSIDL_COMMON_DOCUMENTS))); // Public
    add(ParentOf(KnownFolder(CSIDL_APPDATA)));          // AppData
    add(WindowsFolder());
    wchar_t temp[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    add(win32::Narrow(std::wstring(temp, n)));
    return folders;
}

std::vector<std::string> SystemFileFolders() {
    return {WindowsFolder()};
}

std::string WindowsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    std::string folder = win32::Narrow(std::wstring(buffer, n));
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace platform
