#include "platform/registry.h"

#include "windows_support.h"

#include <vector>

namespace platform {
namespace {

// Deletes every subkey of `key`, depth first, from the last index down, skipping an
// index whose enumeration fails.
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
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, sub.c_str(), 0, KEY_ALL_ACCESS, &child) == ERROR_SUCCESS) {
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
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS)
        return win32::MakeError(static_cast<DWORD>(result));
    DeleteSubkeys(key);
    RegCloseKey(key);
    result = RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
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

} // namespace platform
