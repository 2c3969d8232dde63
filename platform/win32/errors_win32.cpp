#include "platform/errors.h"

#include "scoped_win32.h"
#include "windows_support.h"

namespace platform {

std::string ErrorText(std::error_code error) {
    if (error.category() != std::system_category())
        return error.message();
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(error.value()), 0,
                                   reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const win32::ScopedLocalMemory owner(text);
    std::wstring wide = n > 0 && text ? std::wstring(text, n) : std::wstring();
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' '))
        wide.pop_back();
    if (wide.empty())
        return "error " + std::to_string(error.value());
    return win32::Narrow(wide);
}

} // namespace platform
