// Captions that fit their controls whatever font the system substitutes for the
// one the layout was drawn with: the caption is measured at the design size and,
// where it does not fit, at smaller sizes step by step.
#pragma once

#include <functional>

namespace season {

struct TextExtent {
    int width = 0;
    int height = 0;
};

// Font sizes tried: the design size (step 0) and up to this many smaller ones.
inline constexpr int kSmallerFontSteps = 3;

// The first step from 0 to kSmallerFontSteps at which `measure(step)` fits into
// `room` (in both directions); the smallest size when none fits, so that as
// much as possible shows.
int FittingFontStep(const std::function<TextExtent(int step)>& measure, TextExtent room);

// The font height in pixels at `step` for a design height of `designHeight`
// pixels (the sign is kept: negative heights are character heights). Each step
// is about one point smaller, never below 7 pixels.
int FontHeightAtStep(int designHeight, int step);

} // namespace season
