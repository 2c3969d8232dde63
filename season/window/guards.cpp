#include "guards.h"

#include "platform/path.h"
#include "platform/unicode.h"

#include <cstdio>

namespace season {

std::string RunningSimulator(const std::vector<std::string>& processNames) {
    for (const std::string& full : processNames) {
        const std::string name = platform::NameOf(full);
        for (std::string_view simulator : kSimulatorPrograms) {
            if (platform::EqualFolded(name, simulator))
                return std::string(name);
        }
    }
    return {};
}

std::string FolderIdentity(std::string_view folder) {
    // Letters fold as every name comparison of the programs folds them; ASCII letters
    // are then given in upper case, as the identity of a folder has always had them.
    std::string out = platform::FoldUtf8(folder);
    for (char& c : out) {
        if (c == '/')
            c = '\\';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    // "C:\Games\" and "C:\Games" are one folder; "C:\" keeps its separator.
    while (out.size() > 1 && out.back() == '\\' && !(out.size() == 3 && out[1] == ':'))
        out.pop_back();
    return out;
}

std::uint64_t FolderFingerprint(std::string_view folder) {
    return platform::HashBytes(FolderIdentity(folder));
}

std::string InstanceMutexName(std::string_view folder) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llX",
                  static_cast<unsigned long long>(FolderFingerprint(folder)));
    return std::string("Local\\Brightmere.Turnleaf.") + hex;
}

bool StartEndsAtOnce(bool markTaken, bool otherWindowBroughtForward) {
    return markTaken && otherWindowBroughtForward;
}

} // namespace season
