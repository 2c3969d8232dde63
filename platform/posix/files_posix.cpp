// POSIX side of the file system layer: the outward behaviour of the Win32 side on
// a Linux file system. Windows path rules are honoured so that code written for
// Windows paths runs unchanged in native tests: "\" and "/" both separate, and each
// path component is matched against the folder's entries without regard to case.
#include "platform/files.h"
#include "platform/path.h"
#include "platform/text.h"
#include "platform/unicode.h"
#include "posix_path.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <unordered_map>

namespace platform {
namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool Exists(const std::string& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

// The case-folded names of one folder's entries, kept while the folder's
// modification time stays the same (adding, removing or renaming an entry changes
// it). Without it every miss in a large folder would read the whole folder again.
struct FolderIndex {
    struct timespec mtime {};
    std::unordered_map<std::string, std::string> byLowerName;
};

// Names are UTF-8; letters of every script the folding knows match without case,
// as NTFS matches them.
std::string LowerName(const std::string& s) {
    return FoldUtf8(s);
}

// Finds the entry of `folder` whose name matches `name` without regard to case.
bool FindNoCase(const std::string& folder, const std::string& name, std::string& found) {
    static std::mutex mutex;
    static std::unordered_map<std::string, FolderIndex> cache;
    const std::string dirPath = folder.empty() ? "." : folder;
    struct stat st {};
    if (::stat(dirPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;

    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.find(dirPath);
    if (it == cache.end() || it->second.mtime.tv_sec != st.st_mtim.tv_sec ||
        it->second.mtime.tv_nsec != st.st_mtim.tv_nsec) {
        DIR* dir = ::opendir(dirPath.c_str());
        if (!dir)
            return false;
        if (cache.size() > 256)
            cache.clear();
        FolderIndex index;
        index.mtime = st.st_mtim;
        while (dirent* e = ::readdir(dir))
            index.byLowerName.emplace(LowerName(e->d_name), e->d_name);
        ::closedir(dir);
        it = cache.insert_or_assign(dirPath, std::move(index)).first;
    }
    auto hit = it->second.byLowerName.find(LowerName(name));
    if (hit == it->second.byLowerName.end())
        return false;
    found = hit->second;
    return true;
}

} // namespace

// Maps a Windows-style path onto the POSIX file system. Components that exist in
// another letter case are replaced by their real spelling; from the first component
// that does not exist on, the rest is kept as written.
std::string ResolvePath(const std::string& path) {
    std::string out;
    const bool absolute = !path.empty() && IsSeparator(path[0]);
    if (absolute)
        out = "/";
    bool matching = true;
    size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && IsSeparator(path[i]))
            ++i;
        size_t j = i;
        while (j < path.size() && !IsSeparator(path[j]))
            ++j;
        if (j == i)
            break;
        std::string comp = path.substr(i, j - i);
        i = j;
        if (comp == ".")
            continue;
        std::string base = out;
        if (!base.empty() && base.back() != '/')
            base += '/';
        std::string candidate = base + comp;
        if (matching && comp != ".." && !Exists(candidate)) {
            std::string real;
            if (FindNoCase(out, comp, real))
                candidate = base + real;
            else
                matching = false;
        }
        out = candidate;
    }
    if (out.empty())
        out = ".";
    return out;
}

bool FilePresent(const std::string& path) {
    struct stat st {};
    return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderPresent(const std::string& path) {
    struct stat st {};
    return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FolderHasFiles(const std::string& folder) {
    const std::string real = ResolvePath(folder);
    DIR* dir = ::opendir(real.c_str());
    if (!dir)
        return false;
    bool any = false;
    while (dirent* e = ::readdir(dir)) {
        struct stat st {};
        if (::stat((real + "/" + e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            any = true;
            break;
        }
    }
    ::closedir(dir);
    return any;
}

namespace {

// Copies what is left of `in` into `out` and gives `out` the source's last-write
// time, as CopyFile does; closes both.
std::error_code CopyThrough(int in, int out, const struct stat& st) {
    char buf[64 * 1024];
    std::error_code result;
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0) {
            result = LastError();
            break;
        }
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
            if (w < 0) {
                result = LastError();
                break;
            }
            done += w;
        }
        if (result)
            break;
    }
    const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    if (!result && ::futimens(out, times) != 0)
        result = LastError();
    ::close(in);
    if (::close(out) != 0 && !result)
        result = LastError();
    return result;
}

std::error_code CopyBytes(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return LastError();
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return std::make_error_code(std::errc::is_a_directory);
    }
    // Like CopyFile, a read-only target is not overwritten.
    struct stat tst {};
    if (::stat(to.c_str(), &tst) == 0) {
        if (S_ISDIR(tst.st_mode)) {
            ::close(in);
            return std::make_error_code(std::errc::is_a_directory);
        }
        if ((tst.st_mode & S_IWUSR) == 0) {
            ::close(in);
            return std::make_error_code(std::errc::permission_denied);
        }
        // The source itself (another spelling of it): Windows refuses the copy with
        // a sharing violation; truncating the target would empty the source.
        if (tst.st_dev == st.st_dev && tst.st_ino == st.st_ino) {
            ::close(in);
            return std::make_error_code(std::errc::device_or_resource_busy);
        }
    }
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        auto e = LastError();
        ::close(in);
        return e;
    }
    return CopyThrough(in, out, st);
}

} // namespace

