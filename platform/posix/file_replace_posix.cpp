// POSIX side of the atomic file replacement: a temporary file beside the target,
// fsync, rename over the target, fsync of the folder.
#include "platform/file_replace.h"
#include "posix_path.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::error_code Errno() {
    return {errno, std::generic_category()};
}

// All of `bytes` into `fd`, again after an interrupted write.
std::error_code WriteAll(int fd, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n >= 0)
            done += static_cast<size_t>(n);
        else if (errno != EINTR)
            return Errno();
    }
    return {};
}

} // namespace

std::error_code ReplaceFileContent(const std::string& path, const std::string& bytes) {
    const std::string target = ResolvePath(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0)
        return Errno();
    if (!S_ISREG(st.st_mode))
        return std::make_error_code(std::errc::is_a_directory);
    // Like Windows' read-only attribute, a file without write permission is not
    // replaced, even for root, whom rename would not stop.
    if ((st.st_mode & S_IWUSR) == 0)
        return std::make_error_code(std::errc::permission_denied);

    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = folder + "/." + name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return Errno();

    std::error_code result = WriteAll(fd, bytes);
    // The owner first (a root process can give the file back to its user; others
    // own what they replace anyway), then the permission bits, which chown may clear.
    if (!result && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(fd, st.st_uid, st.st_gid) != 0 && errno != EPERM)
        result = Errno();
    if (!result && ::fchmod(fd, st.st_mode & 07777) != 0)
        result = Errno();
    if (!result && ::fsync(fd) != 0)
        result = Errno();
    if (::close(fd) != 0 && !result)
        result = Errno();
    if (!result && ::rename(temp.c_str(), target.c_str()) != 0)
        result = Errno();
    if (result) {
        ::unlink(temp.c_str());
        return result;
    }
    // Make the new name itself durable; a failure here no longer affects the content.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

std::error_code WriteFileNotThroughLink(const std::string& path, const std::string& bytes) {
    // O_NOFOLLOW: a symbolic link at the name fails the open (ELOOP); no O_TRUNC, so
    // that the checks below run on this very file before one byte changes.
    const int fd =
        ::open(ResolvePath(path).c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return Errno();
    std::error_code result;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        result = Errno();
    else if (!S_ISREG(st.st_mode) || st.st_nlink > 1)
        result = std::make_error_code(std::errc::too_many_links);
    else if (::ftruncate(fd, 0) != 0)
        result = Errno();
    if (!result)
        result = WriteAll(fd, bytes);
    if (::close(fd) != 0 && !result)
        result = Errno();
    return result;
}

} // namespace platform
