// What the uninstall wizard needs to delete itself: a unique temporary name, the
// process's current folder, a hidden command batch, and the end of the process.
#pragma once

#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace platform {

// A unique file name in `folder` made from `prefix`, a hexadecimal number and the
// extension "tmp"; the empty file is created to reserve the name (GetTempFileName).
// Empty when no name could be made.
std::string UniqueTempFileName(const std::string& folder, const std::string& prefix);

// Clears every attribute of a file (read-only included); on POSIX, makes it writable.
std::error_code ClearFileAttributes(const std::string& path);

std::error_code SetCurrentFolder(const std::string& folder);

// Variables added to (or replacing those of) a started program's environment.
using EnvironmentValues = std::vector<std::pair<std::string, std::string>>;

// Starts the system's command interpreter (cmd.exe from the system folder, never one
// found elsewhere) with `arguments` after its name, its window hidden, with the
// caller's environment plus `environment` (names compared without case), and does
// not wait for it. Nothing is started on POSIX: tests read the batch instead.
std::error_code StartHiddenCommand(const std::string& arguments,
                                   const EnvironmentValues& environment);

// The executable names ("fsx.exe") of the processes running on the machine, as
// far as the process may see them; on POSIX the kernel's command names.
std::vector<std::string> RunningProgramNames();

// The process's command line as the system holds it (GetCommandLineW), in UTF-8:
// the program name first, then the arguments as the caller wrote them, quotes
// included. On POSIX the arguments are joined, each in quotes.
std::string CommandLineText();

// Ends the process at once with `code`; no window close events run.
[[noreturn]] void EndProcess(int code);

} // namespace platform
