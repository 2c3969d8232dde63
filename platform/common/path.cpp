#include "platform/path.h"

#include "platform/unicode.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace platform {
namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool StartsNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Upper(text[i]) != Upper(prefix[i]))
            return false;
    }
    return true;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsNoCase(a, b);
}

// The names Windows opens as devices in any folder, whatever their extension.
bool IsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (SameNoCase(base, device))
            return true;
    }
    if (base.size() < 4 || !(StartsNoCase(base, "COM") || StartsNoCase(base, "LPT")))
        return false;
    const std::string_view digit = base.substr(3);
    // 0-9, and the superscript one, two and three (U+00B9, U+00B2, U+00B3).
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" ||
           digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

// The rule a name breaks, or null. `name` is one name between separators.
const char* NameRefusal(std::string_view name) {
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*')
            return "a character that Windows forbids in names";
        if (c == ':')
            return "an alternate data stream";
    }
    if (IsDeviceName(name))
        return "a DOS device name";
    return nullptr;
}

struct Reading {
    std::vector<std::string> names;
    const char* refusal = nullptr;
};

// The names after the root, "." and ".." resolved (never above the first `fixed`
// names: the server and share of a share path), trailing dots and blanks dropped.
Reading NamesOf(std::string_view rest, size_t fixed, std::vector<std::string> names = {}) {
    Reading out{std::move(names)};
    for (std::string_view name : SplitAtSeparators(rest)) {
        if (name.empty() || name == ".")
            continue;
        if (name == "..") {
            if (out.names.size() > fixed)
                out.names.pop_back();
            continue;
        }
        while (!name.empty() && (name.back() == '.' || name.back() == ' '))
            name.remove_suffix(1);
        if (name.empty()) {
            out.refusal = "a name of dots or blanks only";
            return out;
        }
        if ((out.refusal = NameRefusal(name)))
            return out;
        out.names.emplace_back(name);
    }
    return out;
}

CanonicalPath Refused(std::string rule) {
    return {std::string(), std::move(rule)};
}

CanonicalPath Joined(std::string head, const std::vector<std::string>& names, size_t from,
                     char separator) {
    for (size_t i = from; i < names.size(); ++i) {
        if (!head.empty() && head.back() != separator)
            head += separator;
        head += names[i];
    }
    return {head, std::string()};
}

CanonicalPath DrivePath(char letter, std::string_view rest) {
    const Reading r = NamesOf(rest, 0);
    if (r.refusal)
        return Refused(r.refusal);
    return Joined(std::string(1, Upper(letter)) + ":\\", r.names, 0, '\\');
}

// `rest` follows the "\\" of a share path: server, share, names.
CanonicalPath SharePath(std::string_view rest) {
    const size_t serverEnd = std::min(rest.find('\\'), rest.size());
    const std::string_view server = rest.substr(0, serverEnd);
    if (server.empty() || server == "." || server == "..")
        return Refused("a share path without a server");
    if (const char* rule = NameRefusal(server))
        return Refused(rule);
    std::vector<std::string> names = {std::string(server)};
    // Leading separators before the share are one, as between names.
    size_t shareStart = serverEnd;
    while (shareStart < rest.size() && rest[shareStart] == '\\')
        ++shareStart;
    if (shareStart < rest.size()) {
        const size_t shareEnd = std::min(rest.find('\\', shareStart), rest.size());
        const std::string_view share = rest.substr(shareStart, shareEnd - shareStart);
        if (share == "." || share == "..")
            return Refused("a share path without a share");
        if (const char* rule = NameRefusal(share))
            return Refused(rule);
        names.emplace_back(share);
        const Reading r =
            NamesOf(rest.substr(std::min(shareEnd + 1, rest.size())), 2, std::move(names));
        if (r.refusal)
            return Refused(r.refusal);
        names = r.names;
    }
    std::string head = "\\\\" + names[0];
    return Joined(std::move(head), names, 1, '\\');
}