std::error_code CopyFileReplacing(const std::string& source, const std::string& target) {
    return CopyBytes(ResolvePath(source), ResolvePath(target));
}

std::error_code CopyFileOntoResolved(const std::string& source, const std::string& target,
                                     const std::string& resolvedTarget, bool& ledElsewhere) {
    ledElsewhere = false;
    const int in = ::open(ResolvePath(source).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return LastError();
    const auto fail = [&](std::error_code error, int out = -1) {
        ::close(in);
        if (out >= 0)
            ::close(out);
        return error;
    };
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode))
        return fail(std::make_error_code(std::errc::is_a_directory));
    // An existing target through its links, which the check resolved; a new one at
    // its very name (O_EXCL fails on a link there).
    const std::string to = ResolvePath(target);
    bool created = false;
    int out = ::open(to.c_str(), O_WRONLY | O_CLOEXEC);
    if (out < 0 && errno == ENOENT) {
        out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     st.st_mode & 0777);
        created = true;
    }
    if (out < 0)
        return fail(LastError());
    char place[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(out);
    const ssize_t n = ::readlink(link.c_str(), place, sizeof place - 1);
    if (n <= 0 || !SamePathText(std::string(place, static_cast<size_t>(n)), resolvedTarget)) {
        ledElsewhere = true;
        if (created && n > 0)
            ::unlink(std::string(place, static_cast<size_t>(n)).c_str());
        return fail(std::make_error_code(std::errc::permission_denied), out);
    }
    struct stat tst {};
    if (::fstat(out, &tst) != 0 || S_ISDIR(tst.st_mode))
        return fail(std::make_error_code(std::errc::is_a_directory), out);
    if (!created && (tst.st_mode & S_IWUSR) == 0)
        return fail(std::make_error_code(std::errc::permission_denied), out);
    if (tst.st_dev == st.st_dev && tst.st_ino == st.st_ino)
        return fail(std::make_error_code(std::errc::device_or_resource_busy), out);
    if (::ftruncate(out, 0) != 0)
        return fail(LastError(), out);
    return CopyThrough(in, out, st);
}

std::error_code ReadFileFacts(const std::string& path, FileFacts& facts) {
    struct stat st {};
    if (::stat(ResolvePath(path).c_str(), &st) != 0)
        return LastError();
    if (!S_ISREG(st.st_mode))
        return std::make_error_code(std::errc::is_a_directory);
    facts.size = static_cast<std::uint64_t>(st.st_size);
    facts.lastWrite =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return {};
}

std::error_code CompareFileBytes(const std::string& first, const std::string& second, bool& same) {
    same = false;
    std::ifstream a(ResolvePath(first), std::ios::binary);
    std::ifstream b(ResolvePath(second), std::ios::binary);
    if (!a || !b)
        return std::make_error_code(std::errc::no_such_file_or_directory);
    char bufA[64 * 1024];
    char bufB[64 * 1024];
    for (;;) {
        a.read(bufA, sizeof bufA);
        b.read(bufB, sizeof bufB);
        const std::streamsize gotA = a.gcount();
        if (gotA != b.gcount() || std::memcmp(bufA, bufB, static_cast<size_t>(gotA)) != 0)
            return {};
        if (gotA == 0 || !a || !b)
            break;
    }
    same = a.eof() && b.eof();
    return {};
}

