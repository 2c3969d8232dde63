#include "platform/folders.h"
#include "platform/path.h"

#include "scoped_win32.h"
#include "windows_support.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace platform {
namespace {

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 3 && IsPathSeparator(path.back()))
        path.pop_back();
    return path;
}

std::string KnownFolderPath(REFKNOWNFOLDERID id) {
    win32::ScopedTaskMemory path;
    // Not verified: a folder the account has not made yet is still the one meant.
    if (FAILED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, path.Receive())) || !path)
        return {};
    return WithoutTrailingSeparator(win32::Narrow(path.Get()));
}

std::string Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return (n > 0 && n < MAX_PATH)
               ? WithoutTrailingSeparator(win32::Narrow(std::wstring(buffer, n)))
               : std::string();
}

std::string Expanded(const std::wstring& value) {
    const DWORD n = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
    if (n == 0)
        return {};
    std::wstring out(n, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(value.c_str(), out.data(), n);
    if (written == 0 || written > n)
        return {};
    out.resize(written - 1);
    return WithoutTrailingSeparator(win32::Narrow(out));
}

// A string value (REG_SZ or REG_EXPAND_SZ) of an open key, expanded.
std::string ExpandedValue(HKEY key, const wchar_t* name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    value.resize(value.find(L'\0'));
    return Expanded(value);
}

} // namespace

std::vector<NamedFolder> SystemFolders() {
    struct Known {
        KnownFolder kind;
        const KNOWNFOLDERID* id;
    };
    static const Known kKnown[] = {
        {KnownFolder::Windows, &FOLDERID_Windows},
        {KnownFolder::System, &FOLDERID_System},
        {KnownFolder::System, &FOLDERID_SystemX86},
        {KnownFolder::ProgramFiles, &FOLDERID_ProgramFiles},
        {KnownFolder::ProgramFiles, &FOLDERID_ProgramFilesX86},
        {KnownFolder::ProgramFiles, &FOLDERID_ProgramFilesX64},
        {KnownFolder::CommonFiles, &FOLDERID_ProgramFilesCommon},
        {KnownFolder::CommonFiles, &FOLDERID_ProgramFilesCommonX86},
        {KnownFolder::CommonFiles, &FOLDERID_ProgramFilesCommonX64},
        {KnownFolder::ProgramData, &FOLDERID_ProgramData},
        {KnownFolder::CommonStartMenu, &FOLDERID_CommonStartMenu},
        {KnownFolder::CommonPrograms, &FOLDERID_CommonPrograms},
        {KnownFolder::CommonDesktop, &FOLDERID_PublicDesktop},
        {KnownFolder::PublicFolder, &FOLDERID_Public},
        {KnownFolder::PublicFolder, &FOLDERID_PublicDocuments},
        {KnownFolder::PublicFolder, &FOLDERID_PublicDownloads},
        {KnownFolder::PublicFolder, &FOLDERID_PublicMusic},
        {KnownFolder::PublicFolder, &FOLDERID_PublicPictures},
        {KnownFolder::PublicFolder, &FOLDERID_PublicVideos},
        {KnownFolder::Users, &FOLDERID_UserProfiles},
        {KnownFolder::Profile, &FOLDERID_Profile},
        {KnownFolder::Documents, &FOLDERID_Documents},
        {KnownFolder::RoamingAppData, &FOLDERID_RoamingAppData},
        {KnownFolder::UserFolder, &FOLDERID_Desktop},
        {KnownFolder::UserFolder, &FOLDERID_Downloads},
        {KnownFolder::UserFolder, &FOLDERID_Music},
        {KnownFolder::UserFolder, &FOLDERID_Pictures},
        {KnownFolder::UserFolder, &FOLDERID_Videos},
        {KnownFolder::UserFolder, &FOLDERID_SavedGames},
        {KnownFolder::UserFolder, &FOLDERID_Favorites},
        {KnownFolder::UserFolder, &FOLDERID_Links},
        {KnownFolder::UserFolder, &FOLDERID_Contacts},
        {KnownFolder::UserFolder, &FOLDERID_SavedSearches},
        {KnownFolder::UserFolder, &FOLDERID_SkyDrive},
        {KnownFolder::UserFolder, &FOLDERID_LocalAppData},
        {KnownFolder::UserFolder, &FOLDERID_LocalAppDataLow},
        {KnownFolder::UserFolder, &FOLDERID_StartMenu},
        {KnownFolder::UserFolder, &FOLDERID_Programs},
        {KnownFolder::UserFolder, &FOLDERID_Templates},
    };
    std::vector<NamedFolder> folders;
    auto add = [&folders](KnownFolder kind, const std::string& path) {
        if (!path.empty())
            folders.push_back({kind, path});
    };
    for (const Known& known : kKnown)
        add(known.kind, KnownFolderPath(*known.id));
    add(KnownFolder::Windows, WithoutTrailingSeparator(WindowsFolder()));
    // A 32-bit program on 64-bit Windows is told the x86 folders; the 64-bit ones come
    // from the environment.
    add(KnownFolder::ProgramFiles, Environment(L"ProgramW6432"));
    add(KnownFolder::CommonFiles, Environment(L"CommonProgramW6432"));
    wchar_t temp[MAX_PATH + 2] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    add(KnownFolder::Temp, WithoutTrailingSeparator(win32::Narrow(std::wstring(temp, n))));
    const DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (!(drives & (1u << letter)))
            continue;
        const std::wstring root = std::wstring(1, static_cast<wchar_t>(L'A' + letter)) + L":\\";
        const UINT type = GetDriveTypeW(root.c_str());
        if (type == DRIVE_FIXED || type == DRIVE_REMOVABLE)
            add(KnownFolder::DriveRoot, win32::Narrow(root));
    }
    return folders;
}

MachineProfiles AccountProfiles() {
    MachineProfiles machine;
    win32::ScopedRegistryKey list;
    // The list lives in the 64-bit view on 64-bit Windows, whatever this program is.
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                      KEY_READ | KEY_WOW64_64KEY, list.Receive()) != ERROR_SUCCESS)
        return machine;
    machine.defaultProfile = ExpandedValue(list.Get(), L"Default");
    if (machine.defaultProfile.empty()) {
        const std::string users = ExpandedValue(list.Get(), L"ProfilesDirectory");
        if (!users.empty())
            machine.defaultProfile = JoinPath(users, "Default");
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256] = {};
        DWORD length = 256;
        const LONG status =
            RegEnumKeyExW(list.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) // a name too long for a SID: no account
            continue;
        if (status != ERROR_SUCCESS)
            break;
        win32::ScopedRegistryKey account;
        if (RegOpenKeyExW(list.Get(), name, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                          account.Receive()) != ERROR_SUCCESS)
            continue;
        const std::string profile = ExpandedValue(account.Get(), L"ProfileImagePath");
        if (!profile.empty())
            machine.profiles.push_back(profile);
    }
    return machine;
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
