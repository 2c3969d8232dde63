#include "platform/registry.h"

#include "scoped_win32.h"
#include "windows_support.h"

#include <vector>

namespace platform {
namespace {

// A registry link is deleted through its own handle, opened with
// REG_OPTION_OPEN_LINK: RegDeleteKeyW would open the name again, follow the link and
// delete the target instead. The system call is looked up at run time in ntdll,
// which every process has loaded.
using NtDeleteKeyFunction = LONG(WINAPI*)(HANDLE);

bool DeleteLinkKey(HKEY link) {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto deleteKey = ntdll ? reinterpret_cast<NtDeleteKeyFunction>(reinterpret_cast<void*>(
                                       GetProcAddress(ntdll, "NtDeleteKey")))
                                 : nullptr;
    return deleteKey && deleteKey(link) >= 0;
}

bool IsLinkKey(HKEY key) {
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           type == REG_LINK;
}

// Opens `name` below `parent` without following it if it is a link.
HKEY OpenNoFollow(HKEY parent, const std::wstring& name, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Deletes every subkey of `key`, depth first, from the last index down, skipping an
// index whose enumeration fails. A subkey that is a link is deleted as a link and
// never entered.
void DeleteSubkeys(HKEY key) {
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<wchar_t> name(longest + 2);
    for (DWORD i = count; i-- > 0;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        const std::wstring sub(name.data(), length);
        if (HKEY child = OpenNoFollow(key, sub, KEY_ALL_ACCESS)) {
            if (IsLinkKey(child)) {
                DeleteLinkKey(child);
                RegCloseKey(child);
                continue;
            }
            DeleteSubkeys(child);
            RegCloseKey(child);
        }
        RegDeleteKeyW(key, sub.c_str());
    }
}

} // namespace

std::error_code DeleteMachineKeyTree(const std::string& keyPath) {
    const std::wstring path = win32::Widen(keyPath);
    HKEY key = nullptr;
    LONG result =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS)
        return win32::MakeError(static_cast<DWORD>(result));
    if (IsLinkKey(key)) {
        const bool deleted = DeleteLinkKey(key);
        RegCloseKey(key);
        return deleted ? std::error_code{} : win32::MakeError(ERROR_ACCESS_DENIED);
    }
    DeleteSubkeys(key);
    RegCloseKey(key);
    result = RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
    return result == ERROR_SUCCESS ? std::error_code{}
                                   : win32::MakeError(static_cast<DWORD>(result));
}

bool MachineKeyIsLink(const std::string& keyPath) {
    HKEY key = OpenNoFollow(HKEY_LOCAL_MACHINE, win32::Widen(keyPath), KEY_QUERY_VALUE);
    if (!key)
        return false;
    const bool link = IsLinkKey(key);
    RegCloseKey(key);
    return link;
}

bool MachineKeyPathHasLink(const std::string& keyPath) {
    for (size_t cut = keyPath.find('\\'); cut != std::string::npos;
         cut = keyPath.find('\\', cut + 1)) {
        if (cut > 0 && MachineKeyIsLink(keyPath.substr(0, cut)))
            return true;
    }
    return MachineKeyIsLink(keyPath);
}

std::string ReadMachineString(const std::string& keyPath, const std::string& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return {};
    const std::wstring name = win32::Widen(valueName);
    DWORD type = REG_NONE;
    DWORD size = 0;
    std::wstring value;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        value.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
            value.clear();
        value.resize(value.find(L'\0') == std::wstring::npos ? value.size() : value.find(L'\0'));
    }
    RegCloseKey(key);
    return win32::Narrow(value);
}

std::error_code WriteMachineString(const std::string& keyPath, const std::string& valueName,
                                   const std::string& value) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return win32::MakeError(static_cast<DWORD>(result));
    const std::wstring text = win32::Widen(value);
    result = RegSetValueExW(key, win32::Widen(valueName).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::error_code{}
                                   : win32::MakeError(static_cast<DWORD>(result));
}

std::error_code CreateMachineKeyLink(const std::string& keyPath, const std::string& targetPath) {
    // The link names its target by the registry's own path, which a 32-bit program on
    // a 64-bit system sees below WOW6432Node.
    const std::wstring wide = win32::Widen(targetPath);
    std::wstring target = L"\\Registry\\Machine\\" + wide;
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    if (wow64 && wide.size() >= 9 &&
        CompareStringOrdinal(wide.c_str(), 9, L"SOFTWARE\\", 9, TRUE) == CSTR_EQUAL)
        target = L"\\Registry\\Machine\\SOFTWARE\\WOW6432Node\\" + wide.substr(9);
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0, nullptr,
                                  REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return win32::MakeError(static_cast<DWORD>(result));
    result = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                            reinterpret_cast<const BYTE*>(target.c_str()),
                            static_cast<DWORD>(target.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::error_code{}
                                   : win32::MakeError(static_cast<DWORD>(result));
}

bool MachineKeyExists(const std::string& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::error_code CreateMachineKey(const std::string& keyPath) {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0,
                                        nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return win32::MakeError(static_cast<DWORD>(result));
    RegCloseKey(key);
    return {};
}

std::error_code DeleteEmptyMachineKey(const std::string& keyPath) {
    win32::ScopedRegistryKey key(
        OpenNoFollow(HKEY_LOCAL_MACHINE, win32::Widen(keyPath), KEY_QUERY_VALUE | DELETE));
    if (!key)
        return win32::MakeError(ERROR_FILE_NOT_FOUND);
    if (IsLinkKey(key.Get()))
        return win32::MakeError(ERROR_ACCESS_DENIED);
    DWORD subkeys = 0;
    DWORD values = 0;
    const LONG result = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                         nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS)
        return win32::MakeError(static_cast<DWORD>(result));
    if (subkeys != 0 || values != 0)
        return win32::MakeError(ERROR_DIR_NOT_EMPTY);
    // Deleted through the handle that was looked at, not by its name again.
    return DeleteLinkKey(key.Get()) ? std::error_code{} : win32::MakeError(ERROR_ACCESS_DENIED);
}

} // namespace platform
