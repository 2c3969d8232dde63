// Finds the installed add-ons below the base folder, once per program run.
#pragma once

#include "file_system.h"
#include "switcher_state.h"

namespace season {

// Appends every immediate sub-folder of BaseFolder (not hidden, not system) that
// holds "Texture\Default\treesSU.bmp", sorted without regard to case.
void ScanSubFolders(SwitcherState& state, FileSystem& fs = RealFileSystem());

// Tests every catalogue row's probe file in catalogue order; appends the display
// names of those found and sets their Detected flags (rows 2..25).
void ProbeCatalogue(SwitcherState& state, FileSystem& fs = RealFileSystem());

} // namespace season
