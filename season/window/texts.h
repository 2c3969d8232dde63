// The switcher's texts in German and English, in UTF-8 like every text of the
// program; the window converts them to the system's UTF-16 once, when it shows them.
#pragma once

#include "active_season.h"
#include "apply.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace season {

// The five texts that change with the language, in the order ApplyLanguage writes
// them.
struct LanguageTexts {
    std::string_view quorrinWarning; // Label_Quorrin_warning
    std::string_view supportFor;     // Label2
    std::string_view closeButton;    // BitBtn2
    std::string_view applyButton;    // Button1
    std::string_view help;           // Label_Help: lines separated by a lone CR
};

// Language 0 gives the German set; any other value the English one.
const LanguageTexts& TextsFor(int language);

// The questions and messages the window shows around a switch.
struct GuardTexts {
    std::string_view simulatorCaption;
    std::string_view simulatorRunning; // Retry / Cancel
    std::string_view elevationCaption;
    std::string_view elevationBefore; // followed by the folder on a line of its own
    std::string_view elevationAfter;  // Yes / No
    std::string_view elevationFailed;
    std::string_view stopped; // "... {done} ... {total} ..."
};

// Language 0 gives the German set; any other value the English one.
const GuardTexts& GuardTextsFor(int language);

// Texts that read the same in both languages.
inline constexpr std::string_view kApplicationTitle = "Brightmere Turnleaf";
inline constexpr std::string_view kMakerLine = "Brightmere's"; // Label3
inline constexpr std::string_view kCloseHint = "Close...";
inline constexpr std::string_view kGermanFlagHint = " Change to german lanuage..";
inline constexpr std::string_view kEnglishFlagHint = "Change to english lanuage..";
inline constexpr std::string_view kOkCaption = "OK";

// The texts around an apply run.
struct ApplyTexts {
    std::string_view mipMapQuestion;
    std::string_view mipMapCaption;
    std::string_view success;
    std::string_view someFailed; // followed by " (N):" and the failed targets
};
// Language 0 gives the German set; any other value the English one.
const ApplyTexts& ApplyTextsFor(int language);

// The message of a run stopped by the window's close: `done` of the run's
// `total` changes were made; then the failed targets as ResultMessage lists them.
std::string StoppedMessage(int language, std::size_t done, std::size_t total,
                           const std::vector<std::string>& failedTargets);

// The final message of a run in which `failedTargets` (each once) could not be
// written: success, or the count and at most ten targets, then "...".
std::string ResultMessage(int language, const std::vector<std::string>& failedTargets);

// The same with every failed target listed, for the report file of a quiet run.
std::string FullResultReport(int language, const std::vector<std::string>& failedTargets);

// The failed targets of a run as messages and reports list them: each that a link
// rule refused followed by " (link leads outside the folder)".
std::string_view LinkOutsideText(int language);
std::vector<std::string> FailedTargetsNamed(int language, const ApplyResult& result);

// The message of a run that found no add-on below `folder`; nothing is changed.
std::string NothingFoundMessage(int language, const std::string& folder);

// The texts of a run from the command line.
struct CommandLineTexts {
    // The usage; "{report}" stands for the report file's name.
    std::string_view usage;
    std::string_view refused; // followed by a blank and the refused argument
    std::string_view missingSeason;
    std::string_view endedEarly;
};
const CommandLineTexts& CommandLineTextsFor(int language);

// The line below the add-on list that tells which season the add-ons hold now.
struct ActiveTexts {
    std::string_view lead; // "Active now: "
    std::string_view seasons[4];
    std::string_view mixed;     // the line's end when the add-ons differ
    std::string_view mixedWord; // an add-on's state in the status report
    std::string_view unknown;
    std::string_view differing; // the line's tooltip, followed by the add-ons' names
};
const ActiveTexts& ActiveTextsFor(int language);

// "Active now: winter", "... mixed - apply a season to repair" or "... unknown".
std::string ActiveSeasonLine(int language, const ActiveSeasons& found);
// The tooltip of that line: the add-ons that hold another season; empty unless
// they differ.
std::string ActiveSeasonHint(int language, const ActiveSeasons& found);
// The status report: one line per add-on with its season (mixed ones with the
// files that differ), then the line of the window.
std::string ActiveSeasonReport(int language, const ActiveSeasons& found);

// The name of a season picture for screen readers, in both languages as the
// picture itself shows them ("Summer / Sommer", ... ).
std::string_view SeasonPictureName(int season);

} // namespace season
