// Generated scenery library files for the benchmarks, in the simulator's layout.
#pragma once

#include <cstddef>
#include <string>

namespace sweepstone_bench {

// A scenery library file with a [General] section and `areas` areas, CR LF line
// ends, a blank line after each area. One area in a hundred (areas 50, 150, 250,
// ...) belongs to the product of ProductLogText(), under one of the titles such a
// product uses ("Sample Airport X Scenery", "Sample Airport X", "Airport X Mesh"
// ...); every other area has its own title "Sample Scenery " + five digits, and some
// of them near misses such as "Sample Airport X Scenery 2".
std::string SceneryLibrary(size_t areas);

// The log text that names the product: RemoveSceneryAreas with it removes exactly
// the product's areas, 1 % of them.
std::string ProductLogText();

// How many areas the product has in SceneryLibrary(areas).
size_t ProductAreaCount(size_t areas);

} // namespace sweepstone_bench
