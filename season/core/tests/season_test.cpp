#include "season.h"

#include <gtest/gtest.h>

using season::SeasonIndices;

namespace {
SeasonIndices Make(int s) {
    SeasonIndices x;
    x.SeasonIndex = s;
    x.NextSeasonIndex = (s + 1) % 4;
    x.PrevSeasonIndex = (s + 3) % 4;
    return x;
}
bool Same(const SeasonIndices& a, const SeasonIndices& b) {
    return a.SeasonIndex == b.SeasonIndex && a.NextSeasonIndex == b.NextSeasonIndex &&
           a.PrevSeasonIndex == b.PrevSeasonIndex;
}
} // namespace

TEST(SeasonIndices, StartAtSummerWithAutumnNextAndSpringBefore) {
    SeasonIndices s;
    EXPECT_TRUE(Same(s, Make(0)));
}

TEST(SeasonIndices, StepsKeepNeighboursInStep) {
    struct Case {
        int from;
        bool forward;
        int season, next, prev;
    } cases[] = {
        {0, true, 1, 2, 0},  {1, true, 2, 3, 1},  {2, true, 3, 0, 2},  {3, true, 0, 1, 3},
        {0, false, 3, 0, 2}, {1, false, 0, 1, 3}, {2, false, 1, 2, 0}, {3, false, 2, 3, 1},
    };
    for (const Case& c : cases) {
        SeasonIndices s = Make(c.from);
        c.forward ? season::StepForward(s) : season::StepBack(s);
        EXPECT_EQ(s.SeasonIndex, c.season) << c.from << (c.forward ? " forward" : " back");
        EXPECT_EQ(s.NextSeasonIndex, c.next) << c.from;
        EXPECT_EQ(s.PrevSeasonIndex, c.prev) << c.from;
    }
}

TEST(SeasonIndices, FourStepsEitherWayComeBack) {
    for (int start = 0; start < 4; ++start) {
        SeasonIndices f = Make(start), b = Make(start);
        for (int i = 0; i < 4; ++i) {
            season::StepForward(f);
            season::StepBack(b);
        }
        EXPECT_TRUE(Same(f, Make(start)));
        EXPECT_TRUE(Same(b, Make(start)));
    }
}

TEST(SeasonTokens, NameTheFilesAndFoldersOfEachSeason) {
    struct Case {
        int s;
        const char* tree;
        const char* word;
        bool quorrinUnsupported;
    } cases[] = {
        {0, "treesSU.bmp", "Sommer", false},
        {1, "treesFA.bmp", "Herbst", true},
        {2, "treeshw.bmp", "Winter", false}, // lower case, and not "treesWI"
        {3, "treesSP.bmp", "Fruehling", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(season::SeasonTreeFileOf(c.s), c.tree);
        EXPECT_EQ(season::SeasonFolderWordOf(c.s), c.word);
        EXPECT_EQ(season::UnsupportedByQuorrin(c.s), c.quorrinUnsupported);
    }
    EXPECT_EQ(season::SeasonTreeFileOf(4), "");
    EXPECT_EQ(season::SeasonFolderWordOf(-1), "");
}
