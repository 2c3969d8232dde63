#include "caption_fit.h"

#include <cstdlib>

namespace season {

int FittingFontStep(const std::function<TextExtent(int step)>& measure, TextExtent room) {
    for (int step = 0; step < kSmallerFontSteps; ++step) {
        const TextExtent e = measure(step);
        if (e.width <= room.width && e.height <= room.height)
            return step;
    }
    return kSmallerFontSteps;
}

int FontHeightAtStep(int designHeight, int step) {
    const int magnitude = std::abs(designHeight);
    // One point is 4/3 pixels at 96 DPI; a step of an eighth keeps that ratio at
    // every scaling (11 pixels at 8 points at 100 %, 16 at 150 %).
    int smaller = magnitude - (magnitude * step + 4) / 8;
    if (smaller < 7)
        smaller = 7;
    if (smaller > magnitude)
        smaller = magnitude;
    return designHeight < 0 ? -smaller : smaller;
}

} // namespace season
