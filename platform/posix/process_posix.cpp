#include "platform/process.h"

#include "posix_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

std::string UniqueTempFileName(const std::string& folder, const std::string& prefix) {
    std::string base = ResolvePath(folder);
    if (!base.empty() && base.back() != '/')
        base += '/';
    // As GetTempFileName: prefix, up to four hexadecimal digits, ".tmp".
    for (unsigned n = static_cast<unsigned>(::getpid()) & 0xFFFF, tries = 0; tries < 0x10000;
         ++tries, n = (n + 1) & 0xFFFF) {
        char name[16];
        std::snprintf(name, sizeof name, "%X.tmp", n == 0 ? 1u : n);
        const std::string path = base + prefix + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

std::error_code ClearFileAttributes(const std::string& path) {
    const std::string real = ResolvePath(path);
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0 || ::chmod(real.c_str(), (st.st_mode & 0777) | S_IWUSR))
        return {errno, std::generic_category()};
    return {};
}

std::error_code SetCurrentFolder(const std::string& folder) {
    if (::chdir(ResolvePath(folder).c_str()) != 0)
        return {errno, std::generic_category()};
    return {};
}

std::error_code StartHiddenCommand(const std::string&, const EnvironmentValues&) {
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
