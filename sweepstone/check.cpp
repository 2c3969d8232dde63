#include "check.h"

#include "decisions.h"
#include "functions.h"
#include "install.h"
#include "profile_file.h"
#include "scenery_library.h"

#include "platform/errors.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "platform/unicode.h"

#include <algorithm>
#include <map>
#include <set>

namespace sweepstone {
namespace {

using LineType = ProfileDocument::LineType;

constexpr size_t kListedFindings = 20;

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool OnlyBlanks(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// Edits (insert, delete, replace one character) that turn one name into the other.
size_t Distance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The known name closest to a misspelt one, when it is close enough to be meant.
std::optional<std::string> Nearest(std::string_view name, const std::vector<std::string>& known) {
    const std::string folded = platform::FoldUtf8(name);
    std::optional<std::string> best;
    size_t bestDistance = 4; // at most three edits, and fewer than half the name
    for (const std::string& candidate : known) {
        const size_t d = Distance(folded, platform::FoldUtf8(candidate));
        if (d < bestDistance && d * 2 < std::max(folded.size(), candidate.size())) {
            bestDistance = d;
            best = candidate;
        }
    }
    return best;
}

std::string Plural(size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// A library file name as LoadLibrary completes it: without an extension, ".dll".
std::string WithLibraryExtension(const std::string& path) {
    const size_t name = path.find_last_of("\\/:");
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (name != std::string::npos && dot < name))
        return path + ".dll";
    return path;
}

const char* MachineName(std::uint16_t machine) {
    switch (machine) {
    case kMachineX86:
        return "x86";
    case kMachineX64:
        return "x86-64";
    default:
        return "another processor";
    }
}

// One entry of a known section, as the removal reads it: the line that holds the
// key first, with the value that every lookup of the key gives.
struct Entry {
    size_t line;
    std::string key;
    std::string value; // as lookups give it
    std::string shown; // "[Section] key=value" as written, the findings' prefix
    bool repeat;       // a repeated key: it acts again on what its first line named
};

class Checker {
public:
    Checker(const ProfileDocument& log, const CheckOptions& options)
        : log_(log), options_(options) {}

    std::vector<Finding> Run() {
        CheckCodePage();
        ReadLines();
        CheckSharedOptions();
        CheckLibraryCalls("DLL_RUN");
        if (!sharedInUse_)
            CheckLibraryCalls("DLL_RUN_SHARED");
        CheckScenery("Scenery.cfg", true);
        if (!sharedInUse_)
            CheckScenery("Shared_Scenery.cfg", false);
        for (const DeleteSection& step : DeleteSections()) {
            if (!step.shared || !sharedInUse_)
                CheckDeletions(step);
        }
        CheckRenames("Rename_File", ".off");
        CheckRenames("Rename_File_DEX", ".bgl.off_dex");
        CheckRun();
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const Finding& a, const Finding& b) { return a.line < b.line; });
        return std::move(findings_);
    }

private:
    void Add(size_t lineIndex, Severity severity, std::string text) {
        findings_.push_back({lineIndex + 1, severity, std::move(text)});
    }

    // Findings that hold for this machine only: warnings when the log is checked for
    // another one.
    Severity OfThisMachine() const {
        return options_.otherMachine ? Severity::Warning : Severity::Error;
    }

    // A log without a byte-order mark is read in the ANSI code page: UTF-8 text is
    // garbled then, and bytes the code page leaves undefined are no characters.
    void CheckCodePage() {
        if (log_.TextEncoding() != ProfileDocument::Encoding::Bytes)
            return;
        for (size_t i = 0; i < log_.LineCount(); ++i) {
            const std::string_view bytes = log_.LineBytes(i);
            if (IsAscii(bytes))
                continue;
            if (platform::IsUtf8(bytes))
                Add(i, OfThisMachine(),
                    "UTF-8 text in a log without a byte-order mark: read in the ANSI code "
                    "page as \"" +
                        log_.LineText(i) + "\"");
            else if (platform::Utf8ToAnsi(platform::AnsiToUtf8(bytes)) != bytes)
                Add(i, OfThisMachine(), "bytes that the ANSI code page does not define");
        }
    }

