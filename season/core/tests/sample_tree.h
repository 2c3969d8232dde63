// Lays out add-on trees on disk for tests and benchmarks: the catalogue's add-ons
// with every source their operations read, and generic add-ons.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Writes a file below `base` (which ends in a separator), creating its folders.
void WriteBelow(const std::string& base, const std::string& relative, const std::string& content);

// Every catalogue add-on: its probe file and, for each operation of each season,
// its source. A source file holds its own relative path; a source folder holds two
// files that do, and a sub-folder that a folder copy must not take along. Files
// switched by renaming are laid out as summer leaves them.
void LayOutCatalogue(const std::string& base);

// A generic add-on "name" whose "Texture\Default" holds the tree textures of the
// given seasons (0..3), each holding its own relative path.
void LayOutGenericAddon(const std::string& base, const std::string& name,
                        const std::vector<int>& seasons = {0, 1, 2, 3});

} // namespace testing_support
