#include "platform/registry.h"

#include "scoped_win32.h"
#include "windows_support.h"

#include <vector>

namespace platform {
namespace {

using win32::ScopedRegistryKey;

// Every key is opened in the 32-bit view, where 32-bit installers write (on 64-bit
// Windows: SOFTWARE\X of that view is SOFTWARE\WOW6432Node\X). The shipped wizard is
// a 32-bit program and sees that view anyway; a 64-bit build of the same code must
// reach the same keys. 32-bit Windows ignores the flag.
constexpr REGSAM kView = KEY_WOW64_32KEY;

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

std::error_code ErrorOf(LONG result) {
    return result == ERROR_SUCCESS ? std::error_code{}
                                   : win32::MakeError(static_cast<DWORD>(result));
}

// Opens `name` below `parent` in the 32-bit view, without following it if it is a
// link.
std::error_code OpenNoFollow(HKEY parent, const std::wstring& name, REGSAM access,
                             ScopedRegistryKey& key) {
    return ErrorOf(
        RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, access | kView, key.Receive()));
}

// Deletes every subkey of `key` (named `path` below the machine's root), depth first,
// from the last index down. A subkey that is a link is deleted as a link and never
// entered. A key that stays is listed in `left` with its own failure; the keys above
// it, which stay only because they hold it, are not.
void DeleteSubkeys(HKEY key, const std::string& path, std::vector<KeyLeft>& left) {
    DWORD count = 0;
    DWORD longest = 0;
    if (const std::error_code failure =
            ErrorOf(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr))) {
        left.push_back({path, failure});
        return;
    }
    std::vector<wchar_t> name(longest + 2);
    for (DWORD i = count; i-- > 0;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (const std::error_code failure = ErrorOf(
                RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr))) {
            left.push_back({path, failure});
            continue;
        }
        const std::wstring sub(name.data(), length);
        const std::string subPath = path + "\\" + win32::Narrow(sub);
        ScopedRegistryKey child;
        if (const std::error_code failure = OpenNoFollow(key, sub, KEY_ALL_ACCESS, child)) {
            left.push_back({subPath, failure});
            continue;
        }
        if (IsLinkKey(child.Get())) {
            if (!DeleteLinkKey(child.Get()))
                left.push_back({subPath, win32::MakeError(ERROR_ACCESS_DENIED)});
            continue;
        }
        const size_t before = left.size();
        DeleteSubkeys(child.Get(), subPath, left);
        child.Reset();
        if (left.size() != before)
            continue; // it stays for what it holds
        if (const std::error_code failure = ErrorOf(RegDeleteKeyExW(key, sub.c_str(), kView, 0)))
            left.push_back({subPath, failure});
    }
}

} // namespace

KeyTreeDeletion DeleteMachineKeyTree(const std::string& keyPath) {
    const std::wstring path = win32::Widen(keyPath);
    ScopedRegistryKey key;
    if (const std::error_code failure = OpenNoFollow(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS, key))
        return {failure, {}};
    if (IsLinkKey(key.Get())) {
        const bool deleted = DeleteLinkKey(key.Get());
        return {deleted ? std::error_code{} : win32::MakeError(ERROR_ACCESS_DENIED), {}};
    }
    KeyTreeDeletion done;
    DeleteSubkeys(key.Get(), keyPath, done.keysLeft);
    key.Reset();
    if (!done.keysLeft.empty())
        return done;
    done.error = ErrorOf(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), kView, 0));
    return done;
}

bool MachineKeyIsLink(const std::string& keyPath) {
    ScopedRegistryKey key;
    if (OpenNoFollow(HKEY_LOCAL_MACHINE, win32::Widen(keyPath), KEY_QUERY_VALUE, key))
        return false;
    return IsLinkKey(key.Get());
}

std::string ReadMachineString(const std::string& keyPath, const std::string& valueName) {
    ScopedRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0, KEY_QUERY_VALUE | kView,
                      key.Receive()) != ERROR_SUCCESS)
        return {};
    const std::wstring name = win32::Widen(valueName);
    DWORD type = REG_NONE;
    DWORD size = 0;
    std::wstring value;
    if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        value.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
            value.clear();
        value.resize(value.find(L'\0') == std::wstring::npos ? value.size() : value.find(L'\0'));
    }
    return win32::Narrow(value);
}

std::error_code WriteMachineString(const std::string& keyPath, const std::string& valueName,
                                   const std::string& value) {
    ScopedRegistryKey key;
    if (const std::error_code failure =
            ErrorOf(RegCreateKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0, nullptr,
                                    0, KEY_SET_VALUE | kView, nullptr, key.Receive(), nullptr)))
        return failure;
    const std::wstring text = win32::Widen(value);
    return ErrorOf(RegSetValueExW(key.Get(), win32::Widen(valueName).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
}

std::error_code CreateMachineKeyLink(const std::string& keyPath, const std::string& targetPath) {
    // The link names its target by the registry's own path, where the 32-bit view's
    // SOFTWARE is SOFTWARE\WOW6432Node on a 64-bit system.
    const std::wstring wide = win32::Widen(targetPath);
    std::wstring target = L"\\Registry\\Machine\\" + wide;
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    const bool system64 = sizeof(void*) == 8 || wow64;
    if (system64 && wide.size() >= 9 &&
        CompareStringOrdinal(wide.c_str(), 9, L"SOFTWARE\\", 9, TRUE) == CSTR_EQUAL)
        target = L"\\Registry\\Machine\\SOFTWARE\\WOW6432Node\\" + wide.substr(9);
    ScopedRegistryKey key;
    if (const std::error_code failure = ErrorOf(RegCreateKeyExW(
            HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0, nullptr,
            REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS | KEY_CREATE_LINK | kView,
            nullptr, key.Receive(), nullptr)))
        return failure;
    return ErrorOf(RegSetValueExW(key.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                                  reinterpret_cast<const BYTE*>(target.c_str()),
                                  static_cast<DWORD>(target.size() * sizeof(wchar_t))));
}

bool MachineKeyExists(const std::string& keyPath) {
    ScopedRegistryKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0, KEY_READ | kView,
                         key.Receive()) == ERROR_SUCCESS;
}

std::error_code CreateMachineKey(const std::string& keyPath) {
    ScopedRegistryKey key;
    return ErrorOf(RegCreateKeyExW(HKEY_LOCAL_MACHINE, win32::Widen(keyPath).c_str(), 0, nullptr, 0,
                                   KEY_ALL_ACCESS | kView, nullptr, key.Receive(), nullptr));
}

} // namespace platform
