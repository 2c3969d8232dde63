// The apply engine: makes every detected add-on look like the chosen season by
// copying and renaming files below the base folder. It deletes nothing.
#pragma once

#include "file_system.h"
#include "switcher_state.h"

#include <functional>
#include <string>

namespace season {

// Answers of the yes/no question, as the Windows message box gives them.
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
inline constexpr int kAnswerRetry = 4; // IDRETRY

// The engine's only contact with the user, handed in by the window layer.
struct ApplyDialogs {
    // Asks a yes/no question (text, caption); returns kAnswerYes, kAnswerNo or
    // anything else for no answer.
    std::function<int(const std::string& text, const std::string& caption)> ask;
    // Shows the final message.
    std::function<void(const std::string& text)> show;
};

// Runs one apply for state.seasons.SeasonIndex. Any exception raised while the
// files are being switched ends the run silently (files changed until then stay
// changed; running again repairs a half-switched add-on).
void ApplySeason(SwitcherState& state, const ApplyDialogs& dialogs,
                 FileSystem& fs = RealFileSystem());

// The texts of the engine, in Windows-1252, for Language 0 (German) or 1 (English).
struct ApplyTexts {
    const char* mipMapQuestion;
    const char* mipMapCaption;
    const char* success;
    const char* someFailed; // followed by " (N):" and the failed targets
};
const ApplyTexts& ApplyTextsFor(int language);

// The final message for a run in which `failedTargets` could not be written.
std::string ResultMessage(int language, const std::vector<std::string>& failedTargets);

} // namespace season
