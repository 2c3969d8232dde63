// What the removal decides about one log value before it acts: the safety rule that
// refuses it and whether what it names is there. The removal and the check of a log
// (check.h) both ask these functions, so that the check can never predict what the
// removal does not do.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class FileFolders;
}

namespace sweepstone {

struct RemovalSafety;

// The sections of an uninstall log that the wizard reads.
enum class LogSection {
    Path,
    File,
    ShortCut,
    Registry,
    SceneryCfg,
    RenameFile,
    RenameFileDex,
    SharedFolder,
    SharedFolderOption,
    SharedSceneryCfg,
    DllRun,
    DllRunShared,
    Run,
    General,
};
constexpr size_t kLogSectionCount = static_cast<size_t>(LogSection::General) + 1;

// A section's name as a log writes it ("Scenery.cfg", "Shared-Folder" ...).
const char* SectionName(LogSection section);

// Every section's name, in the order of LogSection.
const std::vector<std::string>& KnownLogSections();

// A [Registry] value read as a key below HKEY_LOCAL_MACHINE: `key` without the root,
// without leading, trailing or repeated "\\" (names keep their case), or `refusal`.
// The root may be written ("HKLM\\SOFTWARE\\X", "HKEY_LOCAL_MACHINE\\SOFTWARE\\X", as
// installers write it); a key of another root (HKCU, HKEY_CLASSES_ROOT ...) is refused.
struct MachineKey {
    std::string key;
    std::string refusal; // empty when accepted
};
MachineKey CanonicalMachineKey(const std::string& value);

// The key path of a [Registry] value (CanonicalMachineKey), or the value as written
// when it names a key of another root.
std::string RegistryKeyOf(const std::string& value);

// A [Registry] value as the report names it: "HKEY_LOCAL_MACHINE\\" and its key, or
// the value as written when it names a key of another root.
std::string RegistryItemOf(const std::string& value);

// The rules of the delete steps: the rule that refuses the value, or nullopt.
// `sceneryFolder` is the folder of the scenery library that a [Scenery.cfg] "Path"
// entry found (empty when none did): it and its Scenery.cfg are protected too. A
// folder and a file pass the same table (RemovalSafety::folders).
std::optional<std::string> KeyGuard(const std::string& value);
std::optional<std::string> FolderGuard(const std::string& value, const RemovalSafety& safety,
                                       const std::string& sceneryFolder);
// `files`, when given, is asked where a [File] value leads (FolderRules::Refusal).
std::optional<std::string> FileGuard(const std::string& value, const RemovalSafety& safety,
                                     const std::string& sceneryFolder,
                                     platform::FileFolders* files = nullptr);

// Whether what the value names is there to delete. A link counts as present even
// when its target is gone.
bool KeyPresent(const std::string& value);
bool FolderOrLinkPresent(const std::string& value);
bool FileOrLinkPresent(const std::string& value);

// How a delete step treats a section's values: the section, its guard and its test.
enum class ValueKind { Key, Folder, File };
struct DeleteSection {
    const char* section;
    ValueKind kind;
    bool shared; // passed over while another product uses the shared folders
};
// The delete steps in the removal's order: Registry, Path, Shared-Folder, File, ShortCut.
const std::vector<DeleteSection>& DeleteSections();

// The guard and the test of a value of that kind.
std::optional<std::string> GuardFor(ValueKind kind, const std::string& value,
                                    const RemovalSafety& safety, const std::string& sceneryFolder);
bool PresentFor(ValueKind kind, const std::string& value);

// The one spelling of a value that its guard accepted, which the exists test, the
// deletion and the report use: the key path below HKEY_LOCAL_MACHINE, or the
// canonical full path (platform::CanonicalFullPath) of a file or folder.
std::string TargetFor(ValueKind kind, const std::string& value);

// A [Rename_File] or [Rename_File_DEX] value names a switched-off scenery file (the
// value with `suffix`, ".off" or ".bgl.off_dex") that gets its ".bgl" name back. Both
// names pass the rules of a [File] value (FileGuard): the rule that refuses either
// is returned, or nullopt.
std::optional<std::string> RenameGuard(const std::string& value, const std::string& suffix,
                                       const RemovalSafety& safety,
                                       const std::string& sceneryFolder);

// The two names of a rename that RenameGuard accepted, in the one spelling of a [File]
// value (TargetFor), which the exists test, the rename and the report use.
struct RenameNames {
    std::string source; // the switched-off file
    std::string target; // its ".bgl" name
};
RenameNames RenameNamesFor(const std::string& value, const std::string& suffix);

// A [Run] value read as the file to open after the removal: `file`, its canonical
// full path, when it passes the rules of a [File] value (FileGuard: no file of the
// system's folders, nor the scenery library) and names an existing regular file
// (not a folder, not a link); otherwise `reason`, why it is not opened ("refused:
// " and the rule, or "not an existing file").
struct RunFileTarget {
    std::string file;
    std::string reason; // empty when `file` may be opened
};
RunFileTarget RunFileOf(const std::string& value, const RemovalSafety& safety,
                        const std::string& sceneryFolder);

// The folder part of a path up to its last separator or ":" (kept), or "".
std::string FolderPart(const std::string& path);

} // namespace sweepstone
