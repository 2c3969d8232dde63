#include "decisions.h"
#include "safety.h"

#include "platform/shell.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

using platform::KnownFolder;
using sweepstone::ComparablePath;
using sweepstone::Reach;
using testing_support::MakeFolderLink;
using testing_support::TestFolder;

namespace {

// The rules of a table of folders that all reach alike.
sweepstone::FolderRules RulesOf(const std::vector<std::string>& folders,
                                Reach reach = Reach::ItselfAndAbove) {
    sweepstone::FolderRules rules;
    for (const std::string& folder : folders)
        rules.Add({folder, reach, "a system folder"});
    return rules;
}

// Whether a rule refuses a value, for the tables that only ask that.
bool IsUnsafeFolder(const std::string& path, const std::vector<std::string>& protectedFolders) {
    return RulesOf(protectedFolders).Refusal(path).has_value();
}

bool IsUnsafeRegistryKey(const std::string& keyPath) {
    return sweepstone::RegistryKeyRefusal(keyPath).has_value();
}

} // namespace

TEST(ComparablePath, FoldsCaseSeparatorsAndDots) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\Program Files\\", "C:\\PROGRAM FILES"},
        {"c:/program files//x/../", "C:\\PROGRAM FILES"},
        {"C:", "C:\\"},
        {"C:\\", "C:\\"},
        {"\\\\server\\share\\dir\\", "\\\\SERVER\\SHARE\\DIR"},
        {"\\\\?\\C:\\Windows", "C:\\WINDOWS"},
        {"\\\\?\\UNC\\server\\share", "\\\\SERVER\\SHARE"},
        {"/home/user/./x", "\\HOME\\USER\\X"},
        {"/", "\\"},
        // Letters beyond ASCII compare without case too, so a user folder written in
        // the other case is still the same folder.
        {"C:\\Users\\Łukasz\\Документы", "C:\\USERS\\ŁUKASZ\\ДОКУМЕНТЫ"},
        {"c:\\users\\łukasz\\документы", "C:\\USERS\\ŁUKASZ\\ДОКУМЕНТЫ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComparablePath(c.in), c.out) << c.in;
}

