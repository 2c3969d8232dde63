#include "command_line.h"

#include "active_season.h"
#include "apply.h"
#include "detection.h"
#include "link_rule.h"
#include "switcher_state.h"
#include "texts.h"
#include "unit1.h"

#include "platform/files.h"
#include "platform/path.h"
#include "platform/unicode.h"

#include <array>
#include <cstring>
#include <set>
#include <span>

namespace season {
namespace {

// One "/name=value" argument, split; false when it has no switch character.
bool SplitSwitch(const std::string& arg, std::string& name, std::string& value, bool& hasValue) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
        return false;
    const size_t cut = arg.find_first_of("=:", 1);
    hasValue = cut != std::string::npos;
    name = platform::FoldUtf8(arg.substr(1, hasValue ? cut - 1 : std::string::npos));
    value = hasValue ? platform::FoldUtf8(arg.substr(cut + 1)) : std::string();
    return !name.empty();
}

constexpr const char* kSeasonValues[] = {"summer", "autumn", "winter", "spring", "auto"};
constexpr const char* kYesNo[] = {"yes", "no"};
constexpr const char* kLanguages[] = {"de", "en"}; // kGerman, kEnglish
constexpr const char* kHemispheres[] = {"north", "south"};

// What a switch sets in the command line, given the index of its value.
enum class Field { Usage, Season, MipMaps, Language, Hemisphere, Quiet, Status };

// The switches, each a row: its name, what it sets, and the values it takes
// (none: it takes no "=value").
struct Switch {
    const char* name;
    Field field;
    std::span<const char* const> values;
};

constexpr Switch kSwitches[] = {
    {"?", Field::Usage, {}},
    {"season", Field::Season, kSeasonValues},
    {"mipmaps", Field::MipMaps, kYesNo},
    {"lang", Field::Language, kLanguages},
    {"hemisphere", Field::Hemisphere, kHemispheres},
    {"quiet", Field::Quiet, {}},
    {"status", Field::Status, {}},
};

// The index of `value` in `names`, or -1.
int IndexOf(const std::string& value, std::span<const char* const> names) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (value == names[i])
            return static_cast<int>(i);
    }
    return -1;
}

const Switch* SwitchNamed(const std::string& name) {
    for (const Switch& candidate : kSwitches) {
        if (name == candidate.name)
            return &candidate;
    }
    return nullptr;
}

void Set(CommandLine& line, Field field, int value) {
    switch (field) {
    case Field::Usage:
        line.usage = true;
        break;
    case Field::Season:
        line.season = value == kSeasonCount ? kAutoSeason : value;
        break;
    case Field::MipMaps:
        line.mipMaps = value == 0 ? MipMapChoice::Yes : MipMapChoice::No;
        break;
    case Field::Language:
        line.language = value;
        break;
    case Field::Hemisphere:
        line.southern = value == 1;
        break;
    case Field::Quiet:
        line.quiet = true;
        break;
    case Field::Status:
        line.status = true;
        break;
    }
}

SeasonIndices IndicesFor(int season) {
    return {season, (season + 1) % kSeasonCount, (season + kSeasonCount - 1) % kSeasonCount};
}

std::string Usage(int language, const std::string& programPath) {
    std::string text(CommandLineTextsFor(language).usage);
    const std::string report = ReportPathOf(programPath);
    const std::string name = platform::NameOf(report);
    const std::string placeholder = "{report}";
    const size_t at = text.find(placeholder);
    if (at != std::string::npos)
        text.replace(at, placeholder.size(), name);
    return text;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    // The language first, so that any refusal below speaks it.
    for (const std::string& arg : args) {
        std::string name, value;
        bool hasValue = false;
        if (SplitSwitch(arg, name, value, hasValue) && name == "lang" && hasValue) {
            const int language = IndexOf(value, kLanguages);
            if (language >= 0)
                line.language = language;
        }
    }
    std::set<Field> given;
    std::string switchArgument; // the first argument that asks for a switch
    for (const std::string& arg : args) {
        std::string name, value;
        bool hasValue = false;
        const Switch* match = SplitSwitch(arg, name, value, hasValue) ? SwitchNamed(name) : nullptr;
        const int index = match && hasValue ? IndexOf(value, match->values) : -1;
        // "/?" may come more than once; every other switch once.
        const bool ok = match && (match->values.empty() ? !hasValue : index >= 0) &&
                        (given.insert(match->field).second || match->field == Field::Usage);
        if (!ok) {
            if (line.refused.empty())
                line.refused = arg.empty() ? std::string("\"\"") : arg;
            continue;
        }
        Set(line, match->field, index);
        const bool switching = match->field == Field::Season || match->field == Field::MipMaps ||
                               match->field == Field::Hemisphere;
        if (switching && switchArgument.empty())
            switchArgument = arg;
    }
    // The status switches nothing: it takes no switch's settings.
    if (line.status && line.refused.empty() && !switchArgument.empty())
        line.refused = switchArgument;
    if (!line.usage && !line.status && line.refused.empty() && !given.count(Field::Season))
        line.refused = "/season=";
    return line;
}

