// Paths as text: the one reading of a value that names a file or folder (its
// canonical full path, or the rule that refuses it), and the splits of a path into
// its folder and name. Plain C++, the same on every system, so that what is checked
// and what is acted on are one string however the value was spelled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The rules a path is read by: Windows' (drives, shares, "\" or "/" between names)
// or, on the native-test side, POSIX's ("/" at the root, "\" or "/" between names).
enum class PathStyle { Windows, Posix };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

// A value read as a full path: `path` when it names one file or folder by its full
// path, otherwise `refusal`, the rule that refuses it, as a report names it.
struct CanonicalPath {
    std::string path;    // empty when refused
    std::string refusal; // empty when accepted
    bool Accepted() const { return refusal.empty(); }
};

// Reads `value` as a full path by Windows' rules, without asking the disk.
//
// Accepted: "X:\..." and "\\server\share\...", also written "\\?\X:\...",
// "\\.\X:\...", "\\?\UNC\server\share\..." or "\\.\UNC\...", "/" for "\". The
// canonical form is "X:\a\b" (drive letter in upper case) or "\\server\share\a",
// "\" between names, repeated separators as one, "." and ".." resolved (".." stops
// at the drive or share root, as GetFullPathNameW stops), no trailing separator but
// a drive root's ("X:\"), the trailing dots and blanks of every name dropped (the
// plain spelling of "Windows." opens "Windows", so that is the folder meant; a name
// of dots or blanks only is refused). Names keep their case.
//
// Refused: NT paths ("\??\", "\Device\", "\GLOBAL??\", "\DosDevices\"), other
// root-relative paths ("\foo"), drive-relative paths ("C:", "C:foo"), relative
// paths, volume GUID paths ("\\?\Volume{...}") and other device paths
// ("\\.\PhysicalDrive0", "\\?\GLOBALROOT\..."), a share path without a server, DOS
// device names as any name (CON, PRN, AUX, NUL, COM0-9, LPT0-9, the superscript
// COM and LPT digits, CONIN$, CONOUT$; with any extension, "nul.txt"), alternate data
// streams ("file:stream", any ":" after the drive), and the characters Windows
// forbids in names (< > " | ? * and control characters).
//
// With PathStyle::Posix the value must begin with "/" or "\" and the canonical form
// is "/a/b" ("/" for the root); the rules for names are the same.
CanonicalPath CanonicalFullPath(std::string_view value, PathStyle style = kNativePathStyle);

// True for "\" and "/".
bool IsPathSeparator(char c);

// The names between the separators of `path`, in order, empty ones included
// ("C:\a\" -> "C:", "a", ""); views into `path`.
std::vector<std::string_view> SplitAtSeparators(std::string_view path);

// The folder part of a path as written: everything up to and including its last
// separator or a drive's ":"; empty when it has neither ("C:\a\b" -> "C:\a\",
// "C:b" -> "C:", "b" -> "").
std::string FolderOf(std::string_view path);

// The name after the folder part ("C:\a\b.txt" -> "b.txt"; a path ending in a
// separator has none).
std::string NameOf(std::string_view path);

// The path without its last name and the separator before it; a drive or share
// root, or a name without folder, has none ("C:\a\b" -> "C:\a", "C:\a" -> "C:",
// "b" -> ""). Separators at the end are passed over first ("C:\a\b\" -> "C:\a").
std::string ParentOf(std::string_view path);

// The folder of a program's file ending in a separator, as the programs name the
// folder they work in: FolderOf, with "\" added when it ends in none
// ("C:season.exe" -> "C:\", "season.exe" -> "\").
std::string BaseFolderOf(std::string_view programPath);

// The path without the extensions of its name: up to the name's first "."
// ("C:\My.Addons\a.b.exe" -> "C:\My.Addons\a").
std::string WithoutExtensions(std::string_view path);

// `folder` and `name` with one separator between them ("\" unless `folder` already
// ends in a separator).
std::string JoinPath(std::string_view folder, std::string_view name);

// True when two full paths are one place by their text, as the system resolves
// names: without regard to case, "/" and "\" alike, repeated separators and
// separators at the end passed over ("C:\A\\b\" and "c:/a/B" are one place).
bool SamePathText(std::string_view first, std::string_view second);

} // namespace platform
