// Generated scenery library files for the benchmarks, in the simulator's layout.
#pragma once

#include <cstddef>
#include <string>

namespace sweepstone_bench {

// A scenery library file with a [General] section and `areas` areas, CR LF line
// ends, a blank line after each area. Area i (from 1) has the title
// "Sample Scenery " + i in five digits.
std::string SceneryLibrary(size_t areas);

// A log text naming one area in a hundred (areas 50, 150, 250, ...), so that a
// removal takes 1 % of the areas.
std::string OnePercentLogText(size_t areas);

// How many areas OnePercentLogText names.
size_t OnePercentCount(size_t areas);

} // namespace sweepstone_bench
