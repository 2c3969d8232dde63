#include "detection.h"

#include "platform/text.h"

#include <algorithm>

namespace season {

FileSystem& RealFileSystem() {
    static FileSystem real;
    return real;
}

UnattendedFileSystem& QuietFileSystem() {
    static UnattendedFileSystem quiet;
    return quiet;
}

bool UnattendedFileSystem::FolderCopy(const std::string& folder, const std::string& target) {
    return CopyFolderFiles(*this, folder, target);
}

bool CopyFolderFiles(FileSystem& fs, const std::string& folder, const std::string& target) {
    std::error_code error;
    const std::vector<platform::FolderEntry> entries = fs.List(folder, error);
    if (error)
        return false;
    bool anyFile = false;
    bool all = true;
    for (const platform::FolderEntry& entry : entries) {
        if (entry.directory)
            continue;
        if (!anyFile && platform::MakeFolders(target))
            return false;
        anyFile = true;
        // The others are still copied after one fails, as the shell skips a file.
        if (!fs.FileCopy(folder + "\\" + entry.name, target + "\\" + entry.name))
            all = false;
    }
    return anyFile && all;
}

void ScanSubFolders(SwitcherState& state, FileSystem& fs) {
    std::error_code error;
    const auto entries = fs.List(state.BaseFolder, error);
    if (error)
        return; // an unreadable base folder contributes nothing; the probes still run
    std::vector<std::string> names;
    for (const auto& e : entries) {
        if (e.directory && !e.hidden && !e.system)
            names.push_back(e.name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return platform::CompareNamesNoCase(a, b) < 0;
    });
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::string& a, const std::string& b) {
                                return platform::CompareNamesNoCase(a, b) == 0;
                            }),
                names.end());
    for (const auto& name : names) {
        if (fs.Exists(state.BaseFolder + name + "\\Texture\\Default\\treesSU.bmp"))
            state.AddonList.push_back(name);
    }
}

void ProbeCatalogue(SwitcherState& state, FileSystem& fs) {
    for (int row = 1; row <= kRowCount; ++row) {
        const CatalogueRow& r = Catalogue()[static_cast<size_t>(row - 1)];
        const std::string probe = state.BaseFolder + r.installFolder + "\\" + r.probeFile;
        if (!fs.Exists(probe))
            continue;
        state.AddonList.push_back(r.displayName);
        if (r.hasFlag)
            state.Detected[static_cast<size_t>(row)] = true;
    }
}

} // namespace season
