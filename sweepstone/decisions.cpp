#include "decisions.h"

#include "removal.h"
#include "safety.h"

#include "platform/deletion.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/registry.h"

namespace sweepstone {

const std::vector<std::string>& KnownLogSections() {
    static const std::vector<std::string> names = {"Path",
                                                   "File",
                                                   "ShortCut",
                                                   "Registry",
                                                   "Scenery.cfg",
                                                   "Rename_File",
                                                   "Rename_File_DEX",
                                                   "Shared-Folder",
                                                   "Shared-Folder-Option",
                                                   "Shared_Scenery.cfg",
                                                   "DLL_RUN",
                                                   "DLL_RUN_SHARED",
                                                   "Run",
                                                   "General"};
    return names;
}

std::string RegistryKeyOf(const std::string& value) {
    return !value.empty() && value[0] == '\\' ? value.substr(1) : value;
}

std::optional<std::string> KeyGuard(const std::string& value) {
    const std::string key = RegistryKeyOf(value);
    if (std::optional<std::string> rule = RegistryKeyRefusal(key))
        return rule;
    // A link would take the deletion to another key than the one the value spells.
    if (platform::MachineKeyPathHasLink(key))
        return "a registry link";
    return std::nullopt;
}

std::optional<std::string> FolderGuard(const std::string& value, const RemovalSafety& safety,
                                       const std::string& sceneryFolder) {
    // One reading of the value or none (FolderRefusal reads it again the same way):
    // what passes is acted on in this one spelling (TargetFor).
    std::vector<std::string> simulator = safety.simulatorFolders;
    if (!sceneryFolder.empty())
        simulator.push_back(sceneryFolder);
    return FolderRefusal(value, safety.protectedFolders, simulator);
}

std::optional<std::string> FileGuard(const std::string& value, const RemovalSafety& safety,
                                     const std::string& sceneryFolder) {
    std::vector<std::string> folders = safety.systemFileFolders;
    if (!sceneryFolder.empty())
        folders.push_back(sceneryFolder + "Scenery.cfg");
    return FileRefusal(value, folders);
}

bool KeyPresent(const std::string& value) {
    return platform::MachineKeyExists(RegistryKeyOf(value));
}

bool FolderOrLinkPresent(const std::string& value) {
    return platform::FolderPresent(value) || platform::IsLink(value);
}

bool FileOrLinkPresent(const std::string& value) {
    return platform::FilePresent(value) ||
           (platform::IsLink(value) && !platform::FolderPresent(value));
}

const std::vector<DeleteSection>& DeleteSections() {
    static const std::vector<DeleteSection> sections = {
        {"Registry", ValueKind::Key, false},        {"Path", ValueKind::Folder, false},
        {"Shared-Folder", ValueKind::Folder, true}, {"File", ValueKind::File, false},
        {"ShortCut", ValueKind::Folder, false},
    };
    return sections;
}

std::optional<std::string> GuardFor(ValueKind kind, const std::string& value,
                                    const RemovalSafety& safety, const std::string& sceneryFolder) {
    switch (kind) {
    case ValueKind::Key:
        return KeyGuard(value);
    case ValueKind::Folder:
        return FolderGuard(value, safety, sceneryFolder);
    case ValueKind::File:
        break;
    }
    return FileGuard(value, safety, sceneryFolder);
}

std::string TargetFor(ValueKind kind, const std::string& value) {
    if (kind == ValueKind::Key)
        return RegistryKeyOf(value);
    const platform::CanonicalPath canonical = platform::CanonicalFullPath(value);
    return canonical.Accepted() ? canonical.path : value;
}

bool PresentFor(ValueKind kind, const std::string& raw) {
    const std::string value = TargetFor(kind, raw);
    switch (kind) {
    case ValueKind::Key:
        return KeyPresent(value);
    case ValueKind::Folder:
        return FolderOrLinkPresent(value);
    case ValueKind::File:
        break;
    }
    return FileOrLinkPresent(value);
}

std::string FolderPart(const std::string& path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

} // namespace sweepstone
