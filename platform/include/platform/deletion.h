// Deleting what an uninstall log names, safely: links are removed as links and never
// followed, what is in use is handed to Windows to delete at the next restart, and a
// path is compared by what it names rather than by its spelling.
#pragma once

#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

// The full path that `path` names on disk: relative parts and "." / ".." resolved,
// 8.3 short names expanded and symbolic links and junctions followed, as far as the
// path exists; the part that does not exist is kept as written. On Win32 the result
// carries no \\?\ prefix. When nothing can be resolved, FullPathName(path).
std::string ResolvedPathName(const std::string& path);

// True when `path` itself is a symbolic link or a junction (any reparse point on
// Win32), whatever it points to; false when it is anything else or missing.
bool IsLink(const std::string& path);

// True when `error` says that a file or folder is held by a running program: a
// sharing or lock violation, a mapped file, or access denied (Windows gives that for
// a running program's own file). Never true on POSIX.
bool IsInUseError(std::error_code error);

// Deletes one file; a read-only file too (its attribute is cleared first). A link
// is deleted as a link.
std::error_code DeleteOneFile(const std::string& path);

// What deleting a tree left behind.
struct TreeDeletion {
    std::error_code error;          // the first failure that was not "in use"
    std::vector<std::string> inUse; // held by a program, children before their folders
};

// Deletes a folder with everything below it, children first: silent, permanent,
// read-only files included. A symbolic link or junction, inside or the folder
// itself, is removed as a link; its target is never entered. Whatever fails is
// passed over and the rest still goes. Items in use are listed in `inUse`, each
// followed later by the folders that stay because they hold it.
TreeDeletion DeleteTree(const std::string& folder);

// Asks the system to delete a file or an empty folder at the next restart
// (MoveFileExW with MOVEFILE_DELAY_UNTIL_REBOOT, which needs administrator rights).
// Entries run in the order they were made, so a folder scheduled after its contents
// goes after them. Without such a service (POSIX) the path is appended as one line
// to the file that the environment variable BRIGHTMERE_RESTART_RECORD names.
std::error_code DeleteAtRestart(const std::string& path);

// Removes `folder` alone, and only when it is an empty folder that is not a link: a
// folder that holds anything, a link, a file or nothing there gives an error and is
// left as it is. The folder is opened once, without following a link in its own
// name; `allowed` is asked with the path that open folder has on disk (links above
// it followed), and the same open folder is deleted only when it answers true, so
// that nothing can be swapped in between the question and the deletion.
std::error_code RemoveEmptyFolder(const std::string& folder,
                                  const std::function<bool(const std::string& onDisk)>& allowed);

} // namespace platform
