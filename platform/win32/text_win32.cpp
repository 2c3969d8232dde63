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

} // namespace platform
