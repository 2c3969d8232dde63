#include "platform/folders.h"

#include "platform/files.h"

#include <cstdlib>

namespace platform {

std::vector<NamedFolder> SystemFolders() {
    std::vector<NamedFolder> folders;
    for (const char* system :
         {"/bin", "/boot", "/dev", "/etc", "/lib", "/proc", "/sbin", "/sys", "/usr"})
        folders.push_back({KnownFolder::System, system});
    folders.push_back({KnownFolder::ProgramFiles, "/opt"});
    folders.push_back({KnownFolder::ProgramData, "/srv"});
    folders.push_back({KnownFolder::ProgramData, "/var"});
    folders.push_back({KnownFolder::Users, "/home"});
    folders.push_back({KnownFolder::Profile, "/root"});
    if (const char* home = std::getenv("HOME"); home && *home)
        folders.push_back({KnownFolder::Profile, home});
    std::string temp = TempFolder();
    if (temp.size() > 1 && temp.back() == '/')
        temp.pop_back();
    folders.push_back({KnownFolder::Temp, temp});
    return folders;
}

MachineProfiles AccountProfiles() {
    MachineProfiles machine;
    if (const char* home = std::getenv("HOME"); home && *home)
        machine.profiles.emplace_back(home);
    return machine;
}

std::string WindowsFolder() {
    return "/";
}

} // namespace platform
