// Shell operations of the uninstall wizard.
#pragma once

#include <string>

namespace platform {

// Opens a program or document with its default verb, as a double click would, with
// `parameters` as its parameter text and `owner` (a window handle, or null) as the
// owner of any window the shell shows. The result is not reported.
//
// Without a Windows shell (POSIX), the request is appended as one line
// "file<TAB>parameters" to the file that the environment variable
// BRIGHTMERE_SHELL_RECORD names, so that tests can see what would have opened.
void ShellOpen(void* owner, const std::string& file, const std::string& parameters);

// What became of a program started with administrator rights.
struct ElevatedRun {
    bool started = false;   // the program ran (and has ended)
    bool cancelled = false; // the user refused the elevation prompt
    unsigned exitCode = 0;  // the program's exit code when it ran
};

// Starts a program with administrator rights (the shell's verb "runas": Windows
// shows its elevation prompt), its windows owned by `owner`, and waits until it
// has ended. Without a Windows shell (POSIX) the request is recorded as ShellOpen
// records it, and the run counts as started with exit code 0.
ElevatedRun RunElevatedAndWait(void* owner, const std::string& file, const std::string& parameters);

// The full form of a path: a relative path is resolved against the current folder,
// "." and ".." are resolved (GetFullPathName).
std::string FullPathName(const std::string& path);

} // namespace platform
