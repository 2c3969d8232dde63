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

// Folders whose files no uninstall may delete: on Win32 the Windows folder (the
// system folders lie below it); on POSIX the system's program and library folders.
std::vector<std::string> SystemFileFolders();

// The Windows folder, ending in a separator.
std::string WindowsFolder();

} // namespace platform
