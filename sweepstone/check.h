// The check of an uninstall log (sweepstone.exe /CHECK): every line of the log
// judged as the removal would read and act on it, and nothing changed. The check
// reads the log with the removal's reader, asks the removal's rules and item tests
// (decisions.h) and its scenery matching (scenery_library.h), so that what it
// predicts is what the removal does; it only never acts.
//
// Findings come in the form compilers use, so that editors jump to the line:
//   Uninstall.log:12: error: [Path] P3=C:\Program Files: refused: Program Files itself
// then one summary line with the counts.
#pragma once

#include "command_line.h"
#include "pe_exports.h"
#include "removal.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sweepstone {

class ProfileDocument;

enum class Severity {
    Note,    // what the removal will do, or how it reads a line; changes no exit code
    Warning, // a named item that is not there; a title that matches nothing
    Error,   // a value that would be refused; a line that does not do what it plainly
             // means (a misspelt section, a repeated key); an unreadable log
};

struct Finding {
    size_t line = 0; // 1-based; 0 for the log as a whole
    Severity severity = Severity::Error;
    std::string text;
    bool operator==(const Finding&) const = default;
};

// What the check asks of the machine besides the removal's own tests.
struct CheckOptions {
    RemovalSafety safety;
    // A log checked for another machine (/CHECK="file", a build machine): findings
    // that depend on this machine (libraries, code page) are warnings, not errors.
    bool otherMachine = false;
    // Where a bare library name is looked for, ending in a separator.
    std::string systemFolder;
    // The machine of the wizard's own code: a library for another cannot be loaded.
    std::uint16_t wizardMachine = sizeof(void*) == 8 ? kMachineX64 : kMachineX86;
    // The exports of the library file at a path: nullopt when it is no Windows
    // library. By default the file's bytes through ReadPeExports.
    std::function<std::optional<PeExports>(const std::string& path)> exports;

    static CheckOptions ForThisSystem();
};

// Every finding of the log, in file order (findings of the same line in the order
// the removal meets them).
std::vector<Finding> CheckLog(const ProfileDocument& log, const CheckOptions& options);

// One report line: "<log>:<line>: <severity>: <text>" ("<log>: ..." for line 0).
std::string FindingLine(const std::string& logName, const Finding& finding);
// "<log>: 2 errors, 1 warning, 0 notes".
std::string SummaryLine(const std::string& logName, const std::vector<Finding>& findings);
// The report file: a UTF-8 byte-order mark, one line per finding and the summary,
// each ended by CR LF.
std::string CheckReportText(const std::string& logName, const std::vector<Finding>& findings);

// Exit codes of a check: no finding (notes aside), warnings only, errors.
inline constexpr int kCheckClean = 0;
inline constexpr int kCheckWarnings = 1;
inline constexpr int kCheckErrors = 2;
int CheckExitCode(const std::vector<Finding>& findings);

// The whole /CHECK run of the program: reads the log (the one beside the wizard, or
// /CHECK="file"), checks it, writes the report (/LOG="file", or "<stem>-check.txt"
// beside the wizard) and gives the exit code and the text that a window shows.
struct CheckRun {
    int exitCode = kCheckClean;
    std::string reportFile;
    std::string message; // the summary, the first findings and the report's name
};
CheckRun RunCheck(const Arguments& arguments, const std::string& programPath,
                  const CheckOptions& options);

} // namespace sweepstone
