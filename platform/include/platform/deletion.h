// Deleting what an uninstall log names, safely: links are removed as links and never
// followed, what is in use is handed to Windows to delete at the next restart, and a
// path is compared by what it names rather than by its spelling.
#pragma once

#include <functional>
#include <map>
#include <memory>
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

// The files of one removal step, deleted one by one by their full paths (the [File]
// values of a log, thousands of them in a few folders): what must be asked of the disk
// about the way to a file (the links and junctions on it, short names, the volume) is
// asked once per folder, not once per file. Each folder is opened once (links on its
// way followed, as a path is), asked where it leads, and held open until this object
// goes; every file of it is then deleted relative to that very handle, without
// following a link in its own name, and looked up (is it there, is it a link) by the
// path the folder was opened by, which leads to the held folder while it is held. A
// folder that is not there is noted with the nearest held folder above it, and asked
// again in that folder for each file: a file below it costs one look-up of one name.
//
// Why a held folder makes the cached answer sound on Windows: the folder is held
// without FILE_SHARE_DELETE, so it can be neither renamed nor removed nor replaced by
// a link while held (nor can a folder above it be renamed while something inside is
// open); where it leads is therefore where it led when it was asked, and what is
// deleted inside it is a child of the folder that was judged. A file that is itself a
// link, or whose name may be a short name, is asked on its own, as ResolvedPathName
// asks it. Where a folder cannot be held (another program holds it, access denied)
// each file is asked by its path, as the plain functions do. On POSIX, where nothing
// can pin a folder against renaming, every call asks by path, as the plain functions
// do.
//
// Paths are canonical full paths (platform::CanonicalFullPath).
class FileFolders {
public:
    FileFolders();
    ~FileFolders(); // lets go of every held folder
    FileFolders(const FileFolders&) = delete;
    FileFolders& operator=(const FileFolders&) = delete;

    // What ResolvedPathName(path) gives.
    std::string ResolvedPathName(const std::string& path);

    // True when a file, or a link that does not lead to a folder, is at `path`
    // (FilePresent, or IsLink and not FolderPresent), as this object last found the
    // file's folder: a file whose folder was not there when ResolvedPathName asked is
    // not there either.
    bool FileOrLinkPresent(const std::string& path);

    // What DeleteOneFile(path) does, the file looked up in its held folder.
    std::error_code DeleteOneFile(const std::string& path);

    struct Folder;

private:
    Folder* Find(const std::string& folder, bool verify);
    void Look(const std::string& folder, Folder& entry);
    std::map<std::string, std::unique_ptr<Folder>> folders_;
};

} // namespace platform
