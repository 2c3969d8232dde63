// Editing of the simulator's scenery library file (Scenery.cfg): removing the areas
// of a product that is being uninstalled.
#pragma once

#include "profile_file.h"

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace sweepstone {

// True when an area with this title belongs to the product that the log's text
// names: the title occurs in the text, exactly and with letter case. An empty title
// never occurs. Both are UTF-8, decoded from their files' own encodings, so a title
// in a UTF-16 Scenery.cfg matches the same title in an ANSI or UTF-8 log.
bool TitleOccursIn(std::string_view title, std::string_view logText);

// The positions (as ProfileDocument::SectionName counts them) of the areas whose
// "Title" occurs in `logText`, in file order; in memory, nothing is read or written.
std::vector<size_t> MarkedAreas(const ProfileDocument& library, std::string_view logText);

// Removes from the scenery library file at `path` every section whose "Title"
// occurs in `logText` (TitleOccursIn). A section without a "Title" key is never
// removed. Titles are read as the profile functions read them (the first section
// of a repeated name answers for every copy; a name marked twice removes two
// copies). All marked sections go in one rewrite that replaces the file atomically;
// everything else stays byte for byte in the file's own encoding (UTF-16LE, UTF-8
// or the ANSI code page), gaps in the area numbering included.
//
// A missing file stays missing and nothing is marked. When the file cannot be
// read or written, it stays as it was and the failure is returned: the removal step that
// called this has failed and ends there.
[[nodiscard]] std::error_code RemoveSceneryAreas(const std::string& path,
                                                 const std::string& logText);

} // namespace sweepstone
