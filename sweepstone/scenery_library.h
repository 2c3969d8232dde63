// Editing of the simulator's scenery library file (Scenery.cfg): removing the areas
// of a product that is being uninstalled.
#pragma once

#include <string>
#include <system_error>

namespace sweepstone {

// True when an area with this title belongs to the product that the log's text
// names: the title occurs in the text, exactly and with letter case. An empty title
// never occurs.
bool TitleOccursIn(const std::string& title, const std::string& logText);

// Removes from the scenery library file at `path` every section whose "Title"
// occurs in `logText` (TitleOccursIn). A section without a "Title" key is never
// removed. Titles are read as the profile functions read them (the first section
// of a repeated name answers for every copy; a name marked twice removes two
// copies). All marked sections go in one rewrite that replaces the file atomically;
// everything else stays byte for byte, gaps in the area numbering included.
//
// A missing file stays missing and nothing is marked. When the file cannot be
// read or written, it stays as it was and the failure is returned: the removal step that
// called this has failed and ends there.
[[nodiscard]] std::error_code RemoveSceneryAreas(const std::string& path,
                                                 const std::string& logText);

} // namespace sweepstone
