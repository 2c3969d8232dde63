// Shell operations of the uninstall wizard.
#pragma once

#include <string>
#include <system_error>

namespace platform {

// What became of a request to open a file as the user of the desktop.
struct DesktopOpen {
    bool shellFound = false; // a desktop shell runs in this session and was reached
    std::error_code error;   // empty when the shell took the request
};

// Opens `file` with its default verb, `parameters` as its parameter text and its
// own folder as the current one, through the desktop's shell: the shell process of
// the user signed in at this desktop starts it, with that user's rights, never with
// the caller's (an elevated or SYSTEM caller gives none of its rights away). The
// shell is reached through its folder view (IShellWindows::FindWindowSW with
// SWC_DESKTOP, then IShellDispatch2::ShellExecute on that view's application
// object). Without a desktop shell in the session (a service's session, a system
// whose shell is not running) nothing is opened and `shellFound` is false.
//
// Without a Windows shell (POSIX), the request is appended as one line
// "file<TAB>parameters" to the file that the environment variable
// BRIGHTMERE_SHELL_RECORD names, so that tests can see what would have opened, and
// counts as taken by a shell.
DesktopOpen OpenAsDesktopUser(const std::string& file, const std::string& parameters);

// What became of a program started with administrator rights.
struct ElevatedRun {
    bool started = false;   // the program ran (and has ended)
    bool cancelled = false; // the user refused the elevation prompt
    unsigned exitCode = 0;  // the program's exit code when it ran
};

// Starts a program with administrator rights (the shell's verb "runas": Windows
// shows its elevation prompt), its windows owned by `owner`, and waits until it
// has ended. Without a Windows shell (POSIX) the request is recorded as
// OpenAsDesktopUser records it, and the run counts as started with exit code 0.
ElevatedRun RunElevatedAndWait(void* owner, const std::string& file, const std::string& parameters);

// The full form of a path: a relative path is resolved against the current folder,
// "." and ".." are resolved (GetFullPathName).
std::string FullPathName(const std::string& path);

} // namespace platform
