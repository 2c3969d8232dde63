#include "safety.h"

#include "platform/deletion.h"
#include "platform/folders.h"
#include "platform/path.h"
#include "platform/shell.h"
#include "platform/text.h"

#include <vector>

namespace sweepstone {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows drops trailing dots and blanks of a name: "Windows. " is "Windows".
std::string WithoutTrailingDotsAndBlanks(const std::string& name) {
    if (name == "." || name == "..")
        return name;
    const size_t end = name.find_last_not_of(". ");
    return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

std::vector<std::string> Components(const std::string& path, size_t from) {
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = from; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            current = WithoutTrailingDotsAndBlanks(current);
            if (current == "..") {
                if (!parts.empty())
                    parts.pop_back();
            } else if (!current.empty() && current != ".") {
                parts.push_back(current);
            }
            current.clear();
        } else {
            current += path[i];
        }
    }
    return parts;
}

bool IsUnc(const std::string& p) {
    return p.size() >= 2 && p[0] == '\\' && p[1] == '\\';
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           platform::SameNameNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// `inner` is `outer` itself or lies below it (both comparable).
bool AtOrBelow(const std::string& inner, const std::string& outer) {
    if (outer.empty())
        return false;
    if (inner == outer)
        return true;
    const std::string prefix = outer.back() == '\\' ? outer : outer + "\\";
    return inner.size() > prefix.size() && inner.compare(0, prefix.size(), prefix) == 0;
}

// The spellings of a path worth comparing: as written (made full) and as it
// resolves on disk. Empty when the path is of a refused form; `rule` then says why.
// `files`, when given, answers where the path leads for the files of one removal step,
// asking the disk once per folder.
std::vector<std::string> Spellings(const std::string& path, std::string& rule,
                                   platform::FileFolders* files = nullptr) {
    const std::optional<std::string> plain =
        WithoutAdministrativeForms(path, platform::WindowsFolder());
    if (!plain) {
        rule = "a device path or hidden share";
        return {};
    }
    std::vector<std::string> out = {ComparablePath(platform::FullPathName(*plain))};
    const std::string resolved = ComparablePath(files ? files->ResolvedPathName(*plain)
                                                      : platform::ResolvedPathName(*plain));
    if (resolved != out[0])
        out.push_back(resolved);
    return out;
}

// A log value as the rules compare it: the spellings of its one reading, or the
// rule that refuses its form. A value of blanks names nothing: neither, and the
// removal passes it over.
struct ValueSpellings {
    std::vector<std::string> spellings;
    std::optional<std::string> refusal;
};

ValueSpellings SpellingsOfValue(const std::string& path, platform::FileFolders* files = nullptr) {
    if (path.find_first_not_of(" \t") == std::string::npos)
        return {};
    // One reading of the value, or none: a spelling that the system may read in two
    // ways (an NT path, a device name, a stream) is never compared at all.
    const platform::CanonicalPath canonical = platform::CanonicalFullPath(path);
    if (!canonical.Accepted())
        return {{}, canonical.refusal};
    std::string rule;
    std::vector<std::string> spellings = Spellings(canonical.path, rule, files);
    if (spellings.empty())
        return {{}, rule};
    return {std::move(spellings), std::nullopt};
}

bool HoldsOrIs(const std::vector<std::string>& spellings, const std::string& folder) {
    std::string unused;
    std::vector<std::string> targets = Spellings(folder, unused);
    for (const std::string& target : targets) {
        for (const std::string& s : spellings) {
            if (!target.empty() && AtOrBelow(target, s))
                return true;
        }
    }
    return false;
}

std::vector<std::string> KeyComponents(const std::string& keyPath) {
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = 0; i <= keyPath.size(); ++i) {
        if (i == keyPath.size() || keyPath[i] == '\\') {
            if (!current.empty())
                parts.push_back(platform::UpperCaseName(current));
            current.clear();
        } else {
            current += keyPath[i];
        }
    }
    return parts;
}

