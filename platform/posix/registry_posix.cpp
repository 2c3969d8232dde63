// The registry stand-in of the POSIX side: every key below HKEY_LOCAL_MACHINE is a
// folder below a root folder. It serves tests of the code that deletes key trees;
// nothing on Linux reads it.
#include "platform/registry.h"

#include "platform/files.h"
#include "posix_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

std::string KeyFolder(const std::string& keyPath) {
    const char* root = std::getenv("BRIGHTMERE_REGISTRY_ROOT");
    std::string base = (root && *root) ? root : TempFolder() + "brightmere-registry";
    if (base.back() != '/')
        base += '/';
    return base + keyPath;
}

} // namespace

std::error_code DeleteMachineKeyTree(const std::string& keyPath) {
    if (!MachineKeyExists(keyPath))
        return std::make_error_code(std::errc::no_such_file_or_directory);
    std::error_code error;
    std::filesystem::remove_all(ResolvePath(KeyFolder(keyPath)), error);
    return error;
}

std::error_code DeleteEmptyMachineKey(const std::string& keyPath) {
    if (MachineKeyIsLink(keyPath))
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    // A key's values and subkeys are the entries of its folder: rmdir refuses it
    // while it has any.
    if (::rmdir(ResolvePath(KeyFolder(keyPath)).c_str()) != 0)
        return {errno, std::generic_category()};
    return {};
}

bool MachineKeyExists(const std::string& keyPath) {
    return FolderPresent(KeyFolder(keyPath));
}

std::error_code CreateMachineKey(const std::string& keyPath) {
    return MakeFolders(KeyFolder(keyPath));
}

bool MachineKeyIsLink(const std::string& keyPath) {
    struct stat st {};
    return ::lstat(ResolvePath(KeyFolder(keyPath)).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool MachineKeyPathHasLink(const std::string& keyPath) {
    for (size_t cut = 0; cut != std::string::npos; cut = keyPath.find('\\', cut + 1)) {
        const std::string part = cut == 0 ? std::string() : keyPath.substr(0, cut);
        if (!part.empty() && MachineKeyIsLink(part))
            return true;
    }
    return MachineKeyIsLink(keyPath);
}

std::string ReadMachineString(const std::string& keyPath, const std::string& valueName) {
    std::ifstream in(ResolvePath(KeyFolder(keyPath) + "/" + valueName), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

std::error_code WriteMachineString(const std::string& keyPath, const std::string& valueName,
                                   const std::string& value) {
    if (std::error_code error = CreateMachineKey(keyPath))
        return error;
    return WriteWholeFile(KeyFolder(keyPath) + "/" + valueName, value);
}

std::error_code CreateMachineKeyLink(const std::string& keyPath, const std::string& targetPath) {
    const std::string link = KeyFolder(keyPath);
    const size_t cut = link.find_last_of("\\/");
    if (std::error_code error = MakeFolders(link.substr(0, cut)))
        return error;
    std::error_code error;
    std::filesystem::create_directory_symlink(ResolvePath(KeyFolder(targetPath)), ResolvePath(link),
                                              error);
    return error;
}

} // namespace platform
