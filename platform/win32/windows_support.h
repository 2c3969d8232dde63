// The one gateway to <windows.h> for the platform layer. It holds only generic
// Win32 helpers: text conversion between the system code page and UTF-16, and the
// conversion of GetLastError() into an error value.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <system_error>

namespace platform::win32 {

// Code-page text (the system's ANSI code page) to UTF-16 and back.
std::wstring Widen(const std::string& text, UINT codePage = CP_ACP);
std::string Narrow(const std::wstring& text, UINT codePage = CP_ACP);

// The calling thread's last error as an error value.
std::error_code LastError();
std::error_code MakeError(DWORD code);

} // namespace platform::win32

namespace platform::win32 {

// A library of the system, loaded from the system folder only, never from the
// program's own folder or the current one where a planted copy could wait:
// LoadLibraryExW with LOAD_LIBRARY_SEARCH_SYSTEM32 where Windows has it (Windows 8,
// and Windows 7 with update KB2533623), else the full path in the system folder.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A library that an uninstall log names: a path with a folder loads that file, and
// the libraries it imports are looked for beside it and in the system folder; a bare
// name is looked for in the system folder.
HMODULE LoadLogLibrary(const std::string& library);

} // namespace platform::win32
