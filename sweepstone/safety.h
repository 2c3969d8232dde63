// Values of an uninstall log that must never be acted on, whatever the log says:
// one careless or hostile line must not wipe a disk, a system folder, the
// simulator or a registry key of the system or of other software.
//
// Every rule compares what a value names, not how it is spelled: names compare
// without regard to case (beyond ASCII, as Windows compares them), folders by the
// path they resolve to (short names expanded, links and junctions followed,
// administrative shares and device prefixes mapped to the drive they stand for).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {
class FileFolders;
}

namespace sweepstone {

// The rule that forbids deleting a folder, as the report names it; nullopt when the
// folder may go. Refused: a value that platform::CanonicalFullPath refuses (its rule
// is returned: relative and drive-relative paths, NT paths, device names, streams
// ...), and of the rest a drive root, a server or share root, a
// device path that names no drive folder (\\?\GLOBALROOT\..., \\.\PhysicalDrive0),
// an administrative share other than a drive's ("C$") or the Windows folder's
// ("ADMIN$"), and any of `protectedFolders` or `simulatorFolders` or a folder that
// holds one. A value of blanks only names nothing and is not refused here; the
// removal passes it over.
std::optional<std::string> FolderRefusal(const std::string& path,
                                         const std::vector<std::string>& protectedFolders,
                                         const std::vector<std::string>& simulatorFolders = {});

// The rule that forbids deleting a file: a value that platform::CanonicalFullPath
// refuses, a share that names no drive folder, or a file at or below one of
// `systemFileFolders`. nullopt otherwise. `files`, when given, is asked where the
// path leads (the removal's [File] step: once per folder, not once per file); the
// answer is the same.
std::optional<std::string> FileRefusal(const std::string& path,
                                       const std::vector<std::string>& systemFileFolders,
                                       platform::FileFolders* files = nullptr);

// How far a protected registry key reaches.
enum class KeyReach {
    ItselfAndAbove, // the key and every key that holds it; its subkeys stay removable
    Everything,     // the key, every key above it and every key below it
    // The key, every key above it and every key below it, except what lies strictly
    // below a key of reach ProductEntries.
    EverythingButProductEntries,
    // The key and every key above it; each key below it is one product's own entry,
    // removable with its tree.
    ProductEntries,
};

struct ProtectedKey {
    std::string path; // below HKEY_LOCAL_MACHINE
    KeyReach reach;
};

// The registry keys of the system, of other software and of the simulator that no
// [Registry] value may delete (one table; the 32-bit view's twins below
// SOFTWARE\WOW6432Node and SOFTWARE\Classes\Wow6432Node are covered by the rule, not
// listed).
const std::vector<ProtectedKey>& ProtectedKeys();

// The rule that forbids deleting a key tree below HKEY_LOCAL_MACHINE (`keyPath`
// without the root and without a leading "\"), or nullopt. Refused: fewer than two
// non-blank components, a key of ProtectedKeys() as its reach says, and the same
// keys below SOFTWARE\WOW6432Node and SOFTWARE\Classes\Wow6432Node. Names compare without regard to
// case; empty components are ignored as the registry ignores them.
std::optional<std::string> RegistryKeyRefusal(const std::string& keyPath);

// The simulator's registry keys whose SetupPath names its folder (FSX and its Steam
// edition).
const std::vector<std::string>& SimulatorKeys();

// The simulator's folders that no value may delete: for each root, the root itself
// and its standard subfolders. A product's own folder below them stays removable.
std::vector<std::string> SimulatorFolders(const std::vector<std::string>& roots);

// The comparable form of a full path: letters folded (platform::UpperCaseName),
// backslashes, no repeated or trailing separators, "." and ".." resolved, trailing
// dots and blanks of each name dropped (Windows drops them), \\?\ and \\.\ drive
// forms and \\?\UNC\ reduced to the plain forms. Exposed for tests.
std::string ComparablePath(const std::string& fullPath);

// Maps an administrative share of a drive (\\host\C$\x) to the drive (C:\x) and
// \\host\ADMIN$\x to `windowsFolder`\x; other paths come back unchanged. nullopt
// for a share of another hidden kind (IPC$, PRINT$ ...) and for a device path that
// names no drive folder. Exposed for tests.
std::optional<std::string> WithoutAdministrativeForms(const std::string& path,
                                                      const std::string& windowsFolder);

} // namespace sweepstone
