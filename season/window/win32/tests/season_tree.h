// The start-up shared by the end-to-end tests of season.exe: a fresh tree with the
// program placed in it, as a user places it.
#pragma once

#include <string>

namespace season_e2e {

// Makes DriverFolder()\`folder`\`name`\ holding a copy of the sample add-on folder
// (data\addons\ beside the driver), or nothing else when `withAddons` is false, and
// the program (data\season.exe) as season.exe. Returns the tree with its closing
// backslash.
std::wstring MakeTree(const std::wstring& folder, const std::wstring& name, bool withAddons = true);

} // namespace season_e2e
