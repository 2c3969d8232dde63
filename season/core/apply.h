// The apply engine: makes every detected add-on look like the chosen season by
// copying and renaming files below the base folder. It deletes nothing, asks
// nothing and shows nothing: the caller answers the MipMap question beforehand and
// turns the returned result into words.
#pragma once

#include "file_system.h"
#include "switcher_state.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace season {

// Answers of the yes/no question, as the Windows message box gives them.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
inline constexpr int kAnswerRetry = 4; // IDRETRY

// What one run is asked to do beyond the state's season and add-ons.
struct ApplyRequest {
    // The answer to the MipMap question (used only when its add-on was detected).
    bool useMipMaps = false;
    // Called after each operation with the number done and the run's total; may be
    // called from whatever thread runs the engine.
    std::function<void(std::size_t done, std::size_t total)> progress;
    // Checked before each operation: once set, the run stops there. The file being
    // copied or renamed when it is set is finished first.
    const std::atomic<bool>* stop = nullptr;
};

// What one run did.
struct ApplyResult {
    // Operations planned, and those carried out before the run ended. An
    // operation whose source is missing counts as carried out: there was nothing
    // to switch.
    std::size_t total = 0;
    std::size_t done = 0;
    // Operations that had something to do and failed.
    std::size_t failures = 0;
    // The targets of those operations, each listed once, in the order they first
    // failed.
    std::vector<std::string> failedTargets;
    // Those of them skipped because a link leads outside the switcher's folder
    // (runs with administrator rights only).
    std::vector<std::string> linkRefused;
    // The add-on list was empty: nothing was found below the base folder, and
    // nothing was changed.
    bool nothingFound = false;
    // The stop flag ended the run before its last operation.
    bool stopped = false;
    // An exception raised while the files were being switched ended the run
    // (files changed until then stay changed; running again repairs a
    // half-switched add-on). The window says nothing then.
    bool raised = false;
};

// Runs one apply for state.seasons.SeasonIndex with the given request; records the
// season's tokens (SeasonTreeFile, SeasonFolderWord) in the state.
ApplyResult ApplySeason(SwitcherState& state, const ApplyRequest& request,
                        FileSystem& fs = RealFileSystem());

// True when a run on this state asks the MipMap question first.
bool NeedsMipMapAnswer(const SwitcherState& state);

} // namespace season