#ifdef _WIN32
TEST(IsUnsafeFolder, RefusesRootsSharesAndProtectedFolders) {
    const std::vector<std::string> protectedFolders = {"C:\\Windows", "C:\\Program Files",
                                                       "C:\\Users\\pilot\\Documents"};
    struct Case {
        const char* path;
        bool unsafe;
    } cases[] = {
        {"C:\\", true},
        {"c:", true},
        {"D:\\", true},
        {"\\\\server\\share", true},
        {"\\\\server\\share\\", true},
        {"\\\\server", true},
        {"C:\\WINDOWS", true},
        {"C:\\Windows\\..\\Windows\\", true},
        {"C:\\Program Files", true},
        {"C:\\Users", true},        // holds a protected folder
        {"C:\\Users\\pilot", true}, // likewise
        {"C:/users/pilot/documents", true},
        {"C:\\Users\\pilot\\Documents\\Sample Airport", false},
        {"C:\\Program Files\\Sim\\Addon Scenery\\Sample", false},
        {"C:\\Program Files (x86)", false}, // not listed here, not a parent of one
        {"\\\\server\\share\\Sample", false},
        {"", false}, // names nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUnsafeFolder(c.path, protectedFolders), c.unsafe) << c.path;
}
#else
TEST(IsUnsafeFolder, RefusesRootsAndProtectedFolders) {
    const std::vector<std::string> protectedFolders = {"/usr", "/home/pilot/Documents"};
    struct Case {
        const char* path;
        bool unsafe;
    } cases[] = {
        {"/", true},
        {"\\", true},
        {"/usr", true},
        {"/USR/", true},
        {"/usr/local/../", true},
        {"/home", true},
        {"/home/pilot", true},
        {"\\home\\pilot\\documents", true},
        {"/home/pilot/Documents/Sample Airport", false},
        {"/usr/share/sample", false},
        {"/srv/sim/Sample", false},
        {"", false},
        {"   ", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUnsafeFolder(c.path, protectedFolders), c.unsafe) << c.path;
}
#endif

TEST(IsUnsafeFolder, RefusesRelativePathsWhateverTheCurrentFolderIs) {
    // A relative value names whatever the current folder holds when the removal runs:
    // it is refused by its form, before any folder is compared.
    for (const char* path : {".", "..", "product\\..", "product", "C:product"})
        EXPECT_NE(sweepstone::FolderRules().Refusal(path).value_or("").find("relative"),
                  std::string::npos)
            << path;
}

// The root may be written; the key is read without it, or refused with its rule.
TEST(CanonicalMachineKey, DropsTheMachineRootAndRefusesOthers) {
    struct Case {
        const char* value;
        const char* key; // or the rule
    } cases[] = {
        {"SOFTWARE\\Sample", "SOFTWARE\\Sample"},
        {"\\SOFTWARE\\\\Sample\\", "SOFTWARE\\Sample"},
        {"HKLM\\SOFTWARE\\Sample", "SOFTWARE\\Sample"},
        {"hkey_local_machine\\SOFTWARE\\Sample", "SOFTWARE\\Sample"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft", "SOFTWARE\\Microsoft"},
        {"HKCU\\Software\\Sample", "refused: a key of another root than HKEY_LOCAL_MACHINE"},
        {"HKEY_CLASSES_ROOT\\.apx", "refused: a key of another root than HKEY_LOCAL_MACHINE"},
        {"HKEY_USERS\\S-1-5-18", "refused: a key of another root than HKEY_LOCAL_MACHINE"},
    };
    for (const Case& c : cases) {
        const sweepstone::MachineKey read = sweepstone::CanonicalMachineKey(c.value);
        EXPECT_EQ(read.refusal.empty() ? read.key : "refused: " + read.refusal, c.key) << c.value;
    }
}

TEST(IsUnsafeRegistryKey, NeedsTwoNonEmptyComponents) {
    struct Case {
        const char* key;
        bool unsafe;
    } cases[] = {
        {"", true},
        {"SOFTWARE", true},
        {"\\SOFTWARE\\", true},
        {"SOFTWARE\\\\", true},
        {"SOFTWARE\\ \\", true},
        {"SOFTWARE\\Sample", false},
        {"SOFTWARE\\Sample\\Sample Airport X", false},
        {"\\SOFTWARE\\Sample", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUnsafeRegistryKey(c.key), c.unsafe) << c.key;
}

TEST(ComparablePath, DropsTrailingDotsAndBlanksAsWindowsDoes) {
    EXPECT_EQ(ComparablePath("C:\\Windows. \\System32..\\"), "C:\\WINDOWS\\SYSTEM32");
    EXPECT_EQ(ComparablePath("C:\\Windows\\..."), "C:\\WINDOWS");
}

#ifndef _WIN32
// Names compare as Windows compares them, letters beyond ASCII included.
TEST(ComparablePath, FoldsLettersBeyondAscii) {
    EXPECT_EQ(ComparablePath("/srv/müller/Ärger/ωmega/жук"),
              ComparablePath("/SRV/MÜLLER/äRGER/ΩMEGA/ЖУК"));
    EXPECT_NE(ComparablePath("/srv/muller"), ComparablePath("/srv/müller"));
}
#endif

TEST(WithoutAdministrativeForms, MapsDriveSharesAndRefusesDevices) {
    struct Case {
        const char* in;
        const char* out; // nullptr: refused
    } cases[] = {
        {"\\\\pilot-pc\\C$\\Windows", "C:\\Windows"},
        {"\\\\localhost\\c$", "c:\\"},
        {"//pilot-pc/D$/Games/FSX", "D:\\Games\\FSX"},
        {"\\\\pilot-pc\\ADMIN$\\System32", "C:\\Windows\\System32"},
        {"\\\\pilot-pc\\admin$", "C:\\Windows\\"},
        {"\\\\pilot-pc\\IPC$", nullptr},
        {"\\\\pilot-pc\\print$\\x", nullptr},
        {"\\\\?\\C:\\Windows", "C:\\Windows"},
        {"\\\\.\\C:\\Windows", "C:\\Windows"},
        {"\\\\?\\UNC\\pilot-pc\\C$\\Windows", "C:\\Windows"},
        {"\\\\?\\unc\\server\\share\\Product", "\\\\server\\share\\Product"},
        {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\Windows", nullptr},
        {"\\\\.\\PhysicalDrive0", nullptr},
        {"\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\", nullptr},
        {"\\\\server\\share\\Product", "\\\\server\\share\\Product"},
        {"C:\\Program Files\\Sim", "C:\\Program Files\\Sim"},
    };
    for (const Case& c : cases) {
        const auto out = sweepstone::WithoutAdministrativeForms(c.in, "C:\\Windows\\");
        if (c.out)
            EXPECT_EQ(out.value_or("<refused>"), c.out) << c.in;
        else
            EXPECT_FALSE(out.has_value()) << c.in;
    }
}

TEST(RegistryKeyRefusal, RefusesKeysOfTheSystemOtherSoftwareAndTheSimulator) {
    const char* refused[] = {
        "SOFTWARE",
        "software\\classes",
        "SOFTWARE\\Clients",
        "\\SOFTWARE\\Microsoft\\",
        "SOFTWARE\\Policies",
        "SOFTWARE\\RegisteredApplications",
        "SOFTWARE\\WOW6432Node",
        "SOFTWARE\\Wow6432Node\\Microsoft",
        "SOFTWARE\\WOW6432Node\\Classes",
        "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        "SOFTWARE\\Microsoft\\Windows",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
        "SOFTWARE\\Microsoft\\Windows NT",
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\APP PATHS",
        "SOFTWARE\\Microsoft\\Windows\\\\CurrentVersion\\Uninstall\\",
        "SOFTWARE\\Microsoft\\Microsoft Games",
        "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator",
        "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0",
        "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator - Steam Edition",
        "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator - Steam Edition\\10.0",
        "SYSTEM\\CurrentControlSet",
        "SYSTEM\\CurrentControlSet\\Services\\Sample",
        "system\\ControlSet001\\Control",
        "SAM\\SAM",
        "SECURITY\\Policy",
        "HARDWARE\\DESCRIPTION",
        "BCD00000000\\Objects",
        "SOFTWARE\\ \\",
        // Below SOFTWARE\Microsoft only the places made for products' entries.
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\x.exe",
        "SOFTWARE\\Microsoft\\Cryptography",
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Sample",
        "SOFTWARE\\WOW6432Node\\Microsoft\\Cryptography",
        "SOFTWARE\\Microsoft\\Windows NTX",
        "SOFTWARE\\Microsoft\\Sample Airport X",
        "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0\\Sample Airport X",
        // The class roots, also in the 32-bit view's twins.
        "SOFTWARE\\Classes\\CLSID",
        "SOFTWARE\\Classes\\Interface",
        "SOFTWARE\\Classes\\TypeLib",
        "SOFTWARE\\Classes\\AppID",
        "SOFTWARE\\Classes\\exefile",
        "SOFTWARE\\Classes\\*",
        "SOFTWARE\\Classes\\Directory",
        "SOFTWARE\\Classes\\.exe",
        "SOFTWARE\\Classes\\Wow6432Node",
        "SOFTWARE\\Classes\\Wow6432Node\\CLSID",
        "SOFTWARE\\WOW6432Node\\Classes\\CLSID",
        "SOFTWARE\\WOW6432Node\\Classes\\Wow6432Node\\Interface",
        "SOFTWARE\\Classes\\*\\shell",
        "SOFTWARE\\Classes\\Directory\\Background\\shellex\\ContextMenuHandlers",
        "SOFTWARE\\Classes\\MIME\\Database\\Content Type",
        // Nothing below the types of what runs programs, nor below the records of
        // Windows Installer, the shell's settings and the policies of Windows.
        "SOFTWARE\\Classes\\exefile\\shell\\open\\command",
        "SOFTWARE\\Classes\\.exe\\PersistentHandler",
        "SOFTWARE\\Classes\\Wow6432Node\\lnkfile\\shellex",
        "SOFTWARE\\Classes\\Installer\\Products\\0123456789ABCDEF0123456789ABCDEF",
        "SOFTWARE\\Classes\\Local Settings\\MuiCache",
        "SOFTWARE\\Policies\\Microsoft\\Windows\\System",
        // Everything below these.
        "DRIVERS\\Sample",
        "COMPONENTS\\DerivedData",
        "ELAM\\Sample",
        "SCHEMA\\Sample",
    };
    for (const char* key : refused)
        EXPECT_TRUE(sweepstone::RegistryKeyRefusal(key).has_value()) << key;
    const char* allowed[] = {
        "SOFTWARE\\Sample\\Sample Airport X",
        "SOFTWARE\\WOW6432Node\\Sample",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample Airport X",
        "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\sample.exe",
        "SOFTWARE\\Classes\\SampleAirport.Document",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample\\Deep",
        "SOFTWARE\\Classes\\CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}",
        "SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}",
        "SOFTWARE\\WOW6432Node\\Classes\\CLSID\\{01234567-89AB-CDEF-0123-456789ABCDEF}",
        "SOFTWARE\\Classes\\.apx",
        "SOFTWARE\\Classes\\Applications\\sample.exe",
        "SOFTWARE\\Classes\\TypeLib\\{01234567-89AB-CDEF-0123-456789ABCDEF}",
        "SOFTWARE\\Classes\\*\\shell\\Open with Sample",
        "SOFTWARE\\Classes\\Directory\\shellex\\ContextMenuHandlers\\Sample",
        "SOFTWARE\\Classes\\MIME\\Database\\Content Type\\application/x-sample",
        "SOFTWARE\\Policies\\Sample Maker",
    };
    for (const char* key : allowed)
        EXPECT_FALSE(sweepstone::RegistryKeyRefusal(key).has_value())
            << key << ": " << sweepstone::RegistryKeyRefusal(key).value_or("");
}

// The machine's table, made from folders given as the system and the list of accounts
// would give them: two accounts (the running one, "pilot", and "other"), a Documents
// folder moved to another drive, and the simulator. Each row refuses as far as its
// reach says, with its own reason; a product's own folder or file stays removable.
TEST(FolderRefusal, ProtectsEachFolderOfTheTableAsFarAsItsReach) {
    TestFolder t;
    t.MakeFolder("ProgramData\\Microsoft\\Crypto");
    t.MakeFolder("ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    const std::string programs = "ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\";
    const bool linked = MakeFolderLink(t.Path("ProgramData\\Microsoft\\Crypto"),
                                       t.Path(programs + "Sample Airport X Link"));
    sweepstone::FolderSources sources;
    sources.system = {
        {KnownFolder::Windows, t.Path("Windows")},
        {KnownFolder::System, t.Path("Windows\\System32")},
        {KnownFolder::ProgramFiles, t.Path("Program Files")},
        {KnownFolder::ProgramData, t.Path("ProgramData")},
        {KnownFolder::CommonStartMenu, t.Path("ProgramData\\Microsoft\\Windows\\Start Menu")},
        {KnownFolder::CommonPrograms, t.Path(programs)},
        {KnownFolder::CommonDesktop, t.Path("Users\\Public\\Desktop")},
        {KnownFolder::PublicFolder, t.Path("Users\\Public")},
        {KnownFolder::PublicFolder, t.Path("Users\\Public\\Music")},
        {KnownFolder::Users, t.Path("Users")},
        {KnownFolder::Profile, t.Path("Users\\pilot")},
        {KnownFolder::Documents, t.Path("D\\Docs")},
        {KnownFolder::DriveRoot, t.Path("Drive")},
    };
    sources.accounts = {{t.Path("Users\\pilot"), t.Path("Users\\other")}, t.Path("Users\\Default")};
    sources.simulatorRoots = {t.Path("FSX") + "\\"};
    sweepstone::FolderRules rules;
    rules.Add(sweepstone::ProtectedFolders(sources));
    const char* const allowed = "";
    struct Case {
        std::string path;
        std::string rule; // `allowed`: removable
    } cases[] = {
        {t.Path("FSX"), "the simulator's folder"},
        {t.Path("fsx\\"), "the simulator's folder"},
        {t.Path("FSX\\Addon Scenery"), "a standard folder of the simulator"},
        {t.Path("FSX\\ADDON SCENERY\\scenery"), "a standard folder of the simulator"},
        {t.Path("FSX\\SimObjects\\Airplanes"), "a standard folder of the simulator"},
        {t.Path("FSX\\Effects"), "a standard folder of the simulator"},
        {t.Path("FSX\\Gauges"), "a standard folder of the simulator"},
        {t.Path("FSX\\Modules"), "a standard folder of the simulator"},
        {t.Path("FSX\\Sound"), "a standard folder of the simulator"},
        {t.Path("FSX\\Weather"), "a standard folder of the simulator"},
        {t.Path("FSX\\Texture"), "a standard folder of the simulator"},
        {t.Path("FSX\\Scenery"), "a standard folder of the simulator"},
        {t.Base(), "holds the Windows folder"},
        {t.Path("FSX\\Addon Scenery\\Sample Airport"), allowed},
        {t.Path("FSX\\SimObjects\\Airplanes\\Sample Jet"), allowed},
        {t.Path("FSX\\Sample Tools"), allowed},
        // At or below: nothing inside is removable.
        {t.Path("Windows"), "the Windows folder"},
        {t.Path("Windows\\Installer"), "below the Windows folder"},
        {t.Path("Windows\\System32\\drivers\\sample.sys"), "below a system folder"},
        {t.Path("ProgramData\\Microsoft"), "the ProgramData\\Microsoft folder"},
        {t.Path("ProgramData\\Microsoft\\Crypto"), "below the ProgramData\\Microsoft folder"},
        {t.Path("ProgramData\\Microsoft\\Windows\\Start Menu\\Sample Airport X"),
         "below the ProgramData\\Microsoft folder"},
        {t.Path("ProgramData\\Microsoft\\FSX\\Scenery.cfg"), "below the simulator's machine data"},
        {t.Path("ProgramData\\Microsoft\\FSX-SE"), "the simulator's machine data"},
        {t.Path("Users\\pilot\\AppData\\Roaming\\Microsoft\\FSX\\fsx.cfg"),
         "below the simulator's settings"},
        {t.Path("Users\\other\\AppData\\Roaming\\Microsoft\\FSX-SE\\Logbook.BIN"),
         "below the simulator's settings"},
        {t.Path("Users\\other\\AppData\\Roaming\\Microsoft"), "holds the simulator's settings"},
        {t.Path("Users\\Default\\Desktop"),
         "below the Default profile, which new accounts are made from"},
        {t.Path("Drive\\$Recycle.Bin\\S-1-5-21-1"), "below the recycle bin"},
        {t.Path("Drive\\System Volume Information"), "the system's volume information"},
        // The common Start Menu\Programs and Desktop: a product's own shortcut folder
        // or shortcut below them goes, the system's shortcut folders never.
        {t.Path(programs), "the common Start Menu\\Programs"},
        {t.Path(programs + "Sample Airport X"), allowed},
        {t.Path(programs + "Sample Airport X.lnk"), allowed},
        {t.Path(programs + "Startup"), "a shortcut folder of the system"},
        {t.Path(programs + "Startup\\Sample Airport X.lnk"), allowed},
        {t.Path("Users\\Public\\Desktop"), "the common Desktop"},
        {t.Path("Users\\Public\\Desktop\\Sample Airport X"), allowed},
        // Itself and above: a product's own folder or file below stays removable.
        {t.Path("Program Files"), "a Program Files folder"},
        {t.Path("Program Files\\Sample Maker"), allowed},
        {t.Path("ProgramData"), "the ProgramData folder"},
        {t.Path("ProgramData\\Sample Maker"), allowed},
        {t.Path("Users"), "the Users folder"},
        {t.Path("Users\\Public"), "a folder of the Public profile"},
        {t.Path("Users\\Public\\Music"), "a folder of the Public profile"},
        {t.Path("Users\\Public\\Music\\Sample Airport X.mp3"), allowed},
        {t.Path("Users\\other"), "a user's profile"},
        {t.Path("Users\\other\\Documents"), "a user's Documents"},
        {t.Path("Users\\other\\Documents\\Sample Airport X"), allowed},
        {t.Path("Users\\other\\Downloads"), "a user's Downloads"},
        {t.Path("Users\\pilot\\Saved Games"), "a user's Saved Games"},
        {t.Path("Users\\pilot\\OneDrive"), "a user's OneDrive"},
        {t.Path("Users\\pilot\\AppData\\LocalLow"), "a user's AppData\\LocalLow"},
        {t.Path("Users\\pilot\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"),
         "a user's Start Menu\\Programs"},
        {t.Path("Users\\pilot\\AppData\\Roaming\\Microsoft\\Windows\\Templates"),
         "a user's Templates"},
        {t.Path("Users\\other\\Documents\\Flight Simulator X Files"),
         "the simulator's saved flights"},
        {t.Path("Users\\other\\Documents\\Flight Simulator X Files\\Sample Airport X.FLT"),
         allowed},
        {t.Path("D\\Docs"), "a user's Documents"},
        {t.Path("D\\Docs\\Flight Simulator X Files"), "the simulator's saved flights"},
        {t.Path("D\\Docs\\Sample Airport X"), allowed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rules.Refusal(c.path).value_or(allowed), c.rule) << c.path;
    // A product's shortcut folder that leads elsewhere is judged where it leads.
    if (linked) {
        EXPECT_EQ(rules.Refusal(t.Path(programs + "Sample Airport X Link")).value_or(allowed),
                  "below the ProgramData\\Microsoft folder");
    }
    EXPECT_TRUE(sweepstone::SimulatorFolders({"", "   "}).empty()); // no SetupPath, no folder
}

TEST(FileRefusal, RefusesSystemFilesDevicesAndHiddenShares) {
    TestFolder t;
    const sweepstone::FolderRules system = RulesOf({t.Path("Sys")}, Reach::Everything);
    EXPECT_TRUE(system.Refusal(t.Path("Sys\\kernel.dll")).has_value());
    EXPECT_TRUE(system.Refusal(t.Path("SYS\\Deep\\x.ini")).has_value());
    EXPECT_TRUE(system.Refusal("\\\\.\\PhysicalDrive0").has_value());
    EXPECT_TRUE(system.Refusal("\\\\host\\IPC$\\pipe").has_value());
    EXPECT_FALSE(system.Refusal(t.Path("Sim\\Effects\\sample.fx")).has_value());
    EXPECT_FALSE(system.Refusal(t.Path("System.txt")).has_value());
    EXPECT_FALSE(system.Refusal("   ").has_value());
}

#ifndef _WIN32
// A folder reached through a symbolic link is what the guard compares.
TEST(FolderRefusal, ComparesWhatALinkLeadsTo) {
    TestFolder t;
    t.MakeFolder("Protected\\Inner");
    t.MakeFolder("Product");
    ASSERT_EQ(::symlink(t.Path("Protected").c_str(), t.Path("Product/ToProtected").c_str()), 0);
    ASSERT_EQ(::symlink(t.Path("Product").c_str(), t.Path("ToProduct").c_str()), 0);
    const std::vector<std::string> protectedFolders = {t.Path("Protected\\Inner")};
    EXPECT_TRUE(IsUnsafeFolder(t.Path("Product\\ToProtected"), protectedFolders));
    EXPECT_TRUE(IsUnsafeFolder(t.Path("product\\toprotected\\inner"), protectedFolders));
    EXPECT_TRUE(IsUnsafeFolder(t.Path("ToProduct\\ToProtected\\Inner\\."), protectedFolders));
    EXPECT_FALSE(IsUnsafeFolder(t.Path("ToProduct"), protectedFolders));
    EXPECT_FALSE(IsUnsafeFolder(t.Path("Product\\ToProtected\\Inner\\Sample"), protectedFolders));
}
#endif
