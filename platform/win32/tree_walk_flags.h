// How the tree walk opens what it deletes (deletion_win32.cpp). Every open takes the
// object itself, never what a link points to (FILE_OPEN_REPARSE_POINT), and asks for
// DELETE so that the deletion goes through the handle that was checked. A folder is
// opened without FILE_SHARE_DELETE: while the walk holds it, nobody can rename it,
// delete it or put a link in its place.
#pragma once

#include "windows_support.h"

#include <winternl.h>

namespace platform::win32::walk {

struct OpenFlags {
    ACCESS_MASK access;
    ULONG share;
    ULONG options; // NtCreateFile's create options
};

// A folder the walk lists, empties and then removes.
inline constexpr OpenFlags kFolder = {
    DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
    FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT};
// A folder that another program holds so that it cannot be deleted (a command window's
// current folder): still held against renaming while its contents go.
inline constexpr OpenFlags kHeldFolder = {FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT};
// A file or a link: deleted through this handle at once, never entered.
inline constexpr OpenFlags kFile = {DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES |
                                        SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT};

// A file or a link that is no folder, deleted when this handle closes: the way a file
// goes in one open and one close (DeleteFileW's). A folder, or a junction, is not
// opened at all; what cannot be deleted this way (a read-only file, one in use) is
// opened again with kFile, so that the reason is the one its handle gives.
inline constexpr OpenFlags kFileDeletedOnClose = {
    DELETE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
    FILE_OPEN_REPARSE_POINT | FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE |
        FILE_SYNCHRONOUS_IO_NONALERT};
// A folder that holds files deleted one by one (platform::FileFolders): held against
// renaming, removal and replacement while its files are looked up and deleted
// relative to it. Opened by its path, links on its way followed as a path is.
inline constexpr DWORD kHeldFileFolderAccess =
    FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
inline constexpr DWORD kHeldFileFolderShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

// CreateFileW's flags for the folder a deletion starts at and for a single file; what
// the walk opens below it is opened relative to its folder's handle with the flags above.
inline constexpr DWORD kFolderByPath = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
inline constexpr DWORD kFileByPath = FILE_FLAG_OPEN_REPARSE_POINT;

} // namespace platform::win32::walk
