#include "decisions.h"

#include "removal.h"
#include "safety.h"

#include "platform/deletion.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "platform/text.h"

#include <iterator>

namespace sweepstone {

namespace {

// In the order of LogSection.
constexpr const char* kSectionNames[kLogSectionCount] = {"Path",
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

} // namespace

const char* SectionName(LogSection section) {
    return kSectionNames[static_cast<size_t>(section)];
}

const std::vector<std::string>& KnownLogSections() {
    static const std::vector<std::string> names(std::begin(kSectionNames), std::end(kSectionNames));
    return names;
}

MachineKey CanonicalMachineKey(const std::string& value) {
    std::vector<std::string> names;
    std::string current;
    for (size_t i = 0; i <= value.size(); ++i) {
        if (i == value.size() || value[i] == '\\') {
            if (!current.empty())
                names.push_back(current);
            current.clear();
        } else {
            current += value[i];
        }
    }
    if (!names.empty()) {
        const std::string& root = names.front();
        const auto is = [&root](const char* name) {
            return platform::SameNameNoCase(root, name);
        };
        if (is("HKLM") || is("HKEY_LOCAL_MACHINE"))
            names.erase(names.begin());
        else if (root.size() > 5 && platform::SameNameNoCase(root.substr(0, 5), "HKEY_"))
            return {{}, "a key of another root than HKEY_LOCAL_MACHINE"};
        else if (is("HKCU") || is("HKCR") || is("HKU") || is("HKCC"))
            return {{}, "a key of another root than HKEY_LOCAL_MACHINE"};
    }
    std::string key;
    for (const std::string& name : names)
        key += (key.empty() ? "" : "\\") + name;
    return {key, {}};
}

std::string RegistryKeyOf(const std::string& value) {
    MachineKey read = CanonicalMachineKey(value);
    return read.refusal.empty() ? std::move(read.key) : value;
}

std::string RegistryItemOf(const std::string& value) {
    const MachineKey read = CanonicalMachineKey(value);
    return read.refusal.empty() ? "HKEY_LOCAL_MACHINE\\" + read.key : value;
}

std::optional<std::string> KeyGuard(const std::string& value) {
    const MachineKey read = CanonicalMachineKey(value);
    if (!read.refusal.empty())
        return read.refusal;
    const std::string& key = read.key;
    if (std::optional<std::string> rule = RegistryKeyRefusal(key))
        return rule;
    // A link would take the deletion to another key than the one the value spells:
    // the key and each key above it are looked at up to the first that the rules
    // protect. What lies from there up is the system's, whose own links (the 32-bit
    // view's SOFTWARE\\Classes, CurrentControlSet) lead where Windows means them to.
    for (size_t end = key.size(); end != std::string::npos && end > 0;
         end = key.rfind('\\', end - 1)) {
        const std::string above = key.substr(0, end);
        if (RegistryKeyRefusal(above))
            break;
        if (platform::MachineKeyIsLink(above))
            return "a registry link";
    }
    return std::nullopt;
}

std::optional<std::string> FolderGuard(const std::string& value, const RemovalSafety& safety,
                                       const std::string& sceneryFolder) {
    // One reading of the value or none (the rules read it again the same way): what
    // passes is acted on in this one spelling (TargetFor).
    if (sceneryFolder.empty())
        return safety.folders.Refusal(value);
    return safety.folders.Refusal(value, &safety.LibraryRules(sceneryFolder));
}

std::optional<std::string> FileGuard(const std::string& value, const RemovalSafety& safety,
                                     const std::string& sceneryFolder,
                                     platform::FileFolders* files) {
    if (sceneryFolder.empty())
        return safety.folders.Refusal(value, nullptr, files);
    return safety.folders.Refusal(value, &safety.LibraryRules(sceneryFolder), files);
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
        {SectionName(LogSection::Registry), ValueKind::Key, false},
        {SectionName(LogSection::Path), ValueKind::Folder, false},
        {SectionName(LogSection::SharedFolder), ValueKind::Folder, true},
        {SectionName(LogSection::File), ValueKind::File, false},
        {SectionName(LogSection::ShortCut), ValueKind::Folder, false},
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

std::optional<std::string> RenameGuard(const std::string& value, const std::string& suffix,
                                       const RemovalSafety& safety,
                                       const std::string& sceneryFolder) {
    for (const std::string& name : {value + suffix, value + ".bgl"}) {
        if (std::optional<std::string> rule = FileGuard(name, safety, sceneryFolder))
            return rule;
    }
    return std::nullopt;
}

RenameNames RenameNamesFor(const std::string& value, const std::string& suffix) {
    return {TargetFor(ValueKind::File, value + suffix), TargetFor(ValueKind::File, value + ".bgl")};
}

RunFileTarget RunFileOf(const std::string& value, const RemovalSafety& safety,
                        const std::string& sceneryFolder) {
    if (const std::optional<std::string> rule = FileGuard(value, safety, sceneryFolder))
        return {{}, "refused: " + *rule};
    const std::string file = TargetFor(ValueKind::File, value);
    if (!platform::FilePresent(file) || platform::IsLink(file))
        return {{}, "not an existing file"};
    return {file, {}};
}

std::string FolderPart(const std::string& path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

} // namespace sweepstone