    // The format of every line: where it stands, what section it belongs to, and how
    // the reader turns it into a key and a value.
    void ReadLines() {
        const std::vector<std::string>& known = KnownLogSections();
        size_t section = 0;
        bool inSection = false;
        bool readable = false; // inside the first copy of a known section
        std::string name;
        std::map<std::string, size_t> firstLine; // folded key: its first line
        for (size_t i = 0; i < log_.LineCount(); ++i) {
            const ProfileDocument::LineView line = log_.LineAt(i);
            if (line.type == LineType::Section) {
                const size_t index = inSection ? section + 1 : 0;
                section = index;
                inSection = true;
                name = std::string(line.name);
                firstLine.clear();
                const auto knownName =
                    std::find_if(known.begin(), known.end(), [&line](const std::string& k) {
                        return platform::EqualFolded(k, line.name);
                    });
                if (knownName == known.end()) {
                    readable = false;
                    std::string text = "unknown section [" + name + "]: never read";
                    if (const std::optional<std::string> near = Nearest(name, known))
                        text += "; did you mean [" + *near + "]?";
                    Add(i, Severity::Error, text);
                    continue;
                }
                name = *knownName;
                readable = log_.FirstCopyOf(index) == index;
                if (!readable)
                    Add(i, Severity::Error,
                        "[" + name + "] repeated section: only the copy of line " +
                            std::to_string(log_.SectionLine(log_.FirstCopyOf(index)) + 1) +
                            " is read, this one never");
                continue;
            }
            if (line.type == LineType::Blank || line.type == LineType::Comment)
                continue;
            const std::string written = line.type == LineType::Entry
                                            ? std::string(line.name) + "=" + std::string(line.value)
                                            : std::string(line.value);
            if (!inSection) {
                Add(i, Severity::Error, written + ": before the first section, never read");
                continue;
            }
            if (!readable)
                continue; // the section line's finding covers its lines
            const std::string shown = "[" + name + "] " + written;
            if (line.type == LineType::Text) {
                Add(i, Severity::Error, shown + ": no \"=\": no entry, never read");
                continue;
            }
            const auto [first, isNew] = firstLine.try_emplace(platform::FoldUtf8(line.name), i);
            if (!isNew) {
                // The removal still meets the line, with the first line's value.
                Add(i, Severity::Error,
                    shown + ": repeated key: the value of line " +
                        std::to_string(first->second + 1) + " wins, this one is never read");
                entries_[name].push_back(
                    {i, std::string(line.name),
                     std::string(ProfileDocument::LookupValue(log_.LineAt(first->second).value)),
                     shown, true});
                continue;
            }
            const std::string_view value = ProfileDocument::LookupValue(line.value);
            CheckValueForm(i, shown, line.value, value);
            entries_[name].push_back({i, std::string(line.name), std::string(value), shown, false});
        }
    }

    void CheckValueForm(size_t i, const std::string& shown, std::string_view written,
                        std::string_view value) {
        if (OnlyBlanks(value)) {
            Add(i, Severity::Error, shown + ": empty value: names nothing");
            return;
        }
        if (value.size() != written.size()) {
            Add(i, Severity::Note,
                shown + ": quotation marks dropped: read as " + std::string(value));
        } else if (written.front() == '"' || written.front() == '\'' || written.back() == '"' ||
                   written.back() == '\'') {
            Add(i, Severity::Error,
                shown + ": a quotation mark without its pair stays part of the value");
        }
        const std::string text = log_.LineText(i);
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            Add(i, Severity::Note, shown + ": blanks at the end of the line are dropped");
    }

    const std::vector<Entry>& EntriesOf(const std::string& section) { return entries_[section]; }