CanonicalPath WindowsPath(std::string p) {
    for (char& c : p) {
        if (c == '/')
            c = '\\';
    }
    const std::string_view v = p;
    const bool drive = v.size() >= 2 && IsLetter(v[0]) && v[1] == ':';
    if (drive)
        return v.size() >= 3 && v[2] == '\\' ? DrivePath(v[0], v.substr(3))
                                             : Refused("a drive-relative path");
    if (StartsNoCase(v, "\\\\?\\") || StartsNoCase(v, "\\\\.\\")) {
        // The device prefixes: they name a drive folder or a share like the plain
        // forms, or else a device or volume that is never a product's folder.
        const std::string_view rest = v.substr(4);
        if (StartsNoCase(rest, "UNC\\"))
            return SharePath(rest.substr(4));
        if (rest.size() >= 2 && IsLetter(rest[0]) && rest[1] == ':' &&
            (rest.size() == 2 || rest[2] == '\\'))
            return DrivePath(rest[0], rest.substr(std::min<size_t>(3, rest.size())));
        if (StartsNoCase(rest, "Volume{"))
            return Refused("a volume GUID path");
        return Refused("a device path");
    }
    if (StartsNoCase(v, "\\\\"))
        return SharePath(v.substr(2));
    if (!v.empty() && v[0] == '\\') {
        // Win32 reads "\??\C:\x" as "\??\C:\x" on the current drive, the system's
        // lower layers as C:\x itself: a spelling whose check and act may differ.
        for (std::string_view nt : {"\\??\\", "\\Device\\", "\\GLOBAL??\\", "\\DosDevices\\"}) {
            if (StartsNoCase(v, nt))
                return Refused("an NT path");
        }
        return Refused("a path relative to the current drive's root");
    }
    return Refused("a relative path");
}

CanonicalPath PosixPath(std::string p) {
    for (char& c : p) {
        if (c == '\\')
            c = '/';
    }
    if (p.empty() || p[0] != '/')
        return Refused("a relative path");
    // "//x" is left to the system by POSIX; here it is what it is on Windows, a device
    // or a share, and neither is a folder of this side.
    if (p.size() >= 2 && p[1] == '/') {
        const CanonicalPath windows = WindowsPath(p);
        return Refused(windows.Accepted() ? "a share path" : windows.refusal.c_str());
    }
    for (char& c : p) {
        if (c == '/')
            c = '\\';
    }
    const Reading r = NamesOf(p, 0);
    if (r.refusal)
        return Refused(r.refusal);
    return Joined("/", r.names, 0, '/');
}

size_t FolderEnd(std::string_view path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string_view::npos ? 0 : cut + 1;
}

} // namespace

CanonicalPath CanonicalFullPath(std::string_view value, PathStyle style) {
    return style == PathStyle::Windows ? WindowsPath(std::string(value))
                                       : PosixPath(std::string(value));
}

std::vector<std::string_view> SplitAtSeparators(std::string_view path) {
    std::vector<std::string_view> names;
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < path.size() && !IsPathSeparator(path[end]))
            ++end;
        names.push_back(path.substr(start, end - start));
        if (end == path.size())
            return names;
        start = end + 1;
    }
}

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

std::string FolderOf(std::string_view path) {
    return std::string(path.substr(0, FolderEnd(path)));
}

std::string NameOf(std::string_view path) {
    return std::string(path.substr(FolderEnd(path)));
}

std::string ParentOf(std::string_view path) {
    while (!path.empty() && IsPathSeparator(path.back()))
        path.remove_suffix(1);
    const size_t end = FolderEnd(path);
    if (end == 0)
        return std::string();
    std::string_view folder = path.substr(0, end);
    if (folder.back() != ':') // "C:" keeps its colon
        folder.remove_suffix(1);
    return std::string(folder);
}

std::string BaseFolderOf(std::string_view programPath) {
    std::string folder = FolderOf(programPath);
    if (folder.empty() || !IsPathSeparator(folder.back()))
        folder += '\\';
    return folder;
}

std::string WithoutExtensions(std::string_view path) {
    const size_t start = FolderEnd(path);
    return std::string(path.substr(0, std::min(path.find('.', start), path.size())));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (!out.empty() && !IsPathSeparator(out.back()))
        out += '\\';
    out += name;
    return out;
}

bool SamePathText(std::string_view first, std::string_view second) {
    // Each path as its names with one "\\" between them.
    const auto names = [](std::string_view path) {
        std::string out;
        for (size_t i = 0; i < path.size(); ++i) {
            if (!IsPathSeparator(path[i]))
                out += path[i];
            else if (i + 1 < path.size() && !IsPathSeparator(path[i + 1]))
                out += '\\';
        }
        return out;
    };
    return EqualFolded(names(first), names(second));
}

} // namespace platform
