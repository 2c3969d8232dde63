// Writing below the switcher's folder with administrator rights. A link (symbolic
// link or junction) in an add-on folder that a user may write would turn a copy
// over an add-on's texture into a copy over any file; flight-simulator users link
// add-on folders to other drives on purpose, so links are not refused as such. A
// write of an elevated run goes ahead when its target, resolved through every link,
// lies below the switcher's folder (resolved the same way), or when every link on
// the way from that folder to the target was made by an administrator.
#pragma once

#include "file_system.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace season {

// What the rule needs of the system, injected so that it is plain code.
struct LinkQueries {
    // The path as the system resolves it through every link, as far as it exists;
    // the rest as written.
    std::function<std::string(const std::string& path)> resolve;
    // True when `path` itself is a link, not following it.
    std::function<bool(const std::string& path)> isLink;
    // True when `path` leads to an existing file or folder (through its links).
    std::function<bool(const std::string& path)> exists;
    // True when the link itself is owned by Administrators, SYSTEM or
    // TrustedInstaller.
    std::function<bool(const std::string& path)> madeByAdministrator;
};

// The platform's answers.
LinkQueries PlatformLinkQueries();

// Where writing `target` (a file, or the folder a folder copy fills) lands when it
// keeps to `base` by the rule above: the target's path as the system resolves it
// now; nothing when the rule refuses the write. `resolvedBase` is
// links.resolve(base), asked once for a run.
std::optional<std::string> CheckedWritePlace(const std::string& base,
                                             const std::string& resolvedBase,
                                             const std::string& target, const LinkQueries& links);

// A file system for runs with administrator rights: each copy, folder copy and
// rename whose target breaks the rule is skipped and fails, and its target is
// remembered so that the message can say why. A file is copied only into the file
// that lies where the check found the target (platform::CopyFileOntoResolved), so
// that a link a user puts on the way after the check cannot take the write; a
// folder's files are copied so one at a time, never by the shell. A rename is
// checked by its paths and made by them (MoveFileW).
class LinkCheckingFileSystem : public FileSystem {
public:
    LinkCheckingFileSystem(FileSystem& inner, std::string base, LinkQueries links);

    bool Exists(const std::string& file) override { return inner_.Exists(file); }
    bool FolderHasFiles(const std::string& folder) override {
        return inner_.FolderHasFiles(folder);
    }
    std::vector<platform::FolderEntry> List(const std::string& folder,
                                            std::error_code& error) override {
        return inner_.List(folder, error);
    }
    std::error_code Facts(const std::string& file, platform::FileFacts& facts) override {
        return inner_.Facts(file, facts);
    }
    bool SameBytes(const std::string& first, const std::string& second) override {
        return inner_.SameBytes(first, second);
    }
    bool FileCopy(const std::string& source, const std::string& target) override;
    bool FileRename(const std::string& source, const std::string& target) override;
    bool FolderCopy(const std::string& folder, const std::string& target) override;

    bool RefusedForLink(const std::string& target) const override {
        return refused_.count(target) != 0;
    }

private:
    // True when every path of `writes` keeps to the folder; otherwise `target` is
    // remembered as refused.
    bool Allowed(const std::vector<std::string>& writes, const std::string& target);

    FileSystem& inner_;
    std::string base_;
    LinkQueries links_;
    std::string resolvedBase_;
    std::set<std::string> refused_;
};

} // namespace season
