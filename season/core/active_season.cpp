#include "active_season.h"

#include "catalogue.h"

#include "platform/unicode.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <unordered_map>

namespace season {
namespace {

// The generic add-on as a row: the season's tree texture over "Texture\treesSU.bmp".
constexpr SeasonOperation kGenericTrees[kSeasonCount][1] = {
    {{OpKind::FileCopy, "Texture\\Default\\treesSU.bmp", "Texture\\treesSU.bmp"}},
    {{OpKind::FileCopy, "Texture\\Default\\treesFA.bmp", "Texture\\treesSU.bmp"}},
    {{OpKind::FileCopy, "Texture\\Default\\treeshw.bmp", "Texture\\treesSU.bmp"}},
    {{OpKind::FileCopy, "Texture\\Default\\treesSP.bmp", "Texture\\treesSU.bmp"}},
};
constexpr std::array<OperationList, kSeasonCount> kGenericSeasons = {
    OperationList(kGenericTrees[0]), OperationList(kGenericTrees[1]),
    OperationList(kGenericTrees[2]), OperationList(kGenericTrees[3])};

std::string WithoutTrailingSeparators(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

std::string Join(const std::string& folder, const std::string& name) {
    return WithoutTrailingSeparators(folder) + "\\" + name;
}

// One file (or, for a rename, one pair of names) that a row's operations write,
// and what each season leaves there.
struct Slot {
    bool rename = false;
    std::string label;  // relative to the add-on's folder, as the row writes it
    std::string target; // a copy's target; a rename's first name
    std::string other;  // a rename's second name
    // Per season: the sources a copy takes (either MipMap answer), or the names a
    // rename leaves; empty when the season leaves the file alone.
    std::array<std::vector<std::string>, kSeasonCount> expected;
};

// The facts of files, each asked for once per add-on.
class FactCache {
public:
    explicit FactCache(FileSystem& fs) : fs_(fs) {}
    const std::optional<platform::FileFacts>& Of(const std::string& file) {
        const auto found = facts_.find(file);
        if (found != facts_.end())
            return found->second;
        platform::FileFacts facts;
        const std::error_code failure = fs_.Facts(file, facts);
        return facts_.emplace(file, failure ? std::nullopt : std::optional(facts)).first->second;
    }

private:
    FileSystem& fs_;
    std::unordered_map<std::string, std::optional<platform::FileFacts>> facts_;
};

class RowReader {
public:
    RowReader(FileSystem& fs, std::string root) : fs_(fs), facts_(fs), root_(std::move(root)) {}

    // The add-on's verdict, and what each of its files agrees with (for naming
    // those that differ once the season most add-ons hold is known).
    AddonActivity Read(const std::array<OperationList, kSeasonCount>& seasons, std::string name,
                       std::vector<std::pair<std::string, SeasonSet>>& agreement) {
        for (int s = 0; s < kSeasonCount; ++s)
            Collect(seasons[static_cast<size_t>(s)], s);
        AddonActivity out;
        out.name = std::move(name);
        SeasonSet all = kAllSeasons;
        SeasonSet anyMatch = 0;
        for (const Slot& slot : slots_) {
            SeasonSet matched = 0, untouched = 0;
            Judge(slot, matched, untouched);
            agreement.emplace_back(slot.label, matched | untouched);
            all &= matched | untouched;
            anyMatch |= matched;
        }
        if (all != 0 && !slots_.empty()) {
            out.activity = Activity::Season;
            out.seasons = all;
        } else if (anyMatch != 0) {
            out.activity = Activity::Mixed;
        }
        return out;
    }

private:
    // Every slot a season's operations write, with what the season's last
    // operation on it leaves there; for each MipMap answer where the row asks.
    void Collect(OperationList ops, int season) {
        const bool asks = std::any_of(ops.begin(), ops.end(), [](const SeasonOperation& op) {
            return op.condition == Condition::IfMipMaps || op.condition == Condition::IfNoMipMaps;
        });
        for (const bool mipMaps :
             asks ? std::vector<bool>{true, false} : std::vector<bool>{false}) {
            std::map<size_t, std::string> last; // slot index -> what the season leaves
            for (const SeasonOperation& op : ops) {
                if ((op.condition == Condition::IfMipMaps && !mipMaps) ||
                    (op.condition == Condition::IfNoMipMaps && mipMaps) ||
                    (op.condition == Condition::IfGuardFile &&
                     (!op.guard || !fs_.Exists(root_ + op.guard))))
                    continue;
                switch (op.kind) {
                case OpKind::FileCopy:
                    last[CopySlot(op.target)] = root_ + op.source;
                    break;
                case OpKind::FolderCopy:
                    for (const std::string& file : FilesOf(op.source))
                        last[CopySlot(Join(op.target, file))] = Join(root_ + op.source, file);
                    break;
                case OpKind::FileRename:
                    last[RenameSlot(op.source, op.target)] = root_ + op.target;
                    break;
                }
            }
            for (const auto& [index, expected] : last) {
                std::vector<std::string>& list =
                    slots_[index].expected[static_cast<size_t>(season)];
                if (std::find(list.begin(), list.end(), expected) == list.end())
                    list.push_back(expected);
            }
        }
    }

    size_t CopySlot(const std::string& relative) {
        const std::string key = platform::FoldUtf8(WithoutTrailingSeparators(relative));
        const auto [at, added] = index_.emplace(key, slots_.size());
        if (added) {
            Slot slot;
            slot.label = WithoutTrailingSeparators(relative);
            slot.target = root_ + slot.label;
            slots_.push_back(std::move(slot));
        }
        return at->second;
    }

    size_t RenameSlot(const std::string& from, const std::string& to) {
        std::string a = platform::FoldUtf8(from), b = platform::FoldUtf8(to);
        if (b < a)
            std::swap(a, b);
        const auto [at, added] = index_.emplace("rename:" + a + "|" + b, slots_.size());
        if (added) {
            Slot slot;
            slot.rename = true;
            slot.label = to;
            slot.target = root_ + from;
            slot.other = root_ + to;
            slots_.push_back(std::move(slot));
        }
        return at->second;
    }

    // The files (not sub-folders) of a folder below the add-on's folder.
    const std::vector<std::string>& FilesOf(const std::string& relative) {
        const std::string key = platform::FoldUtf8(WithoutTrailingSeparators(relative));
        const auto found = listings_.find(key);
        if (found != listings_.end())
            return found->second;
        std::vector<std::string> files;
        std::error_code error;
        for (const platform::FolderEntry& entry : fs_.List(root_ + relative, error)) {
            if (!entry.directory)
                files.push_back(entry.name);
        }
        if (error)
            files.clear();
        std::sort(files.begin(), files.end());
        return listings_.emplace(key, std::move(files)).first->second;
    }

    // Which seasons leave the slot as it is: `matched` those whose files it
    // holds, `untouched` those that do not write it (no operation, or only
    // sources that are missing: the switch then skips it).
    void Judge(const Slot& slot, SeasonSet& matched, SeasonSet& untouched) {
        if (slot.rename) {
            const bool first = fs_.Exists(slot.target), second = fs_.Exists(slot.other);
            for (int s = 0; s < kSeasonCount; ++s) {
                const auto& names = slot.expected[static_cast<size_t>(s)];
                if (names.empty())
                    untouched |= SeasonBit(s);
                for (const std::string& name : names) {
                    const bool isFirst = name == slot.target;
                    if ((isFirst && first && !second) || (!isFirst && second && !first))
                        matched |= SeasonBit(s);
                }
            }
            return;
        }
        const std::optional<platform::FileFacts> target = facts_.Of(slot.target);
        // The sources whose size and last-write time are the target's: one decides
        // at once; several, or none of the same size, are told apart by their bytes.
        std::vector<std::string> metadataMatches;
        for (const auto& sources : slot.expected) {
            for (const std::string& source : sources) {
                const auto& facts = facts_.Of(source);
                if (target && facts && facts->size == target->size &&
                    facts->lastWrite == target->lastWrite &&
                    std::find(metadataMatches.begin(), metadataMatches.end(), source) ==
                        metadataMatches.end())
                    metadataMatches.push_back(source);
            }
        }
        std::map<std::string, bool> holds;
        const auto sameAs = [&](const std::string& source) {
            const auto known = holds.find(source);
            if (known != holds.end())
                return known->second;
            const auto& facts = facts_.Of(source);
            bool same = false;
            if (target && facts && facts->size == target->size) {
                if (metadataMatches.size() == 1)
                    same = metadataMatches.front() == source;
                else if (metadataMatches.empty() ||
                         std::find(metadataMatches.begin(), metadataMatches.end(), source) !=
                             metadataMatches.end())
                    same = fs_.SameBytes(slot.target, source);
            }
            return holds.emplace(source, same).first->second;
        };
        for (int s = 0; s < kSeasonCount; ++s) {
            const auto& sources = slot.expected[static_cast<size_t>(s)];
            bool anyPresent = false;
            for (const std::string& source : sources) {
                if (!facts_.Of(source))
                    continue;
                anyPresent = true;
                if (sameAs(source))
                    matched |= SeasonBit(s);
            }
            if (!anyPresent)
                untouched |= SeasonBit(s);
        }
    }

    FileSystem& fs_;
    FactCache facts_;
    std::string root_;
    std::vector<Slot> slots_;
    std::unordered_map<std::string, size_t> index_;
    std::unordered_map<std::string, std::vector<std::string>> listings_;
};

} // namespace

int SeasonShown(SeasonSet seasons, int preferred) {
    if (preferred >= 0 && preferred < kSeasonCount && (seasons & SeasonBit(preferred)) != 0)
        return preferred;
    for (int s = 0; s < kSeasonCount; ++s) {
        if ((seasons & SeasonBit(s)) != 0)
            return s;
    }
    return -1;
}

ActiveSeasons FindActiveSeasons(const SwitcherState& state, FileSystem& fs) {
    ActiveSeasons out;
    // Detection appends the catalogue's add-ons after the sub-folders, in
    // catalogue order: the guarded row when its probe exists, the others by flag.
    std::vector<int> rows;
    for (int row = 1; row <= kRowCount; ++row) {
        const CatalogueRow& r = Catalogue()[static_cast<size_t>(row - 1)];
        const bool found = r.hasFlag
                               ? state.Detected[static_cast<size_t>(row)]
                               : fs.Exists(state.BaseFolder + r.installFolder + "\\" + r.probeFile);
        if (found)
            rows.push_back(row);
    }
    const size_t generic =
        state.AddonList.size() > rows.size() ? state.AddonList.size() - rows.size() : 0;
    std::vector<std::vector<std::pair<std::string, SeasonSet>>> agreement(state.AddonList.size());
    for (size_t i = 0; i < state.AddonList.size(); ++i) {
        const bool isGeneric = i < generic;
        const CatalogueRow* row =
            isGeneric ? nullptr : &Catalogue()[static_cast<size_t>(rows[i - generic] - 1)];
        RowReader reader(
            fs, state.BaseFolder +
                    (isGeneric ? state.AddonList[i] : std::string(row->installFolder)) + "\\");
        out.addons.push_back(reader.Read(isGeneric ? kGenericSeasons : row->seasons,
                                         state.AddonList[i], agreement[i]));
    }
    if (out.addons.empty())
        return out;

    SeasonSet common = kAllSeasons;
    bool allTold = true, allUnknown = true;
    // Votes of the add-ons that hold a season; where none does, of every file.
    std::array<size_t, kSeasonCount> votes{}, fileVotes{};
    for (size_t i = 0; i < out.addons.size(); ++i) {
        const AddonActivity& addon = out.addons[i];
        allTold = allTold && addon.activity == Activity::Season;
        allUnknown = allUnknown && addon.activity == Activity::Unknown;
        for (int s = 0; s < kSeasonCount; ++s) {
            for (const auto& [label, agrees] : agreement[i])
                fileVotes[static_cast<size_t>(s)] += (agrees & SeasonBit(s)) != 0 ? 1 : 0;
            if (addon.activity == Activity::Season)
                votes[static_cast<size_t>(s)] += (addon.seasons & SeasonBit(s)) != 0 ? 1 : 0;
        }
        if (addon.activity == Activity::Season)
            common &= addon.seasons;
    }
    if (allUnknown || (allTold && common == kAllSeasons))
        return out; // Unknown
    if (allTold && common != 0) {
        out.activity = Activity::Season;
        out.season = SeasonShown(common, -1);
        return out;
    }
    out.activity = Activity::Mixed;
    const auto& ballot = std::any_of(votes.begin(), votes.end(), [](size_t v) { return v != 0; })
                             ? votes
                             : fileVotes;
    out.season = static_cast<int>(std::max_element(ballot.begin(), ballot.end()) - ballot.begin());
    for (size_t i = 0; i < out.addons.size(); ++i) {
        AddonActivity& addon = out.addons[i];
        if (addon.activity == Activity::Season && (addon.seasons & SeasonBit(out.season)) != 0)
            continue;
        out.differing.push_back(addon.name);
        if (addon.activity != Activity::Mixed)
            continue;
        for (const auto& [label, agrees] : agreement[i]) {
            if ((agrees & SeasonBit(out.season)) == 0)
                addon.disagreeing.push_back(label);
        }
    }
    return out;
}

} // namespace season
