// What the uninstall wizard needs to delete itself: a private folder for its batch,
// the batch written new, a hidden command interpreter, and the end of the process.
#pragma once

#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace platform {

// The security descriptor (in the system's SDDL) of a folder that the wizard makes
// for its own files in a folder that others may write: owned by and open to the
// running account (`accountSid`, "S-1-5-21-...") alone or, when the process runs
// elevated, to the administrators and the system alone; protected, so that nothing
// is inherited from the folder above; the files made inside inherit the same.
std::string PrivateFolderSddl(const std::string& accountSid, bool elevated);

// Creates a new folder in `parent` (which ends in a separator) named `prefix` and
// eight hexadecimal digits, with the descriptor above for the running account on
// Windows (mode 0700 on POSIX). A name that exists, whatever it is (a folder, a
// file, a link someone planted), is never opened or reused: the next number is
// tried. `folder` receives the new folder's path, without a final separator.
std::error_code MakePrivateFolder(const std::string& parent, const std::string& prefix,
                                  std::string& folder);

// Writes `bytes` to a file that must not exist yet (CREATE_NEW; O_EXCL on POSIX):
// a file or link already there under that name fails the call untouched.
std::error_code WriteNewFile(const std::string& path, const std::string& bytes);

// Clears every attribute of a file (read-only included); on POSIX, makes it writable.
std::error_code ClearFileAttributes(const std::string& path);

// The system folder (GetSystemDirectoryW: "C:\Windows\System32"), without a final
// separator; on POSIX "/usr/bin".
std::string SystemFolder();

// Variables added to (or replacing those of) a started program's environment.
using EnvironmentValues = std::vector<std::pair<std::string, std::string>>;

// Starts the system's command interpreter (cmd.exe from the system folder, never one
// found elsewhere) with `arguments` after its name, its window hidden, in
// `currentFolder`, with the caller's environment plus `environment` (names compared
// without case), and does not wait for it. Nothing is started on POSIX: tests read
// the batch instead.
std::error_code StartHiddenCommand(const std::string& arguments,
                                   const EnvironmentValues& environment,
                                   const std::string& currentFolder);

// The executable names ("fsx.exe") of the processes running on the machine, as
// far as the process may see them; on POSIX the kernel's command names.
std::vector<std::string> RunningProgramNames();

// The process's command line as the system holds it (GetCommandLineW), in UTF-8:
// the program name first, then the arguments as the caller wrote them, quotes
// included. On POSIX the arguments are joined, each in quotes.
std::string CommandLineText();

// Splits a process's command line into its arguments by the rules of the Windows
// start-up code (CommandLineToArgvW): the program name first, up to the next quote
// or blank, without escapes; then blanks and tabs separate arguments, quotes group
// and are removed wherever they stand, 2n backslashes before a quote give n
// backslashes and a grouping quote, 2n+1 give n backslashes and a literal quote, ""
// inside a group gives a literal quote, and other backslashes stay as they are.
// The program name is left out of the result.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Ends the process at once with `code`; no window close events run.
[[noreturn]] void EndProcess(int code);

} // namespace platform
