// The Windows profile-file functions, wrapped for comparison with ProfileFile in
// tests and benchmarks of the Windows build. Buffers grow until nothing is cut.
#pragma once

#include <string>
#include <vector>

namespace sweepstone_testing {

// GetPrivateProfileSectionNamesA.
std::vector<std::string> SystemSectionNames(const std::string& path);

// GetPrivateProfileStringA(section, key, defaultValue).
std::string SystemReadString(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue);

// True when GetPrivateProfileStringA finds the key (two different defaults give
// the same answer).
bool SystemHasKey(const std::string& path, const std::string& section, const std::string& key);

// GetPrivateProfileStringA(section, NULL): the section's keys.
std::vector<std::string> SystemKeyNames(const std::string& path, const std::string& section);

// GetPrivateProfileSectionA.
std::vector<std::string> SystemSectionLines(const std::string& path, const std::string& section);

// WritePrivateProfileStringA(section, NULL, NULL), then the cache flushed.
bool SystemRemoveSection(const std::string& path, const std::string& section);

// The scenery area removal done through the profile functions: list the section
// names, look up every section's "Title", and remove each section whose title is
// present and occurs in the text, one WritePrivateProfileStringA call each.
bool SystemRemoveSceneryAreas(const std::string& path, const std::string& logText);

} // namespace sweepstone_testing
