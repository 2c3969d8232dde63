// The switcher's state: one instance for the whole program run, shared by the
// window, detection and the apply engine.
#pragma once

#include "catalogue.h"
#include "season.h"

#include <array>
#include <string>
#include <vector>

namespace season {

inline constexpr int kGerman = 0;
inline constexpr int kEnglish = 1;

// One flag per catalogue row, indexed by row number; rows 2..25 own one.
using DetectedFlags = std::array<bool, kRowCount + 1>;

struct SwitcherState {
    SeasonIndices seasons;
    int Language = kEnglish;
    std::string BaseFolder; // ends in a backslash
    std::vector<std::string> AddonList;
    DetectedFlags Detected{};
    bool UseMipMaps = false;
    // Tokens of the season of the latest apply run.
    std::string SeasonTreeFile;
    std::string SeasonFolderWord;
};

} // namespace season
