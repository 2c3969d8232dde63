// The registry stand-in of the POSIX side: every key below HKEY_LOCAL_MACHINE is a
// folder below a root folder. It serves tests of the code that deletes key trees;
// nothing on Linux reads it.
#include "platform/registry.h"

#include "platform/files.h"
#include "posix_path.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace platform {
namespace {

std::string KeyFolder(const std::string& keyPath) {
    const char* root = std::getenv("BRIGHTMERE_REGISTRY_ROOT");
    std::string base = (root && *root) ? root : TempFolder() + "brightmere-registry";
    if (base.back() != '/')
        base += '/';
    return base + keyPath;
}

// Deletes what the key folder `folder` (the key `path`) holds, depth first, as the
// Win32 side does: a link is removed as a link, a key that stays is listed with its
// own failure, the keys above it are not; a value (a file) that stays keeps its key.
void DeleteSubkeys(const std::filesystem::path& folder, const std::string& path,
                   std::vector<KeyLeft>& left) {
    std::error_code error;
    std::vector<std::filesystem::directory_entry> children;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        children.push_back(*it);
    if (error) {
        left.push_back({path, error});
        return;
    }
    for (const std::filesystem::directory_entry& child : children) {
        const std::string subPath = path + "\\" + child.path().filename().string();
        std::error_code failure;
        const bool key = child.is_directory(failure) && !child.is_symlink(failure);
        const size_t before = left.size();
        if (key)
            DeleteSubkeys(child.path(), subPath, left);
        if (left.size() != before)
            continue; // it stays for what it holds
        std::filesystem::remove(child.path(), failure);
        if (failure)
            left.push_back({key || child.is_symlink() ? subPath : path, failure});
    }
}

} // namespace

KeyTreeDeletion DeleteMachineKeyTree(const std::string& keyPath) {
    if (!MachineKeyExists(keyPath))
        return {std::make_error_code(std::errc::no_such_file_or_directory), {}};
    const std::filesystem::path folder = ResolvePath(KeyFolder(keyPath));
    if (MachineKeyIsLink(keyPath)) {
        std::error_code error;
        std::filesystem::remove(folder, error);
        return {error, {}};
    }
    KeyTreeDeletion done;
    DeleteSubkeys(folder, keyPath, done.keysLeft);
    if (done.keysLeft.empty())
        std::filesystem::remove(folder, done.error);
    return done;
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
