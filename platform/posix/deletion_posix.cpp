// POSIX side of safe deletion. Nothing is ever "in use" on Linux; links are
// symbolic links, removed with unlink and never entered (class Walk).
#include "platform/deletion.h"

#include "../common/tree_walk.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "posix_path.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// The walk acts only on what it opened and checked: each folder is held by a
// descriptor while it is listed and emptied, each child is looked up relative to that
// descriptor, a folder is entered with O_NOFOLLOW, and what cannot be entered as a
// folder is unlinked as itself. A child swapped for a symbolic link after the listing
// is therefore removed as the link; its target is never entered. (POSIX cannot stop a
// held folder from being renamed, but the walk follows the folder it holds, wherever
// it is moved, and never the name it was listed under.)
class Walk {
public:
    Walk(TreeDeletion& result, const walk::BeforeOpeningChild& observer)
        : result_(result), observer_(observer) {}

    // Empties the folder that `folder` holds (the descriptor is taken over).
    void Empty(int folder, const std::string& path) {
        DIR* dir = ::fdopendir(folder);
        if (!dir) {
            Failed();
            ::close(folder);
            return;
        }
        std::vector<std::string> names;
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        for (const std::string& name : names)
            RemoveChild(::dirfd(dir), path + "/" + name, name);
        ::closedir(dir);
    }

    void Failed() {
        if (!result_.error)
            result_.error = LastError();
    }

private:
    void RemoveChild(int folder, const std::string& path, const std::string& name) {
        if (observer_)
            observer_(path);
        const int child = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        if (child < 0) {
            if (errno == ENOENT)
                return; // gone already
            // A file, or a link to anything: unlinked as itself.
            const bool notAFolder = errno == ENOTDIR || errno == ELOOP;
            if (!notAFolder || ::unlinkat(folder, name.c_str(), 0) != 0)
                Failed();
            return;
        }
        Empty(child, path);
        if (::unlinkat(folder, name.c_str(), AT_REMOVEDIR) != 0)
            Failed();
    }

    TreeDeletion& result_;
    const walk::BeforeOpeningChild& observer_;
};

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

TreeDeletion walk::DeleteTree(const std::string& folder, const BeforeOpeningChild& observer) {
    TreeDeletion result;
    const std::string real = ResolvePath(folder);
    struct stat st {};
    if (::lstat(real.c_str(), &st) != 0) {
        result.error = LastError();
        return result;
    }
    if (S_ISLNK(st.st_mode)) {
        if (::unlink(real.c_str()) != 0)
            result.error = LastError(); // a link is unlinked as itself
        return result;
    }
    if (!S_ISDIR(st.st_mode)) {
        result.error = std::make_error_code(std::errc::not_a_directory);
        return result;
    }
    const int root = ::open(real.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    Walk walk(result, observer);
    if (root < 0) {
        walk.Failed();
        return result;
    }
    walk.Empty(root, real);
    if (::rmdir(real.c_str()) != 0)
        walk.Failed();
    return result;
}

TreeDeletion DeleteTree(const std::string& folder) {
    return walk::DeleteTree(folder, {});
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

// Nothing is held here (see the header): each call is the plain function's.
struct FileFolders::Folder {};

FileFolders::FileFolders() = default;
FileFolders::~FileFolders() = default;

std::string FileFolders::ResolvedPathName(const std::string& path) {
    return platform::ResolvedPathName(path);
}

bool FileFolders::FileOrLinkPresent(const std::string& path) {
    return FilePresent(path) || (IsLink(path) && !FolderPresent(path));
}

std::error_code FileFolders::DeleteOneFile(const std::string& path) {
    return platform::DeleteOneFile(path);
}

} // namespace platform
