#include "windows_support.h"

namespace platform::win32 {

std::wstring Widen(std::string_view text, UINT codePage) {
    if (text.empty())
        return {};
    const int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view text, UINT codePage) {
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

namespace {

// Paths of this length or more get the "\\?\" form: a folder's name must leave room
// for a file name of 8.3 characters below it (MAX_PATH - 12).
constexpr size_t kLongFormFrom = MAX_PATH - 12;

bool HasLongFormPrefix(std::wstring_view path) {
    return path.substr(0, 4) == L"\\\\?\\";
}

// The "\\?\" form of a full path: "C:\x" becomes "\\?\C:\x", "\\server\share" becomes
// "\\?\UNC\server\share", and "\\.\x" (the device form) becomes "\\?\x".
std::wstring Prefixed(std::wstring_view full) {
    if (HasLongFormPrefix(full))
        return std::wstring(full);
    if (full.substr(0, 4) == L"\\\\.\\")
        return L"\\\\?\\" + std::wstring(full.substr(4));
    if (full.size() > 2 && full[0] == L'\\' && full[1] == L'\\')
        return L"\\\\?\\UNC\\" + std::wstring(full.substr(2));
    if (full.size() > 2 && full[1] == L':' && full[2] == L'\\')
        return L"\\\\?\\" + std::wstring(full);
    return std::wstring(full); // not a full path: it keeps the system's own limit
}

} // namespace

std::wstring WidePath(std::string_view path) {
    std::wstring wide = Widen(path);
    if (wide.size() < kLongFormFrom || HasLongFormPrefix(wide))
        return wide;
    const bool drive = wide.size() > 2 && wide[1] == L':' && (wide[2] == L'\\' || wide[2] == L'/');
    const bool share =
        (wide[0] == L'\\' || wide[0] == L'/') && (wide[1] == L'\\' || wide[1] == L'/');
    if (!drive && !share)
        return wide; // a relative path keeps the system's own limit
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return wide;
    std::wstring full(needed, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr));
    return Prefixed(full);
}

std::wstring LongFormOfFullPath(std::wstring_view full) {
    return full.size() < kLongFormFrom ? std::wstring(full) : Prefixed(full);
}

std::wstring WithoutLongFormPrefix(std::wstring_view path) {
    if (path.substr(0, 8) == L"\\\\?\\UNC\\")
        return L"\\\\" + std::wstring(path.substr(8));
    if (HasLongFormPrefix(path))
        return std::wstring(path.substr(4));
    return std::wstring(path);
}

std::wstring PlaceOfHandle(HANDLE handle) {
    std::wstring out(1024, L'\0');
    DWORD n = GetFinalPathNameByHandleW(handle, out.data(), static_cast<DWORD>(out.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n >= out.size()) {
        out.resize(n + 1);
        n = GetFinalPathNameByHandleW(handle, out.data(), static_cast<DWORD>(out.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    if (n == 0 || n >= out.size())
        return {};
    out.resize(n);
    return WithoutLongFormPrefix(out);
}

std::error_code MakeError(DWORD code) {
    return {static_cast<int>(code), std::system_category()};
}

std::error_code LastError() {
    return MakeError(GetLastError());
}

} // namespace platform::win32

namespace platform::win32 {
namespace {

// LOAD_LIBRARY_SEARCH_* flags exist where AddDllDirectory does (the documented test).
bool SearchFlagsSupported() {
    static const bool supported =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    return supported;
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::wstring() : std::wstring(folder, n);
}

} // namespace

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (SearchFlagsSupported())
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const std::wstring folder = SystemFolder();
    if (folder.empty())
        return nullptr;
    return LoadLibraryW((folder + L"\\" + name).c_str());
}

HMODULE LoadLogLibrary(const std::string& library) {
    const std::wstring name = WidePath(library);
    if (name.find_first_of(L"\\/:") == std::wstring::npos)
        return LoadSystemLibrary(name.c_str());
    if (SearchFlagsSupported())
        return LoadLibraryExW(name.c_str(), nullptr,
                              LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    return LoadLibraryExW(name.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace platform::win32