    // Shared items stay while a folder of [Shared-Folder-Option] is there.
    void CheckSharedOptions() {
        for (const Entry& entry : EntriesOf("Shared-Folder-Option")) {
            if (platform::FolderPresent(entry.value)) {
                sharedInUse_ = true;
                Add(entry.line, Severity::Note,
                    entry.shown + ": another product uses the shared folders: [Shared-Folder], "
                                  "[Shared_Scenery.cfg] and [DLL_RUN_SHARED] stay");
            }
        }
    }

    void CheckLibraryCalls(const std::string& section) {
        for (const Entry& entry : EntriesOf(section)) {
            if (entry.repeat || OnlyBlanks(entry.value))
                continue;
            const std::optional<LibraryCall> call = ParseLibraryCall(entry.value);
            const std::string skipped = ": the call is skipped";
            if (!call) {
                Add(entry.line, Severity::Error, entry.shown + ": more than five fields" + skipped);
                continue;
            }
            if (!call->Callable()) {
                Add(entry.line, Severity::Error,
                    entry.shown +
                        (call->library.empty() ? ": no library named" : ": no entry point named") +
                        skipped);
                continue;
            }
            std::string path = call->library;
            if (path.find_first_of("\\/:") == std::string::npos) {
                path = WithLibraryExtension(options_.systemFolder + path);
                Add(entry.line, Severity::Warning,
                    entry.shown + ": a bare library name: looked for in the system folder only (" +
                        path + ")");
            }
            if (!platform::FilePresent(WithLibraryExtension(path))) {
                Add(entry.line, Severity::Warning,
                    entry.shown + ": the library does not exist here" + skipped);
                continue;
            }
            path = WithLibraryExtension(path);
            const std::optional<PeExports> exports =
                options_.exports ? options_.exports(path) : std::nullopt;
            if (!exports) {
                Add(entry.line, OfThisMachine(), entry.shown + ": not a Windows library" + skipped);
                continue;
            }
            if (exports->machine != options_.wizardMachine) {
                Add(entry.line, OfThisMachine(),
                    entry.shown + ": a library for " + MachineName(exports->machine) +
                        ", which this wizard (" + MachineName(options_.wizardMachine) +
                        ") cannot load" + skipped);
                continue;
            }
            const std::vector<std::string>& names = exports->names;
            if (std::find(names.begin(), names.end(), call->entryPoint) == names.end()) {
                std::string text = entry.shown + ": the library exports no entry point \"" +
                                   call->entryPoint + "\"";
                for (const std::string& name : names) {
                    const std::string plain = name.substr(name[0] == '_' ? 1 : 0);
                    if (plain.rfind(call->entryPoint + "@", 0) == 0)
                        text += " (only the decorated \"" + name + "\")";
                }
                Add(entry.line, OfThisMachine(), text + skipped);
                continue;
            }
            for (size_t a = 0; a < call->arguments.size(); ++a) {
                const char* argument = call->Argument(a);
                if (argument && platform::AnsiToUtf8(platform::Utf8ToAnsi(argument)) != argument)
                    Add(entry.line, OfThisMachine(),
                        entry.shown + ": characters of \"" + argument +
                            "\" that the ANSI code page lacks reach the entry point as \"?\"");
            }
        }
    }

