// The wizard's command line: the switches that installers and package managers pass
// through the uninstall string, the exit codes that they read back, and the usage
// text. Plain code over UTF-8 text; the program entry hands in the command line.
#pragma once

#include "removal_report.h"

#include "platform/process.h"

#include <string>
#include <string_view>
#include <vector>

namespace sweepstone {

// How the wizard runs.
enum class RunMode {
    Window,     // no switch: the window asks, as without arguments
    Silent,     // /SILENT: the window shows the removal's progress but asks nothing
    VerySilent, // /VERYSILENT or /S: no window at all
    Usage,      // /?: the usage in a message box, nothing else
};

struct Arguments {
    RunMode mode = RunMode::Window;
    std::string reportFile; // /LOG="file"; empty when no report is asked for
    bool check = false;     // /CHECK: judge the log, change nothing (check.h)
    std::string checkLog;   // /CHECK="file": another log than the one beside the wizard
    bool given = false;     // any argument at all; without, the exit code stays 0
    // Switches that deployment tools pass by habit, with their usual meaning.
    bool suppressMessageBoxes = false; // /SUPPRESSMSGBOXES: no box, not even for refused arguments
    bool noRestart = false; // /NORESTART: never restart (the wizard never does; 3010 tells)
    bool noCancel = false;  // /NOCANCEL: once the removal has begun, it cannot be cancelled

    bool Quiet() const { return mode == RunMode::Silent || mode == RunMode::VerySilent; }
};

struct ParsedArguments {
    Arguments arguments;
    std::string error; // empty when the arguments were accepted
    // A silent switch or /SUPPRESSMSGBOXES was among them, accepted or not: then no
    // box may wait for an answer.
    bool silentAsked = false;
    bool Accepted() const { return error.empty(); }
};

// Splits the process's command line by the Windows start-up rules (process.h).
using platform::SplitCommandLine;

// Reads the arguments: switches start with "/" and match without regard to case;
// /LOG takes its file after "=" (the quotes around it are gone already), /CHECK
// may take one. An unknown
// switch, a switch given twice, two run modes, /LOG without a file or a plain word
// refuse the whole command line: nothing is done then.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

// Exit codes.
inline constexpr int kExitRemoved = 0;          // everything was removed
inline constexpr int kExitItemsLeft = 1;        // items were left or refused
inline constexpr int kExitNoLog = 2;            // no uninstall log, or one that cannot be read
inline constexpr int kExitCancelled = 3;        // cancelled, or the arguments were refused
inline constexpr int kExitRestartNeeded = 3010; // removed, some items only at the next restart

// The exit code of a removal that ran: items left or refused outweigh items that
// wait for the next restart.
int ExitCodeFor(const RemovalReport& report);

// A short English meaning of an exit code, for the report and the documentation.
const char* ExitCodeMeaning(int code);

// The usage text shown by /? (and, with the complaint before it, for refused
// arguments when no silent switch was given), for the program file's name.
std::string UsageText(const std::string& programName);

} // namespace sweepstone
