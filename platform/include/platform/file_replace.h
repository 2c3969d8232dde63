// Replacing a file's whole content so that no reader and no crash ever sees it half
// written.
#pragma once

#include <string>
#include <system_error>

namespace platform {

// Writes `bytes` to a new temporary file in the folder of `path`, flushes it to the
// disk and moves it over `path` in one step (Windows: MoveFileExW with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH; POSIX: fsync and rename). The
// file keeps its attributes (Windows) or permission bits (POSIX). `path` must name an existing
// file; a read-only one is refused, as the profile functions refuse it. On any
// failure (read-only or locked file, folder not writable, disk full) the original is
// left untouched, the temporary file is removed and the failure is returned.
std::error_code ReplaceFileContent(const std::string& path, const std::string& bytes);

// Writes `bytes` as the whole content of the file `path`, creating it when it is
// missing, but never through a link: the file is opened without following a link
// at its name (FILE_FLAG_OPEN_REPARSE_POINT; O_NOFOLLOW), and a name that is a
// symbolic link, a junction or any other reparse point, or a file with more than
// one name (a hard link), is refused untouched (ERROR_CANT_ACCESS_FILE; ELOOP or
// EMLINK). For the reports that an elevated program writes where its caller said.
std::error_code WriteFileNotThroughLink(const std::string& path, const std::string& bytes);

} // namespace platform
