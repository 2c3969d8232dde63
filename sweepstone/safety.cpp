#include "safety.h"

#include "platform/deletion.h"
#include "platform/folders.h"
#include "platform/path.h"
#include "platform/shell.h"
#include "platform/text.h"

#include <algorithm>
#include <string_view>
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

ValueSpellings SpellingsOfValue(const std::string& path, platform::FileFolders* files) {
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
        if (row.reach == Reach::ProductEntries && key.size() > p.size() && BeginsWith(key, p))
            productEntry = true;
    }
    for (const ProtectedKey& row : rows) {
        const std::vector<std::string> p = KeyComponents(row.path);
        // The key itself, or one that holds it: deleting it takes the protected key.
        if (BeginsWith(p, key))
            return "protected key " + row.path;
        const bool below = BeginsWith(key, p);
        if (below && (row.reach == Reach::Everything ||
                      (row.reach == Reach::EverythingButProductEntries && !productEntry)))
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

void FolderRules::Add(const ProtectedFolder& row) {
    if (row.path.find_first_not_of(" \t") == std::string::npos)
        return;
    std::string unused;
    const std::vector<std::string> spellings = Spellings(row.path, unused);
    if (spellings.empty())
        return;
    rows_.push_back({row.reach, row.name});
    for (const std::string& text : spellings) {
        const auto at =
            std::upper_bound(spellings_.begin(), spellings_.end(), text,
                             [](const std::string& t, const Spelling& s) { return t < s.text; });
        spellings_.insert(at, {text, rows_.size() - 1});
    }
}

void FolderRules::Add(const std::vector<ProtectedFolder>& rows) {
    for (const ProtectedFolder& row : rows)
        Add(row);
}

// The spellings are sorted, so the rows spelled `text` and those spelled below it are
// one range each: a lookup costs the depth of the value, not the size of the table.
void FolderRules::Lookup(std::string_view text, bool below, size_t rankBase,
                         const std::function<void(const Row&, size_t rank)>& met) const {
    const auto from =
        std::lower_bound(spellings_.begin(), spellings_.end(), text,
                         [](const Spelling& s, std::string_view t) { return s.text < t; });
    for (auto it = from; it != spellings_.end(); ++it) {
        const std::string_view s = it->text;
        if (below ? !(s.size() > text.size() && s.compare(0, text.size(), text) == 0) : s != text)
            break;
        // Below a folder a separator follows its name; a root ends in its own.
        if (!below || text.back() == '\\' || s[text.size()] == '\\')
            met(rows_[it->row], rankBase + it->row);
    }
}

namespace {

// A row that a value meets, and its rank: the rules' own rows first, in the order
// they were added, then those of `more`.
struct Met {
    const std::string* name = nullptr;
    Reach reach = Reach::ItselfAndAbove;
    size_t rank = 0;
};

} // namespace

std::optional<std::string> FolderRules::Refusal(const std::string& value, const FolderRules* more,
                                                platform::FileFolders* files) const {
    const auto [spellings, refusal] = SpellingsOfValue(value, files);
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
    const auto lookup = [&](std::string_view text, bool below,
                            const std::function<void(const Met&)>& met) {
        const auto meet = [&met](const Row& row, size_t rank) {
            met(Met{&row.name, row.reach, rank});
        };
        Lookup(text, below, 0, meet);
        if (more)
            more->Lookup(text, below, rows_.size(), meet);
    };
    // The row itself: the first one added names it.
    Met itself;
    for (const std::string& s : spellings) {
        lookup(s, false, [&](const Met& m) {
            if (!itself.name || m.rank < itself.rank)
                itself = m;
        });
    }
    if (itself.name)
        return *itself.name;
    // Below a row that takes what lies below it: the deepest such row names the rule.
    // Each spelling is judged on its own, so that a product's shortcut folder that
    // leads elsewhere is judged where it leads.
    std::optional<std::string> below;
    for (const std::string& s : spellings) {
        std::vector<Met> above; // from the root down
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] != '\\')
                continue;
            // The folders above: "C:\", "C:\A" for "C:\A\B".
            const bool root = i == 0 || (i == 2 && s[1] == ':');
            lookup(std::string_view(s).substr(0, root ? i + 1 : i), false,
                   [&above](const Met& m) { above.push_back(m); });
        }
        const bool productEntry = std::any_of(above.begin(), above.end(), [](const Met& m) {
            return m.reach == Reach::ProductEntries;
        });
        Met deepest;
        for (const Met& m : above) {
            if (m.reach == Reach::Everything ||
                (m.reach == Reach::EverythingButProductEntries && !productEntry))
                deepest = m;
        }
        if (deepest.name && !below)
            below = "below " + *deepest.name;
    }
    if (below)
        return below;
    // Above a row: deleting it takes the row; the first row added names the rule.
    Met held;
    for (const std::string& s : spellings) {
        lookup(s, true, [&](const Met& m) {
            if (!held.name || m.rank < held.rank)
                held = m;
        });
    }
    if (held.name)
        return "holds " + *held.name;
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
        {"SOFTWARE", Reach::ItselfAndAbove},
        {"SOFTWARE\\Classes", Reach::ItselfAndAbove},
        {"SOFTWARE\\Clients", Reach::ItselfAndAbove},
        // Windows' and the other software of its maker: only the places made for
        // products' entries hold anything a product may remove.
        {"SOFTWARE\\Microsoft", Reach::EverythingButProductEntries},
        {"SOFTWARE\\Policies", Reach::ItselfAndAbove},
        {"SOFTWARE\\Policies\\Microsoft", Reach::Everything},
        {"SOFTWARE\\RegisteredApplications", Reach::ItselfAndAbove},
        {"SOFTWARE\\WOW6432Node", Reach::ItselfAndAbove},
        // The places made for products' entries: a product's own entry below them
        // (Uninstall\NAME, App Paths\NAME.exe) goes with its tree.
        {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", Reach::ProductEntries},
        {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", Reach::ProductEntries},
        {"SOFTWARE\\DovetailGames\\FSX", Reach::ItselfAndAbove},
        {"SYSTEM", Reach::Everything},
        {"SAM", Reach::Everything},
        {"SECURITY", Reach::Everything},
        {"HARDWARE", Reach::Everything},
        {"BCD00000000", Reach::Everything},
        {"DRIVERS", Reach::Everything},
        {"COMPONENTS", Reach::Everything},
        {"ELAM", Reach::Everything},
        {"SCHEMA", Reach::Everything},
    };
    const std::string classes = "SOFTWARE\\Classes\\";
    for (const char* root : kClassRoots)
        keys.push_back({classes + root, Reach::ItselfAndAbove});
    for (const char* shellClass : kShellClasses) {
        for (const char* place : kShellExtensionPlaces)
            keys.push_back({classes + shellClass + place, Reach::ItselfAndAbove});
    }
    for (const char* system : kSystemClasses)
        keys.push_back({classes + system, Reach::Everything});
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

std::vector<ProtectedFolder> SimulatorFolders(const std::vector<std::string>& roots) {
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
    std::vector<ProtectedFolder> folders;
    for (std::string root : roots) {
        if (root.find_first_not_of(" \t") == std::string::npos)
            continue;
        while (!root.empty() && IsSeparator(root.back()))
            root.pop_back();
        if (root.empty())
            continue;
        folders.push_back({root, Reach::ItselfAndAbove, "the simulator's folder"});
        for (const char* sub : kStandard)
            folders.push_back(
                {root + "\\" + sub, Reach::ItselfAndAbove, "a standard folder of the simulator"});
    }
    return folders;
}

namespace {

using platform::KnownFolder;

// A row for each folder of a kind the system names, or for a folder below it.
struct SystemRule {
    KnownFolder kind;
    const char* below; // "" for the folder itself
    Reach reach;
    const char* name;
};

const SystemRule kSystemRules[] = {
    {KnownFolder::Windows, "", Reach::Everything, "the Windows folder"},
    {KnownFolder::System, "", Reach::Everything, "a system folder"},
    {KnownFolder::ProgramFiles, "", Reach::ItselfAndAbove, "a Program Files folder"},
    {KnownFolder::CommonFiles, "", Reach::ItselfAndAbove, "a Common Files folder"},
    {KnownFolder::ProgramData, "", Reach::ItselfAndAbove, "the ProgramData folder"},
    {KnownFolder::ProgramData, "Microsoft", Reach::EverythingButProductEntries,
     "the ProgramData\\Microsoft folder"},
    {KnownFolder::ProgramData, "Microsoft\\FSX", Reach::Everything, "the simulator's machine data"},
    {KnownFolder::ProgramData, "Microsoft\\FSX-SE", Reach::Everything,
     "the simulator's machine data"},
    {KnownFolder::CommonStartMenu, "", Reach::ItselfAndAbove, "the common Start Menu"},
    {KnownFolder::CommonPrograms, "", Reach::ProductEntries, "the common Start Menu\\Programs"},
    {KnownFolder::CommonDesktop, "", Reach::ProductEntries, "the common Desktop"},
    {KnownFolder::PublicFolder, "", Reach::ItselfAndAbove, "a folder of the Public profile"},
    {KnownFolder::Users, "", Reach::ItselfAndAbove, "the Users folder"},
    {KnownFolder::Documents, "", Reach::ItselfAndAbove, "a user's Documents"},
    {KnownFolder::Documents, "Flight Simulator X Files", Reach::ItselfAndAbove,
     "the simulator's saved flights"},
    {KnownFolder::RoamingAppData, "", Reach::ItselfAndAbove, "a user's AppData\\Roaming"},
    {KnownFolder::RoamingAppData, "Microsoft\\FSX", Reach::Everything, "the simulator's settings"},
    {KnownFolder::RoamingAppData, "Microsoft\\FSX-SE", Reach::Everything,
     "the simulator's settings"},
    {KnownFolder::UserFolder, "", Reach::ItselfAndAbove, "a user's known folder"},
    {KnownFolder::Temp, "", Reach::ItselfAndAbove, "the temporary folder"},
    {KnownFolder::DriveRoot, "$Recycle.Bin", Reach::Everything, "the recycle bin"},
    {KnownFolder::DriveRoot, "System Volume Information", Reach::Everything,
     "the system's volume information"},
};

// The system's own shortcut folders in the common Start Menu\Programs: a product's
// shortcut in one of them stays removable, the folder never.
const char* const kSystemShortcutFolders[] = {"Startup",
                                              "Accessories",
                                              "Administrative Tools",
                                              "Maintenance",
                                              "System Tools",
                                              "Windows PowerShell",
                                              "Windows Accessories",
                                              "Windows Administrative Tools",
                                              "Windows Ease of Access",
                                              "Windows System"};

// The rows below each account's profile, whether the system names it (Profile) or
// the machine's list of accounts does; the known folders where Windows makes them.
struct ProfileRule {
    const char* below;
    Reach reach;
    const char* name;
};

const ProfileRule kProfileRules[] = {
    {"", Reach::ItselfAndAbove, "a user's profile"},
    // The simulator's settings first: a folder that holds them names them.
    {"AppData\\Roaming\\Microsoft\\FSX", Reach::Everything, "the simulator's settings"},
    {"AppData\\Roaming\\Microsoft\\FSX-SE", Reach::Everything, "the simulator's settings"},
    {"Desktop", Reach::ItselfAndAbove, "a user's Desktop"},
    {"Documents", Reach::ItselfAndAbove, "a user's Documents"},
    {"Downloads", Reach::ItselfAndAbove, "a user's Downloads"},
    {"Music", Reach::ItselfAndAbove, "a user's Music"},
    {"Pictures", Reach::ItselfAndAbove, "a user's Pictures"},
    {"Videos", Reach::ItselfAndAbove, "a user's Videos"},
    {"Saved Games", Reach::ItselfAndAbove, "a user's Saved Games"},
    {"Favorites", Reach::ItselfAndAbove, "a user's Favorites"},
    {"Links", Reach::ItselfAndAbove, "a user's Links"},
    {"Contacts", Reach::ItselfAndAbove, "a user's Contacts"},
    {"Searches", Reach::ItselfAndAbove, "a user's Searches"},
    {"OneDrive", Reach::ItselfAndAbove, "a user's OneDrive"},
    {"AppData", Reach::ItselfAndAbove, "a user's AppData"},
    {"AppData\\Roaming", Reach::ItselfAndAbove, "a user's AppData\\Roaming"},
    {"AppData\\Local", Reach::ItselfAndAbove, "a user's AppData\\Local"},
    {"AppData\\LocalLow", Reach::ItselfAndAbove, "a user's AppData\\LocalLow"},
    {"AppData\\Local\\Temp", Reach::ItselfAndAbove, "a user's temporary folder"},
    {"AppData\\Roaming\\Microsoft\\Windows\\Start Menu", Reach::ItselfAndAbove,
     "a user's Start Menu"},
    {"AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs", Reach::ItselfAndAbove,
     "a user's Start Menu\\Programs"},
    {"AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup", Reach::ItselfAndAbove,
     "a user's Startup folder"},
    {"AppData\\Roaming\\Microsoft\\Windows\\Templates", Reach::ItselfAndAbove,
     "a user's Templates"},
    {"Documents\\Flight Simulator X Files", Reach::ItselfAndAbove, "the simulator's saved flights"},
};

std::string Below(const std::string& folder, const char* below) {
    return *below ? platform::JoinPath(folder, below) : folder;
}

} // namespace

std::vector<ProtectedFolder> ProtectedFolders(const FolderSources& sources) {
    std::vector<ProtectedFolder> table;
    for (const SystemRule& rule : kSystemRules) {
        for (const platform::NamedFolder& folder : sources.system) {
            if (folder.kind == rule.kind)
                table.push_back({Below(folder.path, rule.below), rule.reach, rule.name});
        }
    }
    std::vector<std::string> profiles = sources.accounts.profiles;
    for (const platform::NamedFolder& folder : sources.system) {
        if (folder.kind == KnownFolder::Profile)
            profiles.push_back(folder.path);
        if (folder.kind == KnownFolder::CommonPrograms) {
            for (const char* shortcuts : kSystemShortcutFolders)
                table.push_back({Below(folder.path, shortcuts), Reach::ItselfAndAbove,
                                 "a shortcut folder of the system"});
        }
    }
    for (const std::string& profile : profiles) {
        for (const ProfileRule& rule : kProfileRules)
            table.push_back({Below(profile, rule.below), rule.reach, rule.name});
    }
    if (!sources.accounts.defaultProfile.empty())
        table.push_back({sources.accounts.defaultProfile, Reach::Everything,
                         "the Default profile, which new accounts are made from"});
    for (ProtectedFolder& folder : SimulatorFolders(sources.simulatorRoots))
        table.push_back(std::move(folder));
    return table;
}

} // namespace sweepstone
