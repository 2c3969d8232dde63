// The chosen season and its neighbours in the carousel, and the two name tokens
// that the apply engine builds paths from.
#pragma once

#include <string_view>

namespace season {

inline constexpr int kSeasonCount = 4;
inline constexpr int kSummer = 0;
inline constexpr int kAutumn = 1;
inline constexpr int kWinter = 2;
inline constexpr int kSpring = 3;

// The three indices are always stepped together, so that Next = Season + 1 and
// Prev = Season + 3 (mod 4) hold at all times.
struct SeasonIndices {
    int SeasonIndex = kSummer;
    int NextSeasonIndex = kAutumn;
    int PrevSeasonIndex = kSpring;
};

// The right arrow: Season, Next, Prev each move one season on.
void StepForward(SeasonIndices& s);
// The left arrow: Season, Prev, Next each move one season back.
void StepBack(SeasonIndices& s);

// The generic tree texture of a season ("treesSU.bmp", "treesFA.bmp", "treeshw.bmp",
// "treesSP.bmp") and its German folder word ("Sommer", "Herbst", "Winter", "Fruehling").
std::string_view SeasonTreeFileOf(int season);
std::string_view SeasonFolderWordOf(int season);

// Autumn and spring have no files in the "Quorrin X" add-on; the window warns then.
bool UnsupportedByQuorrin(int season);

} // namespace season
