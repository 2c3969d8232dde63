// Values of an uninstall log that must never be acted on, whatever the log says:
// one careless or hostile line must not wipe a disk, a system folder, the
// simulator or a registry key of the system or of other software.
//
// Every rule compares what a value names, not how it is spelled: names compare
// without regard to case (beyond ASCII, as Windows compares them), folders by the
// path they resolve to (short names expanded, links and junctions followed,
// administrative shares and device prefixes mapped to the drive they stand for).
#pragma once

#include "platform/folders.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class FileFolders;
}

namespace sweepstone {

// How far a protected folder or registry key reaches.
enum class Reach {
    ItselfAndAbove, // it and everything that holds it; what lies below stays removable
    Everything,     // it, everything above it and everything below it
    // It, everything above it and everything below it, except what lies strictly
    // below an entry of reach ProductEntries.
    EverythingButProductEntries,
    // It and everything above it; each entry below it is one product's own (a key
    // with its tree, a shortcut folder), removable.
    ProductEntries,
};

// A folder (or a file) that no value of the log may delete, nor what holds it, nor
// what lies below it as far as its reach says.
struct ProtectedFolder {
    std::string path; // a full path
    Reach reach;
    std::string name; // as a refusal names it: "the Windows folder"
};

// What the table of protected folders is made from: the folders the system names,
// the accounts of the machine and the simulator's folders (the SetupPath of
// SimulatorKeys()). Given, not looked up, so that tests can give their own.
struct FolderSources {
    std::vector<platform::NamedFolder> system;
    platform::MachineProfiles accounts;
    std::vector<std::string> simulatorRoots;
};

// The one table of protected folders, each row with its reach:
// - nothing at or below: the Windows and system folders; ProgramData\Microsoft, but
//   a product's own shortcut folder below the common Start Menu\Programs or Desktop;
//   each drive's $Recycle.Bin and System Volume Information; the Default profile; the
//   simulator's settings and machine data (AppData\Roaming\Microsoft\FSX and FSX-SE
//   of every account, ProgramData\Microsoft\FSX and FSX-SE);
// - the folder itself and what holds it, while a product's own folder or file below
//   stays removable: Program Files, Common Files, ProgramData, the common Start Menu
//   and the system's shortcut folders in its Programs, Users, Public and its known
//   folders, every account's profile (the running account's and each of `accounts`)
//   with its known folders (Desktop, Documents, Downloads, Music, Pictures, Videos,
//   Saved Games, Favorites, Links, Contacts, Searches, OneDrive, the AppData folders,
//   Start Menu\Programs, Templates), Documents\Flight Simulator X Files, the
//   temporary folder, and the simulator's folders (SimulatorFolders).
std::vector<ProtectedFolder> ProtectedFolders(const FolderSources& sources);

// The simulator's folders that no value may delete: for each root, the root itself
// and its standard subfolders. A product's own folder below them stays removable.
std::vector<ProtectedFolder> SimulatorFolders(const std::vector<std::string>& roots);

// The rules of a table of protected folders over every value that names a folder or
// a file ([Path], [Shared-Folder], [ShortCut], [File] and both names of a rename).
// Each row is read once, when it is added (its spellings as written and as it
// resolves on disk); a value then costs its own reading and comparisons of text.
class FolderRules {
public:
    void Add(const ProtectedFolder& row);
    void Add(const std::vector<ProtectedFolder>& rows);

    // The rule that forbids deleting what `value` names, as the report names it;
    // nullopt when it may go. Refused: a value that platform::CanonicalFullPath
    // refuses (its rule is returned: relative and drive-relative paths, NT paths,
    // device names, streams ...), and of the rest a drive root, a server or share
    // root, a device path that names no drive folder (\\?\GLOBALROOT\...,
    // \\.\PhysicalDrive0), an administrative share other than a drive's ("C$") or the
    // Windows folder's ("ADMIN$"); then a row of these rules or of `more`: the row
    // itself (by its name, "the Windows folder"), what lies below a row whose reach
    // takes it ("below the Windows folder", the deepest such row), and what holds a
    // row ("holds a user's profile"). A value of blanks only names nothing and is not
    // refused here; the removal passes it over. `files`, when given, is asked where
    // the value leads (the removal's [File] step: once per folder, not once per file);
    // the answer is the same.
    std::optional<std::string> Refusal(const std::string& value, const FolderRules* more = nullptr,
                                       platform::FileFolders* files = nullptr) const;

private:
    struct Row {
        Reach reach;
        std::string name;
    };
    // Each row's spellings (ComparablePath forms) in sorted order, so that what lies
    // at, above or below a value is found by its own depth, not by the table's size.
    struct Spelling {
        std::string text;
        size_t row;
    };
    // Calls `met` with each row spelled `text` (or, with `below`, spelled below it)
    // and its rank, `rankBase` and the order in which it was added.
    void Lookup(std::string_view text, bool below, size_t rankBase,
                const std::function<void(const Row&, size_t rank)>& met) const;
    std::vector<Row> rows_;
    std::vector<Spelling> spellings_;
};

struct ProtectedKey {
    std::string path; // below HKEY_LOCAL_MACHINE
    Reach reach;
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
