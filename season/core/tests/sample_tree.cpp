#include "sample_tree.h"

#include "catalogue.h"
#include "platform/files.h"
#include "platform/path.h"

#include <set>
#include <stdexcept>

namespace testing_support {

void WriteBelow(const std::string& base, const std::string& relative, const std::string& content) {
    const std::string path = base + relative;
    if (const std::string parent = platform::ParentOf(path); !parent.empty())
        platform::MakeFolders(parent);
    if (platform::WriteWholeFile(path, content))
        throw std::runtime_error("cannot write " + path);
}

void LayOutCatalogue(const std::string& base) {
    using season::OpKind;
    std::set<std::string> renamedAway; // names that summer switches off
    for (const season::CatalogueRow& row : season::Catalogue()) {
        const std::string root = std::string(row.installFolder) + "\\";
        WriteBelow(base, root + row.probeFile, root + row.probeFile);
        for (const season::SeasonOperation& op : row.seasons[season::kSummer]) {
            if (op.kind == OpKind::FileRename)
                renamedAway.insert(root + op.source);
        }
        for (const season::OperationList& list : row.seasons) {
            for (const season::SeasonOperation& op : list) {
                const std::string source = root + op.source;
                switch (op.kind) {
                case OpKind::FileCopy:
                    WriteBelow(base, source, source);
                    break;
                case OpKind::FileRename:
                    break;
                case OpKind::FolderCopy:
                    WriteBelow(base, source + "\\a.bmp", source + "\\a.bmp");
                    WriteBelow(base, source + "\\b.dds", source + "\\b.dds");
                    WriteBelow(base, source + "\\sub\\deep.bmp", source + "\\sub\\deep.bmp");
                    break;
                }
                if (op.guard)
                    WriteBelow(base, root + op.guard, root + op.guard);
            }
        }
    }
    // Renamed layers as summer leaves them: every summer rename done.
    for (const season::CatalogueRow& row : season::Catalogue()) {
        const std::string root = std::string(row.installFolder) + "\\";
        for (const season::OperationList& list : row.seasons) {
            for (const season::SeasonOperation& op : list) {
                if (op.kind != OpKind::FileRename)
                    continue;
                for (const char* name : {op.source, op.target}) {
                    const std::string path = root + name;
                    if (!renamedAway.count(path))
                        WriteBelow(base, path, path);
                }
            }
        }
    }
}

void LayOutGenericAddon(const std::string& base, const std::string& name,
                        const std::vector<int>& seasons) {
    static const char* const kTrees[4] = {"treesSU.bmp", "treesFA.bmp", "treeshw.bmp",
                                          "treesSP.bmp"};
    for (int s : seasons) {
        const std::string rel = name + "\\Texture\\Default\\" + kTrees[s];
        WriteBelow(base, rel, rel);
    }
    WriteBelow(base, name + "\\Texture\\treesSU.bmp", "active");
}

} // namespace testing_support
