#include "link_rule.h"

#include "platform/deletion.h"
#include "platform/files.h"
#include "platform/rights.h"
#include "platform/unicode.h"

#include <vector>

namespace season {
namespace {

bool Separator(char c) {
    return c == '\\' || c == '/';
}

std::string Trimmed(std::string path) {
    while (path.size() > 1 && Separator(path.back()))
        path.pop_back();
    return path;
}

// True when `path` is `folder` or lies below it, without regard to case.
bool Below(const std::string& path, const std::string& folder) {
    const std::string p = platform::FoldUtf8(Trimmed(path));
    const std::string f = platform::FoldUtf8(Trimmed(folder));
    if (p.size() < f.size() || p.compare(0, f.size(), f) != 0)
        return false;
    return p.size() == f.size() || Separator(p[f.size()]) || Separator(f.back());
}

} // namespace

LinkQueries PlatformLinkQueries() {
    LinkQueries links;
    links.resolve = [](const std::string& path) {
        return platform::ResolvedPathName(path);
    };
    links.isLink = [](const std::string& path) {
        return platform::IsLink(path);
    };
    links.exists = [](const std::string& path) {
        return platform::FilePresent(path) || platform::FolderPresent(path);
    };
    links.madeByAdministrator = [](const std::string& path) {
        platform::OwnerKind owner = platform::OwnerKind::Other;
        const std::error_code failure = platform::LinkOwner(path, owner);
        return !failure && owner != platform::OwnerKind::Other;
    };
    return links;
}

std::optional<std::string> CheckedWritePlace(const std::string& base,
                                             const std::string& resolvedBase,
                                             const std::string& target, const LinkQueries& links) {
    const std::string root = Trimmed(base);
    const std::string path = Trimmed(target);
    if (!Below(path, root))
        return std::nullopt;
    // The parts of the target below the folder, each a step on the way; "." and
    // ".." would leave it as written.
    std::vector<std::string> steps;
    for (size_t at = root.size(), start = root.size(); at <= path.size(); ++at) {
        if (at < path.size() && !Separator(path[at]))
            continue;
        const std::string name = path.substr(start, at - start);
        if (name == "." || name == "..")
            return std::nullopt;
        if (!name.empty())
            steps.push_back(path.substr(0, at));
        start = at + 1;
    }
    // Without a link on the way the target is the folder's own, wherever the folder
    // itself leads: resolved, it is the folder's resolved path with these names
    // appended, so the system is asked to resolve only when a link stands between.
    std::vector<bool> link(steps.size());
    bool anyLink = false;
    // A link that leads nowhere would create its target wherever it points.
    bool dangling = false;
    for (size_t i = 0; i < steps.size(); ++i) {
        link[i] = links.isLink(steps[i]);
        anyLink = anyLink || link[i];
        dangling = dangling || (link[i] && !links.exists(steps[i]));
    }
    if (!anyLink)
        return Trimmed(resolvedBase) + path.substr(root.size());
    std::string place = links.resolve(path);
    if (!dangling && Below(place, resolvedBase))
        return place;
    for (size_t i = 0; i < steps.size(); ++i) {
        if (link[i] && !links.madeByAdministrator(steps[i]))
            return std::nullopt;
    }
    return place;
}

LinkCheckingFileSystem::LinkCheckingFileSystem(FileSystem& inner, std::string base,
                                               LinkQueries links)
    : inner_(inner), base_(std::move(base)), links_(std::move(links)),
      resolvedBase_(links_.resolve(base_)) {}

bool LinkCheckingFileSystem::Allowed(const std::vector<std::string>& writes,
                                     const std::string& target) {
    for (const std::string& write : writes) {
        if (!CheckedWritePlace(base_, resolvedBase_, write, links_)) {
            refused_.insert(target);
            return false;
        }
    }
    return true;
}

bool LinkCheckingFileSystem::FileCopy(const std::string& source, const std::string& target) {
    const std::optional<std::string> place =
        CheckedWritePlace(base_, resolvedBase_, target, links_);
    bool ledElsewhere = false;
    const std::error_code failure =
        place ? platform::CopyFileOntoResolved(source, target, *place, ledElsewhere)
              : std::error_code();
    if (!place || ledElsewhere) {
        refused_.insert(target);
        return false;
    }
    return !failure;
}

bool LinkCheckingFileSystem::FileRename(const std::string& source, const std::string& target) {
    return Allowed({source, target}, target) && inner_.FileRename(source, target);
}

bool LinkCheckingFileSystem::FolderCopy(const std::string& folder, const std::string& target) {
    // The folder, and each file the copy would write in it.
    std::vector<std::string> writes = {target};
    std::error_code error;
    for (const platform::FolderEntry& entry : inner_.List(folder, error)) {
        if (!entry.directory)
            writes.push_back(Trimmed(target) + "\\" + entry.name);
    }
    return Allowed(writes, target) && CopyFolderFiles(*this, folder, target);
}

} // namespace season