    // "Path" entries find the scenery library; every other key is a title whose
    // areas leave it, as RemoveSceneryAreas matches them.
    void CheckScenery(const std::string& section, bool takesPath) {
        for (const Entry& entry : EntriesOf(section)) {
            if (takesPath && entry.key == "Path") {
                pathSeen_ = true;
                if (platform::FilePresent(entry.value)) {
                    sceneryFolder_ = FolderPart(entry.value);
                    library_ = ProfileFile(entry.value).Load();
                    libraryName_ = entry.value;
                } else {
                    Add(entry.line, Severity::Warning,
                        entry.shown + ": the scenery library does not exist here");
                }
                continue;
            }
            // A repeated key acts again on its first line's title: that does something
            // only when the first line came before the library was found.
            if (entry.repeat && (sceneryFolder_.empty() || judged_.count(entry.value)))
                continue;
            if (takesPath && !entry.repeat && platform::EqualFolded(entry.key, "Path"))
                Add(entry.line, Severity::Error,
                    entry.shown + ": read as a title, not as the library's path (the key is "
                                  "\"Path\", spelt so)");
            if (OnlyBlanks(entry.value))
                continue;
            if (sceneryFolder_.empty()) {
                if (!pathSeen_)
                    Add(entry.line, Severity::Error,
                        entry.shown + ": a title before the first Path entry: no scenery "
                                      "library is known yet, the title is not removed");
                else
                    Add(entry.line, Severity::Warning,
                        entry.shown + ": no scenery library was found, the title is not removed");
                continue;
            }
            judged_.insert(entry.value);
            // The removal's own choice of areas, default areas apart.
            std::vector<size_t> kept;
            const std::vector<size_t> areas =
                MarkedAreas(library_, entry.value, options_.safety.simulatorRoots, &kept);
            if (areas.empty() && kept.empty())
                Add(entry.line, Severity::Warning,
                    entry.shown + ": the title matches no area of " + libraryName_);
            for (const size_t area : areas)
                Add(entry.line, Severity::Note, entry.shown + ": removes " + AreaName(area));
            for (const size_t area : kept)
                Add(entry.line, Severity::Warning,
                    entry.shown + ": leaves " + AreaName(area) + " of " + libraryName_ +
                        ": default area of the simulator");
        }
    }

    // "[Area.001] Title=Default Terrain": an area of the library, as findings name it.
    std::string AreaName(size_t area) const {
        std::string_view title;
        library_.FindValue(area, "Title", title);
        return "[" + std::string(library_.SectionName(area)) + "] Title=" + std::string(title);
    }

    void CheckDeletions(const DeleteSection& step) {
        for (const Entry& entry : EntriesOf(step.section)) {
            if (entry.repeat || OnlyBlanks(entry.value))
                continue; // names nothing, or what its first line named
            if (const std::optional<std::string> rule =
                    GuardFor(step.kind, entry.value, options_.safety, sceneryFolder_))
                Add(entry.line, Severity::Error, entry.shown + ": refused: " + *rule);
            else if (!PresentFor(step.kind, entry.value))
                Add(entry.line, Severity::Warning, entry.shown + ": does not exist here");
        }
    }

    void CheckRenames(const std::string& section, const char* suffix) {
        for (const Entry& entry : EntriesOf(section)) {
            if (entry.repeat || OnlyBlanks(entry.value))
                continue;
            if (const std::optional<std::string> rule =
                    RenameGuard(entry.value, suffix, options_.safety, sceneryFolder_))
                Add(entry.line, Severity::Error, entry.shown + ": refused: " + *rule);
            else if (!platform::FilePresent(RenameNamesFor(entry.value, suffix).source))
                Add(entry.line, Severity::Warning,
                    entry.shown + ": " + entry.value + suffix + " does not exist here");
        }
    }

    void CheckRun() {
        for (const Entry& entry : EntriesOf("Run")) {
            if (entry.repeat)
                continue;
            if (!platform::EqualFolded(entry.key, "Run-File"))
                Add(entry.line, Severity::Error, entry.shown + ": never read; the key is Run-File");
            else if (!OnlyBlanks(entry.value) && !platform::FilePresent(entry.value))
                Add(entry.line, Severity::Warning,
                    entry.shown + ": the file does not exist here, nothing is opened");
        }
    }

    const ProfileDocument& log_;
    const CheckOptions& options_;
    std::vector<Finding> findings_;
    std::map<std::string, std::vector<Entry>> entries_;
    bool sharedInUse_ = false;
    bool pathSeen_ = false;
    std::string sceneryFolder_;
    std::string libraryName_;
    ProfileDocument library_;
    std::set<std::string> judged_; // titles whose areas are reported
};

const char* SeverityWord(Severity severity) {
    switch (severity) {
    case Severity::Note:
        return "note";
    case Severity::Warning:
        return "warning";
    case Severity::Error:
        break;
    }
    return "error";
}

size_t CountOf(const std::vector<Finding>& findings, Severity severity) {
    return static_cast<size_t>(
        std::count_if(findings.begin(), findings.end(),
                      [severity](const Finding& f) { return f.severity == severity; }));
}

// Line breaks inside a finding would split its line in the report.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

} // namespace

