// POSIX side of safe deletion. Nothing is ever "in use" on Linux; links are
// symbolic links, removed with unlink and never entered.
#include "platform/deletion.h"

#include "platform/shell.h"
#include "posix_path.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>

namespace platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

void Delete(const std::string& path, TreeDeletion& result) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        if (DIR* dir = ::opendir(path.c_str())) {
            while (dirent* e = ::readdir(dir)) {
                const std::string name = e->d_name;
                if (name != "." && name != "..")
                    Delete(path + "/" + name, result);
            }
            ::closedir(dir);
        }
        if (::rmdir(path.c_str()) != 0 && !result.error)
            result.error = LastError();
    } else if (::unlink(path.c_str()) != 0 && !result.error) {
        result.error = LastError(); // a link is unlinked as itself
    }
}

} // namespace

std::string ResolvedPathName(const std::string& path) {
    const std::string full = ResolvePath(FullPathName(path));
    // The longest part that exists is resolved by the system; the rest is appended.
    std::string head = full;
    std::string tail;
    for (;;) {
        char buffer[PATH_MAX];
        if (::realpath(head.c_str(), buffer)) {
            std::string resolved = buffer;
            if (!tail.empty())
                resolved += (resolved == "/" ? "" : "/") + tail;
            return resolved;
        }
        const size_t cut = head.find_last_of('/');
        if (cut == std::string::npos || head == "/")
            return full;
        tail = head.substr(cut + 1) + (tail.empty() ? "" : "/" + tail);
        head = cut == 0 ? "/" : head.substr(0, cut);
    }
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return ::lstat(ResolvePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool IsInUseError(std::error_code) {
    return false;
}

std::error_code DeleteOneFile(const std::string& path) {
    if (::unlink(ResolvePath(path).c_str()) != 0)
        return LastError();
    return {};
}

TreeDeletion DeleteTree(const std::string& folder) {
    TreeDeletion result;
    const std::string real = ResolvePath(folder);
    struct stat st {};
    if (::lstat(real.c_str(), &st) != 0) {
        result.error = LastError();
        return result;
    }
    if (!S_ISDIR(st.st_mode) && !S_ISLNK(st.st_mode)) {
        result.error = std::make_error_code(std::errc::not_a_directory);
        return result;
    }
    Delete(real, result);
    return result;
}

std::error_code DeleteAtRestart(const std::string& path) {
    const char* record = std::getenv("BRIGHTMERE_RESTART_RECORD");
    if (!record || !*record)
        return std::make_error_code(std::errc::operation_not_supported);
    std::ofstream out(record, std::ios::app | std::ios::binary);
    out << path << '\n';
    return out ? std::error_code{} : std::make_error_code(std::errc::io_error);
}

std::error_code RemoveEmptyFolder(const std::string& folder,
                                  const std::function<bool(const std::string& onDisk)>& allowed) {
    std::string real = ResolvePath(folder);
    while (real.size() > 1 && real.back() == '/')
        real.pop_back();
    struct stat st {};
    if (::lstat(real.c_str(), &st) != 0)
        return LastError();
    if (S_ISLNK(st.st_mode))
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    if (!S_ISDIR(st.st_mode))
        return std::make_error_code(std::errc::not_a_directory);
    char buffer[PATH_MAX];
    if (!::realpath(real.c_str(), buffer))
        return LastError();
    if (!allowed(buffer))
        return std::make_error_code(std::errc::permission_denied);
    // rmdir refuses a folder that is not empty.
    if (::rmdir(real.c_str()) != 0)
        return LastError();
    return {};
}

} // namespace platform
