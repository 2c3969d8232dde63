// The one gateway to <windows.h>: the platform layer and the programs' window
// bindings include this header, never <windows.h> itself. It is also the one
// conversion boundary between the programs' UTF-8 text and the system's UTF-16:
// every call that takes a path, a registry key, a window or message text, a
// command line or an environment value goes to the wide (W) function with text
// made by Widen or WidePath, and what the system hands back comes through Narrow.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>
#include <system_error>

namespace platform::win32 {

// UTF-8 to UTF-16 and back. Ill-formed UTF-8 becomes U+FFFD. Another code page may
// be named for the rare text that arrives in one (the ANSI code page: CP_ACP).
std::wstring Widen(std::string_view text, UINT codePage = CP_UTF8);
std::string Narrow(std::wstring_view text, UINT codePage = CP_UTF8);

// A UTF-8 path for the file functions: as Widen, and a full path of 248 characters
// (MAX_PATH - 12, the limit of a folder's name) or more ("C:\..." or "\\server\share\...") in the
// "\\?\" form that lifts the limit (separators made "\", "." and ".." resolved first, since that
// form takes the path literally). Shorter paths stay as written.
std::wstring WidePath(std::string_view path);

// A full UTF-16 path as GetFullPathNameW gives it ("C:\...", "\\server\share\..." or "\\.\...",
// "\" separators, no "." or ".." parts) for the file functions: from 248 characters on in the
// "\\?\" form, taken literally (names are not trimmed or resolved again, so a name found in a
// folder listing can be appended as it is). Shorter paths and paths already in that form stay
// as they are.
std::wstring LongFormOfFullPath(std::wstring_view full);

// A path without the "\\?\" or "\\?\UNC\" prefix that the long form adds, for showing.
std::wstring WithoutLongFormPrefix(std::wstring_view path);

// Where an open file or folder lies: its full path as the system resolves it
// (GetFinalPathNameByHandleW, long names, every link followed), without the "\\?\"
// prefix; empty when the system cannot say.
std::wstring PlaceOfHandle(HANDLE handle);

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
