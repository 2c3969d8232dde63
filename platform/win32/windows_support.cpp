#include "windows_support.h"

namespace platform::win32 {

std::wstring Widen(const std::string& text, UINT codePage) {
    if (text.empty())
        return {};
    const int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
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
    const std::wstring name = Widen(library);
    if (name.find_first_of(L"\\/:") == std::wstring::npos)
        return LoadSystemLibrary(name.c_str());
    if (SearchFlagsSupported())
        return LoadLibraryExW(name.c_str(), nullptr,
                              LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    return LoadLibraryExW(name.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace platform::win32
