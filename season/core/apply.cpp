#include "apply.h"

#include "catalogue.h"
#include "season.h"

namespace season {
namespace {

constexpr ApplyTexts kGermanTexts = {
    "Möchten Sie MipMap-Texturen bei dem Addon Norvasse X verwenden?",
    "Bitte wählen Sie ...",
    "Änderung der TEXTUREN durchgeführt!",
    "Einige Texturdateien konnten nicht geändert werden",
};
constexpr ApplyTexts kEnglishTexts = {
    "Do you want to use MipMap-Textures with the addon Norvasse X?",
    "Please select now...",
    "Change texture settings successful!",
    "Some texture files could not be changed",
};

constexpr size_t kMaxListedFailures = 10;

// Carries out operations and remembers those that had something to do but failed.
// A missing source is not a failure: there was nothing to switch.
class Runner {
public:
    Runner(FileSystem& fs, bool useMipMaps) : fs_(fs), useMipMaps_(useMipMaps) {}

    void Run(const std::string& root, const SeasonOperation& op) {
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
                failed_.push_back(target);
            break;
        case OpKind::FolderCopy:
            if (!fs_.FolderCopy(source, target) && fs_.FolderHasFiles(source))
                failed_.push_back(target);
            break;
        }
    }

    void Copy(const std::string& source, const std::string& target) {
        if (!fs_.FileCopy(source, target) && fs_.Exists(source))
            failed_.push_back(target);
    }

    const std::vector<std::string>& Failed() const { return failed_; }

private:
    FileSystem& fs_;
    bool useMipMaps_;
    std::vector<std::string> failed_;
};

std::string RowRoot(const std::string& base, const CatalogueRow& row) {
    return base + row.installFolder + "\\";
}

} // namespace

const ApplyTexts& ApplyTextsFor(int language) {
    return language == kGerman ? kGermanTexts : kEnglishTexts;
}

std::string ResultMessage(int language, const std::vector<std::string>& failedTargets) {
    const ApplyTexts& texts = ApplyTextsFor(language);
    if (failedTargets.empty())
        return texts.success;
    std::string message = texts.someFailed;
    message += " (" + std::to_string(failedTargets.size()) + "):";
    for (size_t i = 0; i < failedTargets.size(); ++i) {
        if (i == kMaxListedFailures) {
            message += "\r\n...";
            break;
        }
        message += "\r\n" + failedTargets[i];
    }
    return message;
}

void ApplySeason(SwitcherState& state, const ApplyDialogs& dialogs, FileSystem& fs) {
    // The question comes before anything on disk changes.
    if (state.Detected[kMipMapRow]) {
        state.UseMipMaps = false;
        const ApplyTexts& texts = ApplyTextsFor(state.Language);
        const int answer = dialogs.ask ? dialogs.ask(texts.mipMapQuestion, texts.mipMapCaption) : 0;
        state.UseMipMaps = answer == kAnswerYes;
    }

    try {
        const int s = state.seasons.SeasonIndex;
        state.SeasonTreeFile = std::string(SeasonTreeFileOf(s));
        state.SeasonFolderWord = std::string(SeasonFolderWordOf(s));

        Runner runner(fs, state.UseMipMaps);
        const CatalogueRow& guarded = Catalogue()[kGuardedRow - 1];
        const std::string guardedRoot = RowRoot(state.BaseFolder, guarded);

        // The list is walked by index up to its length now: nothing may grow it
        // during the run, and the guarded row runs once per entry, whatever the entry.
        const size_t n = state.AddonList.size();
        for (size_t i = 0; i < n; ++i) {
            const std::string entry = state.BaseFolder + state.AddonList[i];
            const std::string seasonTree = entry + "\\Texture\\Default\\" + state.SeasonTreeFile;
            if (fs.Exists(seasonTree))
                runner.Copy(seasonTree, entry + "\\Texture\\treesSU.bmp");
            if (s >= 0 && s < kSeasonCount) {
                for (const SeasonOperation& op : guarded.seasons[static_cast<size_t>(s)])
                    runner.Run(guardedRoot, op);
            }
        }

        if (s >= 0 && s < kSeasonCount) {
            for (int row : ApplyOrder()) {
                if (!state.Detected[static_cast<size_t>(row)])
                    continue;
                const CatalogueRow& r = Catalogue()[static_cast<size_t>(row - 1)];
                const std::string root = RowRoot(state.BaseFolder, r);
                for (const SeasonOperation& op : r.seasons[static_cast<size_t>(s)])
                    runner.Run(root, op);
            }
        }

        if (dialogs.show)
            dialogs.show(ResultMessage(state.Language, runner.Failed()));
    } catch (...) {
        // A raised failure ends the run without a word; see the header.
    }
}

} // namespace season
