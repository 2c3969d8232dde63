#include "command_line.h"

#include "platform/unicode.h"

namespace sweepstone {
namespace {

// The switches, each a row: its name, the run mode it asks for (Window for none),
// whether it takes a value after "=", the argument it sets to true, the argument
// that receives its value, whether the value may be left out, and whether no box
// may wait for an answer once it is given (`quiet`).
struct Switch {
    const char* name;
    RunMode mode;
    bool takesValue;
    bool Arguments::*flag = nullptr;
    std::string Arguments::*value = nullptr;
    bool valueOptional = false;
    bool quiet = false;
};

constexpr Switch kSwitches[] = {
    {"/SILENT", RunMode::Silent, false, nullptr, nullptr, false, true},
    {"/VERYSILENT", RunMode::VerySilent, false, nullptr, nullptr, false, true},
    {"/S", RunMode::VerySilent, false, nullptr, nullptr, false, true},
    {"/?", RunMode::Usage, false},
    {"/LOG", RunMode::Window, true, nullptr, &Arguments::reportFile},
    {"/CHECK", RunMode::Window, true, &Arguments::check, &Arguments::checkLog, true},
    // Switches that deployment tools pass by habit.
    {"/SUPPRESSMSGBOXES", RunMode::Window, false, &Arguments::suppressMessageBoxes, nullptr, false,
     true},
    {"/NORESTART", RunMode::Window, false, &Arguments::noRestart},
    {"/NOCANCEL", RunMode::Window, false, &Arguments::noCancel},
};

} // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& arguments) {
    ParsedArguments parsed;
    parsed.arguments.given = !arguments.empty();
    bool modeGiven = false;
    bool seen[std::size(kSwitches)] = {};

    for (const std::string& argument : arguments) {
        const std::string_view text = argument;
        const size_t equals = text.find('=');
        const std::string_view name = text.substr(0, equals);
        const Switch* match = nullptr;
        size_t index = 0;
        for (; index < std::size(kSwitches); ++index) {
            if (platform::EqualFolded(name, kSwitches[index].name)) {
                match = &kSwitches[index];
                break;
            }
        }
        if (match && match->quiet)
            parsed.silentAsked = true;
        if (!parsed.error.empty())
            continue; // keep looking for silent switches only
        if (!match) {
            parsed.error = "Unknown argument: " + argument;
            continue;
        }
        if (seen[index]) {
            parsed.error = "Given twice: " + std::string(match->name);
            continue;
        }
        seen[index] = true;
        if (match->flag)
            parsed.arguments.*match->flag = true;
        if (match->takesValue) {
            if (equals == std::string_view::npos && match->valueOptional)
                continue;
            if (equals == std::string_view::npos || equals + 1 == text.size()) {
                parsed.error =
                    std::string(match->name) + " needs a file: " + match->name + "=\"file\"";
                continue;
            }
            parsed.arguments.*match->value = std::string(text.substr(equals + 1));
            continue;
        }
        if (equals != std::string_view::npos) {
            parsed.error = std::string(match->name) + " takes no value: " + argument;
            continue;
        }
        if (match->flag)
            continue; // set above; no run mode
        if (modeGiven) {
            parsed.error = "Only one of /SILENT, /VERYSILENT, /S and /? may be given";
            continue;
        }
        modeGiven = true;
        parsed.arguments.mode = match->mode;
    }
    if (!parsed.error.empty()) {
        parsed.arguments = Arguments();
        parsed.arguments.given = true;
    }
    return parsed;
}

int ExitCodeFor(const RemovalReport& report) {
    if (report.AnythingLeft())
        return kExitItemsLeft;
    if (report.RestartNeeded())
        return kExitRestartNeeded;
    return kExitRemoved;
}

const char* ExitCodeMeaning(int code) {
    switch (code) {
    case kExitRemoved:
        return "everything was removed";
    case kExitItemsLeft:
        return "items were left";
    case kExitNoLog:
        return "no uninstall log, or one that cannot be read";
    case kExitCancelled:
        return "cancelled, or the arguments were refused";
    case kExitRestartNeeded:
        return "everything was removed, some items only at the next restart";
    default:
        return "unknown";
    }
}

std::string UsageText(const std::string& programName) {
    return "Usage: " + programName +
           " [/SILENT | /VERYSILENT | /S] [/LOG=\"file\"] [/CHECK[=\"log\"]]"
           " [/SUPPRESSMSGBOXES] [/NORESTART] [/NOCANCEL]\r\n"
           "\r\n"
           "Without arguments the wizard asks before it removes the product.\r\n"
           "/SILENT\tremoves without asking; the window shows the progress.\r\n"
           "/VERYSILENT, /S\tremove without any window.\r\n"
           "/LOG=\"file\"\twrites a report of every item (UTF-8).\r\n"
           "/CHECK\tjudges the uninstall log and changes nothing; /CHECK=\"log\" judges\r\n"
           "\tanother log. The report goes to /LOG or beside the wizard; exit code\r\n"
           "\t0: no findings, 1: warnings only, 2: errors.\r\n"
           "/SUPPRESSMSGBOXES\tshows no message box, not even for refused arguments.\r\n"
           "/NORESTART\tnever restarts Windows (the wizard never does; exit code 3010\r\n"
           "\ttells that a restart is due).\r\n"
           "/NOCANCEL\tonce the removal has begun, it cannot be cancelled.\r\n"
           "/?\tshows this text.\r\n"
           "\r\n"
           "Exit codes:\r\n"
           "0\teverything was removed\r\n"
           "1\titems were left (listed in the report)\r\n"
           "2\tno uninstall log, or one that cannot be read\r\n"
           "3\tcancelled, or the arguments were refused\r\n"
           "3010\teverything was removed, some items only at the next restart";
}

} // namespace sweepstone
