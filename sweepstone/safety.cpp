#include "safety.h"

#include "platform/shell.h"
#include "platform/unicode.h"

#include <vector>

namespace sweepstone {
namespace {

std::vector<std::string> Components(const std::string& path, size_t from) {
    std::vector<std::string> parts;
    std::string current;
    for (size_t i = from; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\') {
            if (current == "..") {
                if (!parts.empty())
                    parts.pop_back();
            } else if (!current.empty() && current != ".") {
                parts.push_back(current);
            }
            current.clear();
        } else {
            current += path[i];
        }
    }
    return parts;
}

bool IsUnc(const std::string& p) {
    return p.size() >= 2 && p[0] == '\\' && p[1] == '\\';
}

} // namespace

std::string ComparablePath(const std::string& fullPath) {
    // Letters beyond ASCII fold too (a user folder "Łukasz" is "łukasz" to the file
    // system); ASCII letters then go to upper case as before.
    std::string p = platform::FoldUtf8(fullPath);
    for (char& c : p) {
        if (c == '/')
            c = '\\';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    // Device prefixes name the same folders: \\?\C:\X is C:\X, \\?\UNC\S\X is \\S\X.
    if (p.rfind("\\\\?\\UNC\\", 0) == 0 || p.rfind("\\\\.\\UNC\\", 0) == 0)
        p = "\\\\" + p.substr(8);
    else if (p.rfind("\\\\?\\", 0) == 0 || p.rfind("\\\\.\\", 0) == 0)
        p = p.substr(4);

    std::string head; // "\\" for a share path, "C:" for a drive, "\" for a rooted path
    size_t from = 0;
    if (IsUnc(p)) {
        head = "\\\\";
        from = 2;
    } else if (p.size() >= 2 && p[1] == ':') {
        head = p.substr(0, 2);
        from = 2;
    } else if (!p.empty() && p[0] == '\\') {
        head = "\\";
    }
    std::string joined;
    for (const std::string& part : Components(p, from)) {
        if (!joined.empty())
            joined += '\\';
        joined += part;
    }
    if (head.size() == 2 && head[1] == ':')
        return head + "\\" + joined;
    return head + joined;
}

bool IsUnsafeFolder(const std::string& path, const std::vector<std::string>& protectedFolders) {
    if (path.find_first_not_of(" \t") == std::string::npos)
        return false; // names nothing; every step first tests that its target exists
    // A bare drive ("C:") means that drive's current folder to the system; whatever
    // that is, such a value names no product's folder.
    if (ComparablePath(path).size() == 3 && path.size() >= 2 && path[1] == ':')
        return true;
    const std::string full = ComparablePath(platform::FullPathName(path));
    // A drive root, the root of the current drive, or the POSIX root.
    if (full.empty() || full == "\\" || (full.size() == 3 && full[1] == ':'))
        return true;
    // A server or share root: \\server or \\server\share.
    if (IsUnc(full) && Components(full, 2).size() <= 2)
        return true;
    for (const std::string& folder : protectedFolders) {
        const std::string p = ComparablePath(folder);
        if (p.empty())
            continue;
        // The folder itself, or one that holds it.
        if (p == full || (p.size() > full.size() && p.compare(0, full.size(), full) == 0 &&
                          p[full.size()] == '\\'))
            return true;
    }
    return false;
}

bool IsUnsafeRegistryKey(const std::string& keyPath) {
    size_t parts = 0;
    std::string current;
    for (size_t i = 0; i <= keyPath.size(); ++i) {
        if (i == keyPath.size() || keyPath[i] == '\\') {
            if (current.find_first_not_of(' ') != std::string::npos)
                ++parts;
            current.clear();
        } else {
            current += keyPath[i];
        }
    }
    return parts < 2;
}

} // namespace sweepstone