std::error_code RenameNoReplace(const std::string& source, const std::string& target) {
    const std::string from = ResolvePath(source);
    const std::string to = ResolvePath(target);
    if (!Exists(from))
        return std::make_error_code(std::errc::no_such_file_or_directory);
    // The new name counts as taken in any letter case, except when only the case of
    // the source's own name changes.
    if (Exists(to) && to != from)
        return std::make_error_code(std::errc::file_exists);
    if (::rename(from.c_str(), to.c_str()) != 0)
        return LastError();
    return {};
}

std::error_code RemoveFile(const std::string& path) {
    const std::string real = ResolvePath(path);
    struct stat st {};
    if (::lstat(real.c_str(), &st) != 0)
        return LastError();
    if (S_ISDIR(st.st_mode))
        return std::make_error_code(std::errc::is_a_directory);
    if (::unlink(real.c_str()) != 0)
        return LastError();
    return {};
}

std::error_code MakeFolders(const std::string& path) {
    const std::string real = ResolvePath(path);
    std::string partial;
    for (size_t i = 0; i <= real.size(); ++i) {
        if (i == real.size() || real[i] == '/') {
            if (!partial.empty() && partial != "/" && !Exists(partial)) {
                if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
                    return LastError();
            }
        }
        if (i < real.size())
            partial += real[i];
    }
    return FolderPresent(path) ? std::error_code{}
                               : std::make_error_code(std::errc::not_a_directory);
}

std::vector<FolderEntry> ListFolder(const std::string& folder, std::error_code& error) {
    std::vector<FolderEntry> entries;
    const std::string real = ResolvePath(folder);
    DIR* dir = ::opendir(real.c_str());
    if (!dir) {
        error = LastError();
        return entries;
    }
    error.clear();
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        FolderEntry entry;
        entry.name = name;
        entry.directory = ::stat((real + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entry.hidden = name[0] == '.';
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return entries;
}

bool ShellFolderCopy(const std::string& folder, const std::string& target) {
    const std::string from = ResolvePath(folder);
    std::error_code error;
    std::vector<FolderEntry> entries = ListFolder(folder, error);
    if (error)
        return false;
    bool anyFile = false;
    for (const auto& e : entries)
        anyFile = anyFile || !e.directory;
    if (!anyFile)
        return false; // the wildcard matched nothing
    if (MakeFolders(target))
        return false;
    const std::string to = ResolvePath(target);
    bool ok = true;
    for (const auto& e : entries) {
        if (e.directory)
            continue;
        // An existing target entry in another letter case is written under its own name.
        std::string name = e.name;
        std::string existing;
        if (FindNoCase(to, e.name, existing))
            name = existing;
        if (CopyBytes(from + "/" + e.name, to + "/" + name))
            ok = false;
    }
    return ok;
}

void SetShellOwner(void*) {}

bool FolderWritable(const std::string& folder) {
    std::string base = ResolvePath(folder);
    if (!base.empty() && base.back() != '/')
        base += '/';
    std::string name = base + "stwXXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(name.c_str());
    return true;
}

std::string ProgramPath() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    return std::string(buf, static_cast<size_t>(n));
}

std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp && *tmp) ? tmp : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

std::error_code ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(ResolvePath(path), std::ios::binary);
    if (!in)
        return std::make_error_code(std::errc::no_such_file_or_directory);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.bad() ? std::make_error_code(std::errc::io_error) : std::error_code{};
}

std::error_code WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(ResolvePath(path), std::ios::binary | std::ios::trunc);
    if (!out)
        return std::make_error_code(std::errc::permission_denied);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out ? std::error_code{} : std::make_error_code(std::errc::io_error);
}

std::error_code SetReadOnly(const std::string& path, bool readOnly) {
    const std::string real = ResolvePath(path);
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0)
        return LastError();
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
    if (::chmod(real.c_str(), mode) != 0)
        return LastError();
    return {};
}

} // namespace platform
