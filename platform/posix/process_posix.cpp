#include "platform/process.h"

#include "posix_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fstream>

namespace platform {

std::string CommandLineText() {
    std::string text;
    std::FILE* f = std::fopen("/proc/self/cmdline", "rb");
    if (!f)
        return text;
    std::string argument;
    for (int c; (c = std::fgetc(f)) != EOF;) {
        if (c != 0) {
            argument += static_cast<char>(c);
            continue;
        }
        text += (text.empty() ? "\"" : " \"") + argument + "\"";
        argument.clear();
    }
    std::fclose(f);
    return text;
}

std::error_code MakePrivateFolder(const std::string& parent, const std::string& prefix,
                                  std::string& folder) {
    unsigned number =
        static_cast<unsigned>(::getpid()) << 16 ^ static_cast<unsigned>(::time(nullptr));
    for (int tries = 0; tries < 1000; ++tries, ++number) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08X", number);
        const std::string candidate = parent + prefix + digits;
        // mkdir makes a new folder or fails: it never follows or reuses what is there.
        if (::mkdir(ResolvePath(candidate).c_str(), 0700) == 0) {
            folder = candidate;
            return {};
        }
        if (errno != EEXIST)
            return {errno, std::generic_category()};
    }
    return std::make_error_code(std::errc::file_exists);
}

std::error_code WriteNewFile(const std::string& path, const std::string& bytes) {
    const int fd =
        ::open(ResolvePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (fd < 0)
        return {errno, std::generic_category()};
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    const int writeError = errno;
    ::close(fd);
    if (written != static_cast<ssize_t>(bytes.size()))
        return {written < 0 ? writeError : EIO, std::generic_category()};
    return {};
}

std::error_code ClearFileAttributes(const std::string& path) {
    const std::string real = ResolvePath(path);
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0 || ::chmod(real.c_str(), (st.st_mode & 0777) | S_IWUSR))
        return {errno, std::generic_category()};
    return {};
}

std::string SystemFolder() {
    return "/usr/bin";
}

std::error_code StartHiddenCommand(const std::string&, const EnvironmentValues&,
                                   const std::string&) {
    // A Windows batch means nothing to a POSIX shell; nothing is started.
    return std::make_error_code(std::errc::function_not_supported);
}

std::vector<std::string> RunningProgramNames() {
    std::vector<std::string> names;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return names;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
            continue;
        std::ifstream comm(std::string("/proc/") + entry->d_name + "/comm");
        std::string name;
        if (std::getline(comm, name) && !name.empty())
            names.push_back(name);
    }
    ::closedir(proc);
    return names;
}

void EndProcess(int code) {
    std::_Exit(code);
}

} // namespace platform
