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
    virtual bool FileCopy(const std::string& source, const std::string& target) {
        return !platform::CopyFileReplacing(source, target);
    }
    virtual bool FileRename(const std::string& source, const std::string& target) {
        return !platform::RenameNoReplace(source, target);
    }
    virtual bool FolderCopy(const std::string& folder, const std::string& target) {
        return platform::ShellFolderCopy(folder, target);
    }
};

// The platform's file system.
FileSystem& RealFileSystem();

} // namespace season
