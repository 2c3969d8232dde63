#include "platform/text.h"

#include "windows_support.h"

namespace platform {

int CompareNamesNoCase(const std::string& a, const std::string& b) {
    const std::wstring x = win32::Widen(a);
    const std::wstring y = win32::Widen(b);
    const int r = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, x.data(),
                                 static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()));
    return r == CSTR_LESS_THAN ? -1 : (r == CSTR_GREATER_THAN ? 1 : 0);
}

bool SameNameNoCase(const std::string& a, const std::string& b) {
    const std::wstring x = win32::Widen(a);
    const std::wstring y = win32::Widen(b);
    return CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(),
                                static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
}

std::string AnsiToUtf8(std::string_view bytes) {
    return win32::Narrow(win32::Widen(bytes, CP_ACP));
}

std::string Utf8ToAnsi(std::string_view text) {
    // No "best fit": a character the code page lacks becomes "?", never a look-alike
    // ("Ł" as "L") that could name another file.
    const std::wstring wide = win32::Widen(text);
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        out.data(), n, nullptr, nullptr);
    return out;
}

std::string UpperCaseName(const std::string& name) {
    const std::wstring wide = win32::Widen(name);
    if (wide.empty())
        return {};
    std::wstring upper(wide.size(), L'\0');
    const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(),
                                static_cast<int>(wide.size()), upper.data(),
                                static_cast<int>(upper.size()), nullptr, nullptr, 0);
    if (n <= 0)
        return name;
    upper.resize(static_cast<size_t>(n));
    return win32::Narrow(upper);
}

} // namespace platform
