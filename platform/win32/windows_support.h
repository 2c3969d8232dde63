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
