// File system operations as the switcher and the uninstall wizard see them.
//
// Paths are Windows paths in UTF-8: "\" separates folders ("/" is accepted too)
// and names match without regard to case. The Win32 side calls the system's wide
// functions directly (long paths in the "\\?\" form); the POSIX side gives the same
// outward behaviour on a Linux file system so that the logic above can be tested
// natively.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

// True when `path` names an existing file. A folder, or nothing, gives false.
// The file's timestamp plays no part: a file dated 1970 is as present as any.
bool FilePresent(const std::string& path);

// True when `path` names an existing folder.
bool FolderPresent(const std::string& path);

// True when `folder` exists and holds at least one file (sub-folders do not count).
bool FolderHasFiles(const std::string& folder);

// What a copy carries over from its source: the size and the last-write time
// (CopyFileW keeps the source's; so does the POSIX side's copy).
struct FileFacts {
    std::uint64_t size = 0;
    std::int64_t lastWrite = 0; // 100 ns steps on Windows, nanoseconds on POSIX
};

// The facts of a file; fails for a folder or nothing.
std::error_code ReadFileFacts(const std::string& path, FileFacts& facts);

// Compares the bytes of two files; `same` tells whether they hold the same bytes.
std::error_code CompareFileBytes(const std::string& first, const std::string& second, bool& same);

// Copies a file; an existing target is replaced (CopyFileW with bFailIfExists FALSE).
std::error_code CopyFileReplacing(const std::string& source, const std::string& target);

// Copies a file as CopyFileReplacing does (the source's bytes, attributes and
// last-write time; never over a read-only file), but only into the file that
// `target` names when that file lies at `resolvedTarget`, a path as
// ResolvedPathName gave it when the write was checked. The target is opened first
// (a new one without following a link at its name) and its place is read from the
// open handle, then written through that handle: a link put on the way after the
// check cannot lead the write elsewhere. `ledElsewhere` tells that the target lay
// elsewhere; nothing is written then.
std::error_code CopyFileOntoResolved(const std::string& source, const std::string& target,
                                     const std::string& resolvedTarget, bool& ledElsewhere);

// Renames a file or folder; fails when the source is missing or the new name is
// taken (MoveFileW, which never replaces).
std::error_code RenameNoReplace(const std::string& source, const std::string& target);

// Deletes one file (DeleteFileW).
std::error_code RemoveFile(const std::string& path);

// Creates a folder and any missing parents.
std::error_code MakeFolders(const std::string& path);

struct FolderEntry {
    std::string name;
    bool directory = false;
    bool hidden = false;
    bool system = false;
};

// The entries of a folder, "." and ".." left out, in no particular order. On
// POSIX a dot-name counts as hidden and nothing is a system entry.
std::vector<FolderEntry> ListFolder(const std::string& folder, std::error_code& error);

// Copies every file of `folder` (not its sub-folders) into `target`, replacing
// what is there and creating `target` when it is missing; a read-only target file
// is never replaced. On Windows this is one shell copy of the folder's files with
// FOF_NOCONFIRMATION | FOF_FILESONLY. Returns true only when every file was
// copied: false for a read-only target, a folder without files, or a copy that
// failed or that the user cancelled or skipped in the shell's windows.
bool ShellFolderCopy(const std::string& folder, const std::string& target);

// The window that owns the shell's progress and error windows of ShellFolderCopy
// from now on (a window handle; null: none). Windows only; ignored on POSIX.
void SetShellOwner(void* window);

// True when a file can be created in `folder` as the program now runs: a
// temporary file is created there and deleted again. False for a missing folder.
bool FolderWritable(const std::string& folder);

// Full path of the running program file.
std::string ProgramPath();

// The temporary folder, ending in a backslash on Windows and a slash on POSIX.
std::string TempFolder();

// Reads or writes a whole file as bytes (used by tests and tools).
std::error_code ReadWholeFile(const std::string& path, std::string& bytes);
std::error_code WriteWholeFile(const std::string& path, const std::string& bytes);

// Sets or clears the read-only attribute (on POSIX: the write permission bits).
std::error_code SetReadOnly(const std::string& path, bool readOnly);

} // namespace platform
