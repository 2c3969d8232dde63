// The registry stand-in of the POSIX side: every key below HKEY_LOCAL_MACHINE is a
// folder below a root folder. It serves tests of the code that deletes key trees;
// nothing on Linux reads it.
#include "platform/registry.h"

#include "platform/files.h"
#include "posix_path.h"

#include <cstdlib>
#include <filesystem>

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

bool MachineKeyExists(const std::string& keyPath) {
    return FolderPresent(KeyFolder(keyPath));
}

std::error_code CreateMachineKey(const std::string& keyPath) {
    return MakeFolders(KeyFolder(keyPath));
}

} // namespace platform
