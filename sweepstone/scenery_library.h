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

// True when an area's "Local" folder is one of the simulator's own: "Addon Scenery"
// itself, or "Scenery" and anything below it, written relative to the simulator or
// in full below one of `simulatorRoots`. Names compare without regard to case, "/"
// counts as "\\", and "." and ".." are resolved first, so "Addon Scenery\\..\\Scenery"
// is "Scenery". Such an area is never removed, whatever the log's text holds: its
// title ("Las Vegas", "Addon Scenery") is part of many a product's name.
bool IsDefaultArea(std::string_view local, const std::vector<std::string>& simulatorRoots);

// The positions (as ProfileDocument::SectionName counts them) of the areas whose
// "Title" occurs in `logText`, in file order; in memory, nothing is read or written.
// Default areas (IsDefaultArea) whose title occurs are never among them: they go to
// `refused` when it is given.
std::vector<size_t> MarkedAreas(const ProfileDocument& library, std::string_view logText,
                                const std::vector<std::string>& simulatorRoots = {},
                                std::vector<size_t>* refused = nullptr);

// What RemoveSceneryAreas did: the titles of the areas it removed and of the
// default areas it kept although their titles occur, in file order.
struct SceneryEdit {
    std::vector<std::string> removed;
    std::vector<std::string> refused;
};

// Removes from the scenery library file at `path` every section whose "Title"
// occurs in `logText` (TitleOccursIn), except the simulator's default areas (see
// MarkedAreas); `edit`, when given, receives what was removed and refused. A section
// without a "Title" key is never removed. Titles are read as the profile functions read them (the
// first section of a repeated name answers for every copy; a name marked twice removes two copies).
// All marked sections go in one rewrite that replaces the file atomically; everything else stays
// byte for byte in the file's own encoding (UTF-16LE, UTF-8 or the ANSI code page), gaps in the
// area numbering included.
//
// A missing file stays missing and nothing is marked. When the file cannot be
// read or written, it stays as it was and the failure is returned: the removal step that
// called this has failed and ends there.
[[nodiscard]] std::error_code
RemoveSceneryAreas(const std::string& path, const std::string& logText,
                   const std::vector<std::string>& simulatorRoots = {},
                   SceneryEdit* edit = nullptr);

} // namespace sweepstone
