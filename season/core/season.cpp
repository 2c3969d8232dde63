#include "season.h"

namespace season {
namespace {

void Forward(int& v) {
    v = (v == 3) ? 0 : v + 1;
}
void Back(int& v) {
    v = (v == 0) ? 3 : v - 1;
}

constexpr std::string_view kTreeFiles[kSeasonCount] = {"treesSU.bmp", "treesFA.bmp", "treeshw.bmp",
                                                       "treesSP.bmp"};
constexpr std::string_view kFolderWords[kSeasonCount] = {"Sommer", "Herbst", "Winter", "Fruehling"};

bool Valid(int season) {
    return season >= 0 && season < kSeasonCount;
}

} // namespace

void StepForward(SeasonIndices& s) {
    Forward(s.SeasonIndex);
    Forward(s.NextSeasonIndex);
    Forward(s.PrevSeasonIndex);
}

void StepBack(SeasonIndices& s) {
    Back(s.SeasonIndex);
    Back(s.PrevSeasonIndex);
    Back(s.NextSeasonIndex);
}

std::string_view SeasonTreeFileOf(int season) {
    return Valid(season) ? kTreeFiles[season] : std::string_view{};
}

std::string_view SeasonFolderWordOf(int season) {
    return Valid(season) ? kFolderWords[season] : std::string_view{};
}

bool UnsupportedByQuorrin(int season) {
    return season == kAutumn || season == kSpring;
}

} // namespace season