int SeasonOfMonth(int month, bool southern) {
    // December, January and February are winter; every three months on, the next.
    static constexpr int kByQuarter[4] = {kWinter, kSpring, kSummer, kAutumn};
    const int quarter = (month % 12) / 3;
    const int season = kByQuarter[quarter];
    return southern ? (season + 2) % kSeasonCount : season;
}

std::string ReportPathOf(const std::string& programPath) {
    return platform::WithoutExtensions(programPath) + "-report.txt";
}

int RunCommandLine(const CommandLine& line, const CommandLineHost& host, FileSystem& fs) {
    const auto tell = [&](const std::string& text) {
        if (!line.quiet) {
            if (host.show)
                host.show(text);
            return;
        }
        // A quiet run leaves its outcome beside the program; a report that cannot
        // be written changes nothing else.
        platform::WriteWholeFile(ReportPathOf(host.programPath), text + "\r\n");
    };

    if (line.usage) {
        if (host.show)
            host.show(Usage(line.language, host.programPath));
        return kExitSwitched;
    }
    if (line.Refused()) {
        const CommandLineTexts& texts = CommandLineTextsFor(line.language);
        std::string text;
        if (line.refused == "/season=")
            text = std::string(texts.missingSeason);
        else
            text = std::string(texts.refused) + " " + line.refused;
        tell(text + "\r\n\r\n" + Usage(line.language, host.programPath));
        return kExitBadArguments;
    }

    SwitcherState state;
    state.Language = line.language;
    state.BaseFolder = BaseFolderOf(host.programPath);
    if (line.status) {
        ScanSubFolders(state, fs);
        ProbeCatalogue(state, fs);
        if (state.AddonList.empty()) {
            tell(NothingFoundMessage(line.language, state.BaseFolder));
            return kExitNothingFound;
        }
        const ActiveSeasons found = FindActiveSeasons(state, fs);
        tell(ActiveSeasonReport(line.language, found));
        return found.activity == Activity::Season ? kExitOneSeason : kExitMixedOrUnknown;
    }
    const int season = line.season == kAutoSeason
                           ? SeasonOfMonth(host.month ? host.month() : 1, line.southern)
                           : line.season;
    state.seasons = IndicesFor(season);
    ScanSubFolders(state, fs);
    ProbeCatalogue(state, fs);
    if (state.AddonList.empty()) {
        tell(NothingFoundMessage(line.language, state.BaseFolder));
        return kExitNothingFound;
    }

    ApplyRequest request;
    if (NeedsMipMapAnswer(state)) {
        if (line.mipMaps == MipMapChoice::Ask && !line.quiet && host.askYesNo) {
            const ApplyTexts& texts = ApplyTextsFor(line.language);
            request.useMipMaps =
                host.askYesNo(std::string(texts.mipMapQuestion), std::string(texts.mipMapCaption));
        } else {
            request.useMipMaps = line.mipMaps == MipMapChoice::Yes;
        }
    }
    LinkCheckingFileSystem linkChecking(fs, state.BaseFolder, host.links);
    const ApplyResult result = ApplySeason(state, request, host.elevated ? linkChecking : fs);
    if (result.raised) {
        tell(std::string(CommandLineTextsFor(line.language).endedEarly));
        return kExitSomeFailed;
    }
    // The report lists every failed target; a message at most ten.
    const std::vector<std::string> failed = FailedTargetsNamed(line.language, result);
    tell(line.quiet ? FullResultReport(line.language, failed)
                    : ResultMessage(line.language, failed));
    return result.failedTargets.empty() ? kExitSwitched : kExitSomeFailed;
}

} // namespace season
