// Values of an uninstall log that must never be acted on, whatever the log says:
// one careless line must not wipe a disk, a system folder or a registry hive.
#pragma once

#include <string>
#include <vector>

namespace sweepstone {

// True when deleting the folder `path` would hit a drive root, a share root, one of
// `protectedFolders` or a folder that holds one of them. Paths compare without
// regard to case, "\" and "/" alike, "." and ".." resolved; a relative path is taken
// against the current folder.
bool IsUnsafeFolder(const std::string& path, const std::vector<std::string>& protectedFolders);

// True when a registry key path below HKEY_LOCAL_MACHINE has fewer than two
// non-empty components ("SOFTWARE", "\SOFTWARE\", "").
bool IsUnsafeRegistryKey(const std::string& keyPath);

// The comparable form of a full path: upper-case ASCII, backslashes, no repeated or
// trailing separators, "." and ".." resolved. Exposed for tests.
std::string ComparablePath(const std::string& fullPath);

} // namespace sweepstone
