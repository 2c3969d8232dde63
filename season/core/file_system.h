// The file operations that detection and the apply engine use, given full paths.
// The real implementation passes them to the platform layer; tests may wrap it to
// watch the order of calls.
#pragma once

#include "platform/files.h"

#include <string>
#include <system_error>
#include <vector>

namespace season {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual bool Exists(const std::string& file) { return platform::FilePresent(file); }
    virtual bool FolderHasFiles(const std::string& folder) {
        return platform::FolderHasFiles(folder);
    }
    virtual std::vector<platform::FolderEntry> List(const std::string& folder,
                                                    std::error_code& error) {
        return platform::ListFolder(folder, error);
    }
    // The size and last-write time of a file; fails for a folder or nothing.
    virtual std::error_code Facts(const std::string& file, platform::FileFacts& facts) {
        return platform::ReadFileFacts(file, facts);
    }
    // True when both files can be read and hold the same bytes.
    virtual bool SameBytes(const std::string& first, const std::string& second) {
        bool same = false;
        const std::error_code failure = platform::CompareFileBytes(first, second, same);
        return !failure && same;
    }
    virtual bool FileCopy(const std::string& source, const std::string& target) {
        return !platform::CopyFileReplacing(source, target);
    }
    virtual bool FileRename(const std::string& source, const std::string& target) {
        return !platform::RenameNoReplace(source, target);
    }
    virtual bool FolderCopy(const std::string& folder, const std::string& target) {
        return platform::ShellFolderCopy(folder, target);
    }
    // True when a copy, folder copy or rename onto `target` was skipped because a
    // link leads outside the switcher's folder (link_rule.h).
    virtual bool RefusedForLink(const std::string& target) const {
        (void)target;
        return false;
    }
};

// The platform's file system.
FileSystem& RealFileSystem();

// The platform's file system for runs that nobody watches (a quiet command line,
// a scheduled task): a folder's files are copied one at a time with FileCopy, so no
// shell window shows progress or waits for an answer about a file in use. The
// outcome is the shell copy's: every file of the folder (not its sub-folders) into
// the target, which is created when missing; a read-only target file is left and
// the copy then fails, as does a folder without files.
class UnattendedFileSystem : public FileSystem {
public:
    bool FolderCopy(const std::string& folder, const std::string& target) override;
};

UnattendedFileSystem& QuietFileSystem();

// The unattended folder copy over any file system: every file of `folder` (not its
// sub-folders) through fs.FileCopy into `target`, which is created when missing; the
// others are still copied after one fails. True when there were files and all of
// them were copied.
bool CopyFolderFiles(FileSystem& fs, const std::string& folder, const std::string& target);

} // namespace season