CheckOptions CheckOptions::ForThisSystem() {
    CheckOptions options;
    options.safety = RemovalSafety::ForThisSystem();
    options.systemFolder = platform::WindowsFolder() + "System32\\";
    options.exports = [](const std::string& path) -> std::optional<PeExports> {
        std::string bytes;
        if (platform::ReadWholeFile(path, bytes))
            return std::nullopt;
        return ReadPeExports(bytes);
    };
    return options;
}

std::vector<Finding> CheckLog(const ProfileDocument& log, const CheckOptions& options) {
    return Checker(log, options).Run();
}

std::string FindingLine(const std::string& logName, const Finding& finding) {
    std::string line = logName;
    if (finding.line != 0)
        line += ":" + std::to_string(finding.line);
    return OneLine(line + ": " + SeverityWord(finding.severity) + ": " + finding.text);
}

std::string SummaryLine(const std::string& logName, const std::vector<Finding>& findings) {
    return OneLine(logName + ": " + Plural(CountOf(findings, Severity::Error), "error") + ", " +
                   Plural(CountOf(findings, Severity::Warning), "warning") + ", " +
                   Plural(CountOf(findings, Severity::Note), "note"));
}

std::string CheckReportText(const std::string& logName, const std::vector<Finding>& findings) {
    std::string text = "\xEF\xBB\xBF";
    for (const Finding& finding : findings)
        text += FindingLine(logName, finding) + "\r\n";
    return text + SummaryLine(logName, findings) + "\r\n";
}

int CheckExitCode(const std::vector<Finding>& findings) {
    if (CountOf(findings, Severity::Error) > 0)
        return kCheckErrors;
    return CountOf(findings, Severity::Warning) > 0 ? kCheckWarnings : kCheckClean;
}

CheckRun RunCheck(const Arguments& arguments, const std::string& programPath,
                  const CheckOptions& options) {
    const std::string folder = BaseFolderOf(programPath);
    const std::string ownLog = LogFileNameFor(programPath);
    const bool other = !arguments.checkLog.empty();
    const std::string logName = other ? arguments.checkLog : ownLog;
    const std::string logPath = other ? arguments.checkLog : folder + ownLog;
    CheckOptions used = options;
    used.otherMachine = used.otherMachine || other;

    std::vector<Finding> findings;
    std::error_code error;
    const ProfileDocument log = ProfileFile(logPath).Load(error);
    if (!platform::FilePresent(logPath))
        findings.push_back({0, Severity::Error, "no uninstall log at " + logPath});
    else if (error)
        findings.push_back({0, Severity::Error, "cannot be read: " + platform::ErrorText(error)});
    else
        findings = CheckLog(log, used);

    CheckRun run;
    run.exitCode = CheckExitCode(findings);
    run.reportFile = arguments.reportFile.empty() ? folder + CheckReportFileNameFor(programPath)
                                                  : arguments.reportFile;
    run.message = SummaryLine(logName, findings);
    for (size_t i = 0; i < findings.size(); ++i) {
        if (i == kListedFindings) {
            run.message += "\r\n...";
            break;
        }
        run.message += (i == 0 ? "\r\n\r\n" : "\r\n") + FindingLine(logName, findings[i]);
    }
    // Never through a link: the folder beside the wizard may be one that others write.
    if (const std::error_code failure =
            platform::WriteFileNotThroughLink(run.reportFile, CheckReportText(logName, findings))) {
        run.exitCode = kExitCancelled;
        run.message += "\r\n\r\nThe report cannot be written: " + run.reportFile + " (" +
                       platform::ErrorText(failure) + ")";
    } else {
        run.message += "\r\n\r\nThe report: " + run.reportFile;
    }
    return run;
}

} // namespace sweepstone
