#include "win32_profile_reference.h"

#include "scenery_library.h"

#include "windows_support.h"

namespace sweepstone_testing {
namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

// Splits a list of NUL-ended texts that ends with an extra NUL; UTF-8 items.
std::vector<std::string> SplitList(const std::vector<wchar_t>& buffer, DWORD length) {
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (buffer[i] == L'\0') {
            items.push_back(Narrow(std::wstring_view(buffer.data() + start, i - start)));
            start = i + 1;
        }
    }
    if (start < length)
        items.push_back(Narrow(std::wstring_view(buffer.data() + start, length - start)));
    return items;
}

} // namespace

std::vector<std::string> SystemSectionNames(const std::string& path) {
    for (DWORD size = 1024;; size *= 4) {
        std::vector<wchar_t> buffer(size);
        const DWORD n = GetPrivateProfileSectionNamesW(buffer.data(), size, Widen(path).c_str());
        if (n < size - 2)
            return SplitList(buffer, n);
    }
}

std::string SystemReadString(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue) {
    for (DWORD size = 1024;; size *= 4) {
        std::vector<wchar_t> buffer(size);
        const DWORD n = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(),
                                                 Widen(defaultValue).c_str(), buffer.data(), size,
                                                 Widen(path).c_str());
        if (n < size - 1)
            return Narrow(std::wstring_view(buffer.data(), n));
    }
}

bool SystemHasKey(const std::string& path, const std::string& section, const std::string& key) {
    return SystemReadString(path, section, key, "<1>") ==
           SystemReadString(path, section, key, "<2>");
}

std::vector<std::string> SystemKeyNames(const std::string& path, const std::string& section) {
    for (DWORD size = 1024;; size *= 4) {
        std::vector<wchar_t> buffer(size);
        const DWORD n = GetPrivateProfileStringW(Widen(section).c_str(), nullptr, L"",
                                                 buffer.data(), size, Widen(path).c_str());
        if (n < size - 2)
            return SplitList(buffer, n);
    }
}

std::vector<std::string> SystemSectionLines(const std::string& path, const std::string& section) {
    for (DWORD size = 1024;; size *= 4) {
        std::vector<wchar_t> buffer(size);
        const DWORD n = GetPrivateProfileSectionW(Widen(section).c_str(), buffer.data(), size,
                                                  Widen(path).c_str());
        if (n < size - 2)
            return SplitList(buffer, n);
    }
}

bool SystemRemoveSection(const std::string& path, const std::string& section) {
    const BOOL ok =
        WritePrivateProfileStringW(Widen(section).c_str(), nullptr, nullptr, Widen(path).c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, Widen(path).c_str());
    return ok != FALSE;
}

bool SystemRemoveSceneryAreas(const std::string& path, const std::string& logText) {
    std::vector<std::string> marked;
    for (const std::string& section : SystemSectionNames(path)) {
        if (!SystemHasKey(path, section, "Title"))
            continue;
        if (sweepstone::TitleOccursIn(SystemReadString(path, section, "Title", ""), logText))
            marked.push_back(section);
    }
    bool ok = true;
    for (const std::string& section : marked)
        ok = WritePrivateProfileStringW(Widen(section).c_str(), nullptr, nullptr,
                                        Widen(path).c_str()) &&
             ok;
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, Widen(path).c_str());
    return ok;
}

} // namespace sweepstone_testing
