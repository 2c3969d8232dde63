// The Windows profile-file functions, wrapped for comparison with ProfileFile in
// tests and benchmarks of the Windows build. Buffers grow until nothing is cut.
// Texts are UTF-8 both ways, through the wide functions: the system decodes the file
// (UTF-16LE by its mark, otherwise the ANSI code page; Wine also UTF-8 by its mark).
#pragma once

#include <string>
#include <vector>

namespace sweepstone_testing {

// GetPrivateProfileSectionNamesW.
std::vector<std::string> SystemSectionNames(const std::string& path);

// GetPrivateProfileStringW(section, key, defaultValue).
std::string SystemReadString(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue);

// True when GetPrivateProfileStringW finds the key (two different defaults give
// the same answer).
bool SystemHasKey(const std::string& path, const std::string& section, const std::string& key);

// GetPrivateProfileStringW(section, NULL): the section's keys.
std::vector<std::string> SystemKeyNames(const std::string& path, const std::string& section);

// GetPrivateProfileSectionW.
std::vector<std::string> SystemSectionLines(const std::string& path, const std::string& section);

// WritePrivateProfileStringW(section, NULL, NULL), then the cache flushed.
bool SystemRemoveSection(const std::string& path, const std::string& section);

// The scenery area removal done through the profile functions: list the section
// names, look up every section's "Title", and remove each section whose title is
// present and occurs in the text, one WritePrivateProfileStringW call each.
bool SystemRemoveSceneryAreas(const std::string& path, const std::string& logText);

} // namespace sweepstone_testing
