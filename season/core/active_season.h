// Which season the active files of each detected add-on hold now. Nothing is kept
// between runs: the files tell. A switch copies with the source's size and
// last-write time, so a copied file is recognised by those two alone; its bytes are
// read only when they cannot decide. A rename leaves the season in which names
// exist.
//
// The engine reads the catalogue's rows (the generic add-ons as a row of four
// copies from "Texture\Default"): each file an operation writes (a copy's target,
// every file a folder copy brings, the pair of names a rename switches) agrees with
// every season whose operation would leave it as it is, and with every season that
// does not touch it. The add-on's seasons are those its files all agree with.
#pragma once

#include "file_system.h"
#include "switcher_state.h"

#include <string>
#include <vector>

namespace season {

// A set of seasons: bit s for season s.
using SeasonSet = unsigned;
inline constexpr SeasonSet kAllSeasons = 0xFu;
constexpr SeasonSet SeasonBit(int season) {
    return 1u << season;
}

enum class Activity {
    Season,  // the files agree with the seasons of the set
    Mixed,   // they hold different seasons
    Unknown, // no file matches any season
};

struct AddonActivity {
    std::string name; // as the add-on list shows it
    Activity activity = Activity::Unknown;
    SeasonSet seasons = 0; // Season: never empty
    // Mixed: the files (relative to the add-on's folder) that do not hold the
    // season most add-ons hold, in catalogue order.
    std::vector<std::string> disagreeing;
};

struct ActiveSeasons {
    // In the order of the add-on list.
    std::vector<AddonActivity> addons;
    // Season: every add-on agrees with `season`. Unknown also when nothing was
    // found (addons empty) or when no add-on tells one season from another.
    Activity activity = Activity::Unknown;
    int season = kSummer;
    // Mixed: the add-ons that hold another season than most, in list order.
    std::vector<std::string> differing;
};

// Finds the seasons of the add-ons that detection put into state.AddonList (and
// whose catalogue rows it flagged), below state.BaseFolder. Changes nothing.
ActiveSeasons FindActiveSeasons(const SwitcherState& state, FileSystem& fs = RealFileSystem());

// The one season a line names for a set: `preferred` when the set holds it,
// otherwise the set's first; -1 for an empty set.
int SeasonShown(SeasonSet seasons, int preferred);

} // namespace season
