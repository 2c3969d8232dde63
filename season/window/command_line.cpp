#include "command_line.h"

#include "apply.h"
#include "detection.h"
#include "switcher_state.h"
#include "texts.h"
#include "unit1.h"

#include "platform/files.h"
#include "platform/path.h"

#include <array>
#include <cstring>
#include <set>

namespace season {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// One "/name=value" argument, split; false when it has no switch character.
bool SplitSwitch(const std::string& arg, std::string& name, std::string& value, bool& hasValue) {
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-'))
        return false;
    const size_t cut = arg.find_first_of("=:", 1);
    hasValue = cut != std::string::npos;
    name = Lower(arg.substr(1, hasValue ? cut - 1 : std::string::npos));
    value = hasValue ? Lower(arg.substr(cut + 1)) : std::string();
    return !name.empty();
}

// The index of `value` in `names`, or -1.
template <size_t N> int IndexOf(const std::string& value, const std::array<const char*, N>& names) {
    for (size_t i = 0; i < N; ++i) {
        if (value == names[i])
            return static_cast<int>(i);
    }
    return -1;
}

constexpr std::array<const char*, 5> kSeasonValues = {"summer", "autumn", "winter", "spring",
                                                      "auto"};
constexpr std::array<const char*, 2> kYesNo = {"yes", "no"};
constexpr std::array<const char*, 2> kLanguages = {"de", "en"}; // kGerman, kEnglish
constexpr std::array<const char*, 2> kHemispheres = {"north", "south"};

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
    bool seasonGiven = false;
    std::set<std::string> seen;
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
    for (const std::string& arg : args) {
        std::string name, value;
        bool hasValue = false;
        const bool isSwitch = SplitSwitch(arg, name, value, hasValue);
        if (isSwitch && name == "?" && !hasValue) {
            line.usage = true;
            continue;
        }
        bool ok = isSwitch && seen.insert(name).second;
        if (ok) {
            if (name == "quiet") {
                ok = !hasValue;
                line.quiet = true;
            } else if (!hasValue) {
                ok = false;
            } else if (name == "season") {
                const int season = IndexOf(value, kSeasonValues);
                ok = season >= 0;
                line.season = season == kSeasonCount ? kAutoSeason : season;
                seasonGiven = ok;
            } else if (name == "mipmaps") {
                const int answer = IndexOf(value, kYesNo);
                ok = answer >= 0;
                line.mipMaps = answer == 0 ? MipMapChoice::Yes : MipMapChoice::No;
            } else if (name == "lang") {
                ok = IndexOf(value, kLanguages) >= 0;
            } else if (name == "hemisphere") {
                const int hemisphere = IndexOf(value, kHemispheres);
                ok = hemisphere >= 0;
                line.southern = hemisphere == 1;
            } else {
                ok = false;
            }
        }
        if (!ok && line.refused.empty())
            line.refused = arg.empty() ? std::string("\"\"") : arg;
    }
    if (!line.usage && line.refused.empty() && !seasonGiven)
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
    const ApplyResult result = ApplySeason(state, request, fs);
    if (result.raised) {
        tell(std::string(CommandLineTextsFor(line.language).endedEarly));
        return kExitSomeFailed;
    }
    // The report lists every failed target; a message at most ten.
    tell(line.quiet ? FullResultReport(line.language, result.failedTargets)
                    : ResultMessage(line.language, result.failedTargets));
    return result.failedTargets.empty() ? kExitSwitched : kExitSomeFailed;
}

} // namespace season
