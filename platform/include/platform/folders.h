// Folders of the system and of the user that no uninstall may ever delete.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The Windows and system folders, Program Files and its x86 twin, Common Files,
// ProgramData, the Users folder, Public, the user's profile, Desktop, Documents, the
// AppData roots, both Start Menu Programs roots and the temporary folder, each as a
// full path (no trailing separator). On POSIX: the root, the system's top folders,
// the home folder and the temporary folder.
std::vector<std::string> ProtectedFolders();

// The Windows folder and the temporary folder, each ending in a separator.
std::string WindowsFolder();

} // namespace platform
