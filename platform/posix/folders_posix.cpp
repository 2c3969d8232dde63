#include "platform/folders.h"

#include "platform/files.h"

#include <cstdlib>

namespace platform {

std::vector<std::string> ProtectedFolders() {
    std::vector<std::string> folders = {"/",    "/bin", "/boot", "/etc",  "/home",
                                        "/lib", "/opt", "/proc", "/root", "/sbin",
                                        "/srv", "/sys", "/usr",  "/var",  "/dev"};
    if (const char* home = std::getenv("HOME"); home && *home)
        folders.emplace_back(home);
    std::string temp = TempFolder();
    if (temp.size() > 1 && temp.back() == '/')
        temp.pop_back();
    folders.push_back(temp);
    return folders;
}

std::vector<std::string> SystemFileFolders() {
    return {"/bin", "/boot", "/etc", "/lib", "/sbin", "/usr"};
}

std::string WindowsFolder() {
    return "/";
}

} // namespace platform
