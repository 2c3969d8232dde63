// The switcher's command line: one switch without the window, for scripts and
// scheduled tasks.
//
//   season.exe /season=summer|autumn|winter|spring|auto [/mipmaps=yes|no]
//              [/lang=en|de] [/quiet] [/hemisphere=north|south]
//   season.exe /status [/quiet] [/lang=en|de]
//   season.exe /?
//
// Switch names and values are read without regard to case; "-" may stand for "/"
// and ":" for "=". Without any argument the program opens its window as always.
#pragma once

#include "file_system.h"
#include "link_rule.h"
#include "switcher_state.h"

#include <functional>
#include <string>
#include <vector>

namespace season {

// Exit codes of a run from the command line.
enum ExitCode : int {
    kExitSwitched = 0,
    kExitSomeFailed = 1,
    kExitBadArguments = 2,
    kExitNothingFound = 3,
    // Of a status run: every add-on holds one season, or they differ or cannot be told.
    kExitOneSeason = 0,
    kExitMixedOrUnknown = 1,
};

inline constexpr int kAutoSeason = -1;

enum class MipMapChoice { Ask, Yes, No };

struct CommandLine {
    bool usage = false;       // "/?": show the usage and end
    int season = kAutoSeason; // kSummer..kSpring, or kAutoSeason
    MipMapChoice mipMaps = MipMapChoice::Ask;
    int language = kEnglish;
    bool quiet = false;
    bool southern = false;
    bool status = false; // "/status": tell which season each add-on holds, switch nothing
    // Non-empty: the arguments are refused, and this is the first one that was.
    std::string refused;
    bool Refused() const { return !refused.empty(); }
};

// Reads the arguments after the program name. Anything unknown, malformed, given
// twice or missing (a switch run needs /season=; a status run takes none of
// /season=, /mipmaps= and /hemisphere=) refuses the whole command line.
// The language is read even from a refused line where it can be, so that the
// refusal speaks it.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The meteorological season of a month (1..12): March to May spring, June to
// August summer, September to November autumn, December to February winter; the
// southern hemisphere is half a year on.
int SeasonOfMonth(int month, bool southern);

// What a run from the command line needs from the system.
struct CommandLineHost {
    std::string programPath;
    // Today's month, 1..12, in local time.
    std::function<int()> month;
    // A message to the user (UTF-8 text, like the window's texts).
    std::function<void(const std::string& text)> show;
    // The MipMap question; returns true for Yes.
    std::function<bool(const std::string& text, const std::string& caption)> askYesNo;
    // The run has administrator rights: no write may follow a user's link out of
    // the folder (link_rule.h).
    bool elevated = false;
    LinkQueries links = PlatformLinkQueries();
};

// Runs the switch (or the status) the command line asks for and returns the exit
// code. A refused
// command line changes nothing. With /quiet nothing is shown; the outcome goes
// into the report file beside the program instead (ReportPathOf).
int RunCommandLine(const CommandLine& line, const CommandLineHost& host,
                   FileSystem& fs = RealFileSystem());

// The report file of a quiet run: beside the program, its name without extension
// followed by "-report.txt" ("C:\Addons\season.exe" gives
// "C:\Addons\season-report.txt").
std::string ReportPathOf(const std::string& programPath);

} // namespace season