// `a` begins with all of `b`.
bool BeginsWith(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    if (a.size() < b.size())
        return false;
    for (size_t i = 0; i < b.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

std::optional<std::string> KeyTableRefusal(const std::vector<std::string>& key) {
    const std::vector<ProtectedKey>& rows = ProtectedKeys();
    // A product's own entry: strictly below a key made for products' entries.
    bool productEntry = false;
    for (const ProtectedKey& row : rows) {
        const std::vector<std::string> p = KeyComponents(row.path);
        if (row.reach == KeyReach::ProductEntries && key.size() > p.size() && BeginsWith(key, p))
            productEntry = true;
    }
    for (const ProtectedKey& row : rows) {
        const std::vector<std::string> p = KeyComponents(row.path);
        // The key itself, or one that holds it: deleting it takes the protected key.
        if (BeginsWith(p, key))
            return "protected key " + row.path;
        const bool below = BeginsWith(key, p);
        if (below && (row.reach == KeyReach::Everything ||
                      (row.reach == KeyReach::EverythingButProductEntries && !productEntry)))
            return "below protected key " + row.path;
    }
    return std::nullopt;
}

// The same key without the 32-bit view's node: SOFTWARE\WOW6432Node\X is SOFTWARE\X,
// SOFTWARE\Classes\Wow6432Node\X is SOFTWARE\Classes\X.
std::vector<std::string> WithoutWow64Nodes(std::vector<std::string> key) {
    const std::string software = platform::UpperCaseName("SOFTWARE");
    const std::string wow = platform::UpperCaseName("WOW6432Node");
    const std::string classes = platform::UpperCaseName("Classes");
    if (key.size() >= 2 && key[0] == software && key[1] == wow)
        key.erase(key.begin() + 1);
    if (key.size() >= 3 && key[0] == software && key[1] == classes && key[2] == wow)
        key.erase(key.begin() + 2);
    return key;
}

} // namespace

std::string ComparablePath(const std::string& fullPath) {
    std::string p = platform::UpperCaseName(fullPath);
    for (char& c : p) {
        if (c == '/')
            c = '\\';
    }
    // Device prefixes name the same folders: \\?\C:\X is C:\X, \\?\UNC\S\X is \\S\X.
    if (p.rfind("\\\\?\\UNC\\", 0) == 0 || p.rfind("\\\\.\\UNC\\", 0) == 0)
        p = "\\\\" + p.substr(8);
    else if (p.rfind("\\\\?\\", 0) == 0 || p.rfind("\\\\.\\", 0) == 0)
        p = p.substr(4);

    std::string head; // "\\" for a share path, "C:" for a drive, "\" for a rooted path
    size_t from = 0;
    if (IsUnc(p)) {
        head = "\\\\";
        from = 2;
    } else if (p.size() >= 2 && p[1] == ':') {
        head = p.substr(0, 2);
        from = 2;
    } else if (!p.empty() && p[0] == '\\') {
        head = "\\";
    }
    std::string joined;
    for (const std::string& part : Components(p, from)) {
        if (!joined.empty())
            joined += '\\';
        joined += part;
    }
    if (head.size() == 2 && head[1] == ':')
        return head + "\\" + joined;
    return head + joined;
}

std::optional<std::string> WithoutAdministrativeForms(const std::string& path,
                                                      const std::string& windowsFolder) {
    std::string p = path;
    for (char& c : p) {
        if (c == '/')
            c = '\\';
    }
    // \\?\ and \\.\ name a drive folder ("\\?\C:\x") or a share ("\\?\UNC\host\x");
    // anything else behind them is a device or a volume, never a product's folder.
    if (p.rfind("\\\\?\\", 0) == 0 || p.rfind("\\\\.\\", 0) == 0) {
        const std::string rest = p.substr(4);
        if (StartsWithNoCase(rest, "UNC\\"))
            p = "\\\\" + rest.substr(4);
        else if (rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == ':')
            p = rest;
        else
            return std::nullopt;
    }
    if (!IsUnc(p))
        return p;
    // \\host\share\rest
    const size_t hostEnd = p.find('\\', 2);
    if (hostEnd == std::string::npos)
        return p;
    size_t shareEnd = p.find('\\', hostEnd + 1);
    if (shareEnd == std::string::npos)
        shareEnd = p.size();
    const std::string share = p.substr(hostEnd + 1, shareEnd - hostEnd - 1);
    if (share.empty() || share.back() != '$')
        return p;
    const std::string rest = p.substr(shareEnd);
    if (share.size() == 2 && IsDriveLetter(share[0]))
        return share.substr(0, 1) + ":" + (rest.empty() ? "\\" : rest);
    if (platform::SameNameNoCase(share, "ADMIN$")) {
        std::string folder = windowsFolder;
        while (!folder.empty() && IsSeparator(folder.back()))
            folder.pop_back();
        return folder + (rest.empty() ? "\\" : rest);
    }
    return std::nullopt;
}

std::optional<std::string> FolderRefusal(const std::string& path,
                                         const std::vector<std::string>& protectedFolders,
                                         const std::vector<std::string>& simulatorFolders) {
    const auto [spellings, refusal] = SpellingsOfValue(path);
    if (spellings.empty())
        return refusal;
    for (const std::string& full : spellings) {
        // A drive root, the root of the current drive, or the POSIX root.
        if (full.empty() || full == "\\" || (full.size() == 3 && full[1] == ':'))
            return "a drive root";
        // A server or share root: \\server or \\server\share.
        if (IsUnc(full) && Components(full, 2).size() <= 2)
            return "a server or share root";
    }
    for (const std::string& folder : protectedFolders) {
        if (HoldsOrIs(spellings, folder))
            return "a system folder";
    }
    for (const std::string& folder : simulatorFolders) {
        if (HoldsOrIs(spellings, folder))
            return "a simulator folder";
    }
    return std::nullopt;
}

std::optional<std::string> FileRefusal(const std::string& path,
                                       const std::vector<std::string>& systemFileFolders,
                                       platform::FileFolders* files) {
    const auto [spellings, refusal] = SpellingsOfValue(path, files);
    if (spellings.empty())
        return refusal;
    for (const std::string& folder : systemFileFolders) {
        std::string unused;
        for (const std::string& target : Spellings(folder, unused, files)) {
            for (const std::string& s : spellings) {
                if (AtOrBelow(s, target))
                    return "a system file";
            }
        }
    }
    return std::nullopt;
}

namespace {

// Below SOFTWARE\Classes (and its 32-bit twins, which the rule maps onto it).
// The system's class roots: a product's own class below them (its {GUID} below
// CLSID, Interface, TypeLib or AppID, its Applications\NAME.exe) stays removable.
const char* const kClassRoots[] = {"CLSID",
                                   "Interface",
                                   "TypeLib",
                                   "AppID",
                                   "Applications",
                                   "SystemFileAssociations",
                                   "Component Categories",
                                   "DirectShow",
                                   "Media Type",
                                   "MediaFoundation",
                                   "MIME",
                                   "MIME\\Database",
                                   "MIME\\Database\\Content Type",
                                   "PROTOCOLS",
                                   "PROTOCOLS\\Handler",
                                   "PROTOCOLS\\Filter"};
// The classes that every file, folder or drive has, and the keys below them where
// products add their own verb (shell\NAME) or shell extension (shellex\KIND\NAME).
const char* const kShellClasses[] = {
    "*",      "AllFilesystemObjects", "Directory", "Directory\\Background", "Drive",
    "Folder", "DesktopBackground",    "Unknown"};
const char* const kShellExtensionPlaces[] = {"",
                                             "\\shell",
                                             "\\shellex",
                                             "\\shellex\\ContextMenuHandlers",
                                             "\\shellex\\PropertySheetHandlers",
                                             "\\shellex\\DragDropHandlers",
                                             "\\shellex\\CopyHookHandlers"};
// The types and extensions of what runs or loads programs, Windows Installer's
// records and the shell's own settings: nothing below them is a product's own, and
// a missing verb below exefile stops every program from starting.
const char* const kSystemClasses[] = {
    "exefile", "batfile", "cmdfile", "comfile", "lnkfile", "piffile",     "scrfile",
    "regfile", "dllfile", "VBSFile", "JSFile",  "WSFFile", "Msi.Package", ".exe",
    ".bat",    ".cmd",    ".com",    ".lnk",    ".pif",    ".scr",        ".reg",
    ".dll",    ".vbs",    ".js",     ".wsf",    ".msi",    "Installer",   "Local Settings"};

std::vector<ProtectedKey> MakeProtectedKeys() {
    std::vector<ProtectedKey> keys = {
        {"SOFTWARE", KeyReach::ItselfAndAbove},
        {"SOFTWARE\\Classes", KeyReach::ItselfAndAbove},
        {"SOFTWARE\\Clients", KeyReach::ItselfAndAbove},
        // Windows' and the other software of its maker: only the places made for
        // products' entries hold anything a product may remove.
        {"SOFTWARE\\Microsoft", KeyReach::EverythingButProductEntries},
        {"SOFTWARE\\Policies", KeyReach::ItselfAndAbove},
        {"SOFTWARE\\Policies\\Microsoft", KeyReach::Everything},
        {"SOFTWARE\\RegisteredApplications", KeyReach::ItselfAndAbove},
        {"SOFTWARE\\WOW6432Node", KeyReach::ItselfAndAbove},
        // The places made for products' entries: a product's own entry below them
        // (Uninstall\NAME, App Paths\NAME.exe) goes with its tree.
        {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", KeyReach::ProductEntries},
        {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", KeyReach::ProductEntries},
        {"SOFTWARE\\DovetailGames\\FSX", KeyReach::ItselfAndAbove},
        {"SYSTEM", KeyReach::Everything},
        {"SAM", KeyReach::Everything},
        {"SECURITY", KeyReach::Everything},
        {"HARDWARE", KeyReach::Everything},
        {"BCD00000000", KeyReach::Everything},
        {"DRIVERS", KeyReach::Everything},
        {"COMPONENTS", KeyReach::Everything},
        {"ELAM", KeyReach::Everything},
        {"SCHEMA", KeyReach::Everything},
    };
    const std::string classes = "SOFTWARE\\Classes\\";
    for (const char* root : kClassRoots)
        keys.push_back({classes + root, KeyReach::ItselfAndAbove});
    for (const char* shellClass : kShellClasses) {
        for (const char* place : kShellExtensionPlaces)
            keys.push_back({classes + shellClass + place, KeyReach::ItselfAndAbove});
    }
    for (const char* system : kSystemClasses)
        keys.push_back({classes + system, KeyReach::Everything});
    return keys;
}

} // namespace

const std::vector<ProtectedKey>& ProtectedKeys() {
    static const std::vector<ProtectedKey> keys = MakeProtectedKeys();
    return keys;
}

std::optional<std::string> RegistryKeyRefusal(const std::string& keyPath) {
    std::vector<std::string> key;
    for (const std::string& part : KeyComponents(keyPath)) {
        if (part.find_first_not_of(' ') != std::string::npos)
            key.push_back(part);
    }
    if (key.size() < 2)
        return "a hive or top-level key";
    if (auto rule = KeyTableRefusal(key))
        return rule;
    // A 32-bit program's view names the same keys.
    const std::vector<std::string> twin = WithoutWow64Nodes(key);
    if (twin != key)
        return KeyTableRefusal(twin);
    return std::nullopt;
}

const std::vector<std::string>& SimulatorKeys() {
    static const std::vector<std::string> keys = {
        "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0",
        "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator - Steam Edition\\10.0",
    };
    return keys;
}

std::vector<std::string> SimulatorFolders(const std::vector<std::string>& roots) {
    static const char* const kStandard[] = {"Addon Scenery",
                                            "Addon Scenery\\Scenery",
                                            "Addon Scenery\\Texture",
                                            "Autogen",
                                            "Effects",
                                            "Effects\\Texture",
                                            "Flights",
                                            "Fonts",
                                            "Gauges",
                                            "Keyboards",
                                            "Missions",
                                            "Modules",
                                            "Scenery",
                                            "Scenery\\Global",
                                            "Scenery\\World",
                                            "Scenery\\World\\Scenery",
                                            "Scenery\\World\\Texture",
                                            "ShadersHLSL",
                                            "SimObjects",
                                            "SimObjects\\Airplanes",
                                            "SimObjects\\Animals",
                                            "SimObjects\\Boats",
                                            "SimObjects\\GroundVehicles",
                                            "SimObjects\\Misc",
                                            "SimObjects\\Rotorcraft",
                                            "Sound",
                                            "Texture",
                                            "UIResources",
                                            "Weather",
                                            "Weather\\Themes",
                                            "SDK"};
    std::vector<std::string> folders;
    for (std::string root : roots) {
        if (root.find_first_not_of(" \t") == std::string::npos)
            continue;
        while (!root.empty() && IsSeparator(root.back()))
            root.pop_back();
        if (root.empty())
            continue;
        folders.push_back(root);
        for (const char* sub : kStandard)
            folders.push_back(root + "\\" + sub);
    }
    return folders;
}

} // namespace sweepstone
