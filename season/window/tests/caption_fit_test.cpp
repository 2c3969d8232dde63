#include "caption_fit.h"

#include <gtest/gtest.h>

#include <vector>

using season::FittingFontStep;
using season::FontHeightAtStep;
using season::TextExtent;

TEST(CaptionFit, TakesTheLargestSizeThatFitsAndTheSmallestWhenNoneDoes) {
    struct Case {
        const char* what;
        std::vector<TextExtent> extents; // at steps 0, 1, 2, 3
        TextExtent room;
        int expected;
    };
    const Case cases[] = {
        {"fits at design size", {{180, 13}, {165, 12}, {150, 10}, {135, 9}}, {197, 13}, 0},
        {"fits exactly", {{197, 13}, {180, 12}, {160, 10}, {140, 9}}, {197, 13}, 0},
        {"one pixel too wide", {{198, 13}, {180, 12}, {160, 10}, {140, 9}}, {197, 13}, 1},
        {"two steps", {{240, 13}, {215, 12}, {190, 10}, {170, 9}}, {197, 13}, 2},
        {"too high, not too wide", {{100, 60}, {90, 55}, {80, 48}, {70, 42}}, {300, 50}, 2},
        {"never fits", {{400, 13}, {380, 12}, {350, 10}, {320, 9}}, {197, 13}, 3},
    };
    for (const Case& c : cases) {
        std::vector<int> measured;
        const int step = FittingFontStep(
            [&](int s) {
                measured.push_back(s);
                return c.extents.at(static_cast<size_t>(s));
            },
            c.room);
        EXPECT_EQ(step, c.expected) << c.what;
        EXPECT_LE(measured.size(), 4u) << c.what;
    }
}

TEST(CaptionFit, EachStepIsSmallerDownToSevenPixelsAndKeepsTheSign) {
    EXPECT_EQ(FontHeightAtStep(-11, 0), -11);
    int previous = 11;
    for (int step = 1; step <= season::kSmallerFontSteps; ++step) {
        const int h = -FontHeightAtStep(-11, step);
        EXPECT_LT(h, previous) << step;
        EXPECT_GE(h, 7) << step;
        previous = h;
    }
    EXPECT_EQ(FontHeightAtStep(16, 0), 16);
    EXPECT_LT(FontHeightAtStep(16, 1), 16);
    EXPECT_GT(FontHeightAtStep(16, 1), 0);
    EXPECT_EQ(FontHeightAtStep(-7, 3), -7);
}
