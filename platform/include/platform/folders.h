// The folders of the system and of its accounts that the uninstall wizard's rules
// protect, as the system names them. What each may lose is the rules' business
// (sweepstone/safety.h); this header only finds them.
#pragma once

#include <string>
#include <vector>

namespace platform {

// What a folder the system names is, for the rules that protect it.
enum class KnownFolder {
    Windows,      // the Windows folder
    System,       // System32 and SysWOW64 (POSIX: /bin /boot /dev /etc /lib /proc /sbin /sys /usr)
    ProgramFiles, // Program Files and its x86 and 64-bit twins (POSIX: /opt)
    CommonFiles,  // Common Files and its twins
    ProgramData,  // the machine's data of every account (POSIX: /srv /var)
    CommonStartMenu, // the Start Menu of every account
    CommonPrograms,  // its Programs, where products put their shortcut folders
    CommonDesktop,   // the Desktop of every account
    PublicFolder,    // Users\Public and its Desktop, Documents, Downloads, Music ...
    Users,           // the folder of the accounts' profiles (POSIX: /home)
    Profile,         // the running account's profile (POSIX: the home folder)
    Documents,       // the running account's Documents, where the system says it is
    RoamingAppData,  // the running account's AppData\Roaming, likewise
    UserFolder,      // the running account's other known folders (Desktop, Downloads ...)
    Temp,            // the temporary folder
    DriveRoot,       // the root of each fixed or removable drive ("C:\")
};

struct NamedFolder {
    KnownFolder kind;
    std::string path; // a full path without a trailing separator but a root's
};

// Every folder the system names, with what it is; a kind may come more than once
// (the 32- and 64-bit Program Files), and a folder the system does not have is left
// out.
std::vector<NamedFolder> SystemFolders();

// The accounts of the machine as it lists them: on Win32 the ProfileImagePath of
// every account below HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList
// (not only the running account's), and its Default value, the profile that new
// accounts are made from; each expanded, a full path without trailing separator. On
// POSIX the home folder and no default.
struct MachineProfiles {
    std::vector<std::string> profiles;
    std::string defaultProfile;
};
MachineProfiles AccountProfiles();

// The Windows folder, ending in a separator.
std::string WindowsFolder();

} // namespace platform
