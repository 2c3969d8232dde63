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

std::wstring WidePath(std::string_view path) {
    std::wstring wide = Widen(path);
    // From 248 characters on, since a folder's name must leave room for a file name
    // of 8.3 characters below it.
    if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0)
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
    if (drive)
        return L"\\\\?\\" + full;
    return L"\\\\?\\UNC\\" + full.substr(2);
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
