#include "apply.h"

#include "catalogue.h"
#include "season.h"

#include <unordered_set>

namespace season {
namespace {

// One step of a run: the generic tree copy of a list entry, or one catalogue
// operation below its add-on's folder.
struct Step {
    const SeasonOperation* op = nullptr; // null: the generic tree copy
    std::string root;                    // the add-on's folder, or the list entry
};

// Carries out steps and remembers those that had something to do but failed.
// A missing source is not a failure: there was nothing to switch.
class Runner {
public:
    Runner(FileSystem& fs, bool useMipMaps, const std::string& treeFile, ApplyResult& result)
        : fs_(fs), useMipMaps_(useMipMaps), treeFile_(treeFile), result_(result) {}

    void Run(const Step& step) {
        if (!step.op) {
            const std::string seasonTree = step.root + "\\Texture\\Default\\" + treeFile_;
            if (fs_.Exists(seasonTree))
                Copy(seasonTree, step.root + "\\Texture\\treesSU.bmp");
            return;
        }
        const SeasonOperation& op = *step.op;
        const std::string& root = step.root;
        switch (op.condition) {
        case Condition::Always:
            break;
        case Condition::IfMipMaps:
            if (!useMipMaps_)
                return;
            break;
        case Condition::IfNoMipMaps:
            if (useMipMaps_)
                return;
            break;
        case Condition::IfGuardFile:
            if (!op.guard || !fs_.Exists(root + op.guard))
                return;
            break;
        }
        const std::string source = root + op.source;
        const std::string target = root + op.target;
        switch (op.kind) {
        case OpKind::FileCopy:
            Copy(source, target);
            break;
        case OpKind::FileRename:
            if (!fs_.FileRename(source, target) && fs_.Exists(source))
                Fail(target);
            break;
        case OpKind::FolderCopy:
            if (!fs_.FolderCopy(source, target) && fs_.FolderHasFiles(source))
                Fail(target);
            break;
        }
    }

private:
    void Copy(const std::string& source, const std::string& target) {
        if (!fs_.FileCopy(source, target) && fs_.Exists(source))
            Fail(target);
    }

    void Fail(const std::string& target) {
        ++result_.failures;
        if (!listed_.insert(target).second)
            return;
        result_.failedTargets.push_back(target);
        if (fs_.RefusedForLink(target))
            result_.linkRefused.push_back(target);
    }

    FileSystem& fs_;
    bool useMipMaps_;
    const std::string& treeFile_;
    ApplyResult& result_;
    std::unordered_set<std::string> listed_;
};

std::string RowRoot(const std::string& base, const CatalogueRow& row) {
    return base + row.installFolder + "\\";
}

void AddRow(std::vector<Step>& steps, const std::string& root, const CatalogueRow& row, int s) {
    for (const SeasonOperation& op : row.seasons[static_cast<size_t>(s)])
        steps.push_back({&op, root});
}

// Every step of a run, in the order they are carried out.
std::vector<Step> PlanRun(const SwitcherState& state) {
    std::vector<Step> steps;
    const int s = state.seasons.SeasonIndex;
    const bool known = s >= 0 && s < kSeasonCount;
    const CatalogueRow& guarded = Catalogue()[kGuardedRow - 1];
    const std::string guardedRoot = RowRoot(state.BaseFolder, guarded);

    for (const std::string& entry : state.AddonList)
        steps.push_back({nullptr, state.BaseFolder + entry});
    // The guarded row does the same whatever the entry, so it runs once per run,
    // after the entries as the last of its repetitions used to.
    if (known && !state.AddonList.empty())
        AddRow(steps, guardedRoot, guarded, s);
    if (known) {
        for (int row : ApplyOrder()) {
            if (!state.Detected[static_cast<size_t>(row)])
                continue;
            const CatalogueRow& r = Catalogue()[static_cast<size_t>(row - 1)];
            AddRow(steps, RowRoot(state.BaseFolder, r), r, s);
        }
    }
    return steps;
}

} // namespace

bool NeedsMipMapAnswer(const SwitcherState& state) {
    return state.Detected[kMipMapRow];
}

ApplyResult ApplySeason(SwitcherState& state, const ApplyRequest& request, FileSystem& fs) {
    ApplyResult result;
    if (state.AddonList.empty()) {
        result.nothingFound = true;
        return result;
    }
    try {
        const int s = state.seasons.SeasonIndex;
        state.SeasonTreeFile = std::string(SeasonTreeFileOf(s));
        state.SeasonFolderWord = std::string(SeasonFolderWordOf(s));

        // The plan is made before anything changes on disk: nothing a run does
        // can grow it.
        const std::vector<Step> steps = PlanRun(state);
        result.total = steps.size();
        Runner runner(fs, request.useMipMaps, state.SeasonTreeFile, result);
        for (const Step& step : steps) {
            if (request.stop && request.stop->load()) {
                result.stopped = true;
                break;
            }
            runner.Run(step);
            ++result.done;
            if (request.progress)
                request.progress(result.done, result.total);
        }
    } catch (...) {
        result.raised = true;
    }
    return result;
}

} // namespace season
