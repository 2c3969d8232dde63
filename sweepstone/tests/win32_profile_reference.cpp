#include "win32_profile_reference.h"

#include "scenery_library.h"

#include <windows.h>

namespace sweepstone_testing {
namespace {

// Splits a list of NUL-ended texts that ends with an extra NUL.
std::vector<std::string> SplitList(const std::vector<char>& buffer, DWORD length) {
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (buffer[i] == '\0') {
            items.emplace_back(buffer.data() + start, i - start);
            start = i + 1;
        }
    }
    if (start < length)
        items.emplace_back(buffer.data() + start, length - start);
    return items;
}

} // namespace

std::vector<std::string> SystemSectionNames(const std::string& path) {
    for (DWORD size = 1024;; size *= 4) {
        std::vector<char> buffer(size);
        const DWORD n = GetPrivateProfileSectionNamesA(buffer.data(), size, path.c_str());
        if (n < size - 2)
            return SplitList(buffer, n);
    }
}

std::string SystemReadString(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue) {
    for (DWORD size = 1024;; size *= 4) {
        std::vector<char> buffer(size);
        const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                 buffer.data(), size, path.c_str());
        if (n < size - 1)
            return std::string(buffer.data(), n);
    }
}

bool SystemHasKey(const std::string& path, const std::string& section, const std::string& key) {
    return SystemReadString(path, section, key, "<1>") ==
           SystemReadString(path, section, key, "<2>");
}

std::vector<std::string> SystemKeyNames(const std::string& path, const std::string& section) {
    for (DWORD size = 1024;; size *= 4) {
        std::vector<char> buffer(size);
        const DWORD n = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(), size,
                                                 path.c_str());
        if (n < size - 2)
            return SplitList(buffer, n);
    }
}

std::vector<std::string> SystemSectionLines(const std::string& path, const std::string& section) {
    for (DWORD size = 1024;; size *= 4) {
        std::vector<char> buffer(size);
        const DWORD n =
            GetPrivateProfileSectionA(section.c_str(), buffer.data(), size, path.c_str());
        if (n < size - 2)
            return SplitList(buffer, n);
    }
}

bool SystemRemoveSection(const std::string& path, const std::string& section) {
    const BOOL ok = WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
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
        ok = WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path.c_str()) && ok;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    return ok;
}

} // namespace sweepstone_testing
