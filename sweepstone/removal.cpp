#include "removal.h"

#include "decisions.h"
#include "functions.h"
#include "profile_file.h"
#include "safety.h"
#include "scenery_library.h"

#include "platform/deletion.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/library.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace sweepstone {
namespace {

const char* const kDeletingText = "Deleting files...pleas wait";
const char* const kCheckingText = "Checking scenery.cfg...";
constexpr size_t kMaxListedItems = 20;

// How a step ended. One that ends early skips the rest of its list and does not set
// its progress position; what it left is already in the report, and the steps after
// it run all the same.
enum class StepOutcome { Done, EndedEarly };

// What a deletion left: its first failure, what was in use (children first), and
// the keys inside a key tree that stayed, each with its own failure.
struct Deletion {
    std::error_code error;
    std::vector<std::string> inUse;
    std::vector<platform::KeyLeft> keysLeft = {};
};

class Removal;

// The steps that delete what a log value names. Each row is one step: the section
// it reads, how its value names its item, the safety rule it must pass, and how the
// item is tested, deleted and verified. One loop (Removal::DeleteNamedItems) runs
// guard, exists, act, verify and report for every row.
struct DeleteStep {
    LogSection section;
    bool shared; // passed over while another product uses the shared folders
    int position;
    ValueKind kind; // its guard turns the value into the one spelling acted on
    std::string (*item)(const std::string& value); // as the report names it
    std::optional<std::string> (Removal::*guard)(const std::string& value) const;
    // `files` holds the folders of the step's files (the [File] row asks it).
    bool (*exists)(const std::string& value, platform::FileFolders& files);
    Deletion (*act)(const std::string& value, platform::FileFolders& files);
};

std::string SameItem(const std::string& value) {
    return value;
}

Deletion DeleteKey(const std::string& value, platform::FileFolders&) {
    platform::KeyTreeDeletion done = platform::DeleteMachineKeyTree(RegistryKeyOf(value));
    return {done.error, {}, std::move(done.keysLeft)};
}

Deletion DeleteFolder(const std::string& value, platform::FileFolders&) {
    platform::TreeDeletion done = platform::DeleteTree(value);
    return {done.error, std::move(done.inUse)};
}

Deletion InUseOrFailed(const std::string& value, std::error_code error) {
    if (error && platform::IsInUseError(error))
        return {{}, {value}};
    return {error, {}};
}

Deletion DeleteFileItem(const std::string& value, platform::FileFolders& files) {
    return InUseOrFailed(value, files.DeleteOneFile(value));
}

bool KeyThere(const std::string& value, platform::FileFolders&) {
    return KeyPresent(value);
}

bool FolderOrLinkThere(const std::string& value, platform::FileFolders&) {
    return FolderOrLinkPresent(value);
}

bool FileOrLinkThere(const std::string& value, platform::FileFolders& files) {
    return files.FileOrLinkPresent(value);
}

class Removal {
public:
    Removal(WizardState& state, RemovalWindow& window, const RemovalSafety& safety)
        : state_(state), window_(window), safety_(safety) {}

    RemovalReport RunAll();

private:
    // Step 1: the whole log in one read.
    StepOutcome ReadLog() {
        const std::string file = state_.BaseFolder + state_.LogFileName;
        std::error_code error;
        const ProfileDocument log = ProfileFile(file).Load(error);
        if (error) {
            // Nothing is known of what to remove; the log stays for another try.
            report_.Add(Outcome::Left, file, "cannot be read: " + platform::ErrorText(error));
            keepOwnFiles_ = true;
            return StepOutcome::EndedEarly;
        }
        // Without a [Run] entry nothing is opened: the default names no file.
        runFile_ = log.ReadString("Run", "Run-File", "");
        for (size_t i = 0; i < kLogSectionCount; ++i)
            lists_[i] = log.EntryTexts(SectionName(static_cast<LogSection>(i)));
        return StepOutcome::Done;
    }

    // Step 2: shared items stay when another product still uses their folders.
    void CheckSharedOptions() {
        for (const std::string& entry : List(LogSection::SharedFolderOption)) {
            if (platform::FolderPresent(EntryValue(entry)))
                sharedInUse_ = true;
        }
        window_.SetProgress(5);
    }

    // Steps 3 and 4. What a library does is its own affair; a library or entry point
    // that is missing is passed over. A fault inside an entry point ends the step and
    // is listed: the calls after it in the same section do not run.
    StepOutcome CallLibraries(const std::vector<std::string>& entries) {
        for (const std::string& entry : entries) {
            const std::optional<LibraryCall> call = ParseLibraryCall(EntryValue(entry));
            if (!call || !call->Callable())
                continue;
            const platform::LibraryCallOutcome outcome =
                platform::CallLibraryEntry(call->library, call->entryPoint, call->Argument(0),
                                           call->Argument(1), call->Argument(2));
            if (outcome.result == platform::LibraryCallResult::Faulted) {
                report_.Add(Outcome::Left, "library call " + call->library + "@" + call->entryPoint,
                            FaultText(outcome.faultCode));
                return StepOutcome::EndedEarly;
            }
        }
        return StepOutcome::Done;
    }

    // Step 5: "Path" entries name the scenery library and back it up; every other
    // key is a title whose areas leave the library.
    StepOutcome EditSceneryLibrary() {
        const auto& entries = List(LogSection::SceneryCfg);
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::string key = EntryKey(entries[i]);
            const std::string value = EntryValue(entries[i]);
            if (key == "Path") {
                if (platform::FilePresent(value)) {
                    sceneryFolder_ = FolderPart(value);
                    // The backup is of the file that is edited, as it was read: a
                    // library that cannot be read would look empty, nothing would be
                    // removed and the removal would still be reported as done.
                    const std::string library = sceneryFolder_ + "Scenery.cfg";
                    std::string bytes;
                    std::string backup;
                    backedUp_ = false;
                    if (const std::error_code error = platform::ReadWholeFile(library, bytes)) {
                        report_.Add(Outcome::Left, library,
                                    "cannot be read: " + platform::ErrorText(error));
                        return EndStepHere(entries, i, library);
                    }
                    // Without a backup the titles are left, each saying so.
                    backedUp_ =
                        !WriteSceneryBackup(sceneryFolder_, state_.ProductName, bytes, backup);
                }
            } else if (RemoveTitle(value, entries, i) == StepOutcome::EndedEarly) {
                return StepOutcome::EndedEarly;
            }
            window_.SetStatusText(kCheckingText);
        }
        window_.SetProgress(10);
        return StepOutcome::Done;
    }

    // Step 6: the titles of areas shared with other products.
    StepOutcome EditSharedScenery() {
        const auto& entries = List(LogSection::SharedSceneryCfg);
        for (size_t i = 0; i < entries.size(); ++i) {
            if (RemoveTitle(EntryValue(entries[i]), entries, i) == StepOutcome::EndedEarly)
                return StepOutcome::EndedEarly;
            window_.SetStatusText(kCheckingText);
        }
        window_.SetProgress(15);
        return StepOutcome::Done;
    }

    // The library is edited only once a "Path" entry found it and its backup is made;
    // a library that cannot be read or written ends the step.
    [[nodiscard]] StepOutcome RemoveTitle(const std::string& title,
                                          const std::vector<std::string>& entries, size_t index) {
        if (sceneryFolder_.empty()) {
            report_.Add(Outcome::Left, "Scenery.cfg: " + title, "no scenery library was found");
            return StepOutcome::Done;
        }
        const std::string library = sceneryFolder_ + "Scenery.cfg";
        if (!backedUp_) {
            report_.Add(Outcome::Left, library + ": " + title, "no backup could be made");
            return StepOutcome::Done;
        }
        SceneryEdit edit;
        if (const std::error_code error =
                RemoveSceneryAreas(library, title, safety_.simulatorRoots, &edit)) {
            report_.Add(Outcome::Left, library + ": " + title,
                        "the library could not be read or written: " + platform::ErrorText(error));
            return EndStepHere(entries, index, library);
        }
        for (const std::string& area : edit.refused)
            report_.Add(Outcome::Refused, library + ": " + area, "default area of the simulator");
        if (!edit.removed.empty())
            report_.Add(Outcome::Removed, library + ": " + title);
        else if (edit.refused.empty())
            report_.Add(Outcome::NotFound, library + ": " + title, "no area has this title");
        return StepOutcome::Done;
    }

    // Ends the step at `index`: the titles after it are listed as not reached.
    [[nodiscard]] StepOutcome EndStepHere(const std::vector<std::string>& entries, size_t index,
                                          const std::string& library) {
        for (size_t j = index + 1; j < entries.size(); ++j) {
            if (&entries == &List(LogSection::SharedSceneryCfg) || EntryKey(entries[j]) != "Path")
                report_.Add(Outcome::Left, library + ": " + EntryValue(entries[j]), "not reached");
        }
        return StepOutcome::EndedEarly;
    }

    // Steps 7 to 11: registry key trees, folders, shared folders, files and shortcut
    // folders, as the rows of kDeleteSteps say.
    void DeleteNamedItems(const DeleteStep& step) {
        // The folders of this step's files are held until it ends, and no longer: the
        // steps after it remove folders that may hold them.
        platform::FileFolders& files = files_.emplace();
        for (const std::string& entry : List(step.section)) {
            const std::string value = EntryValue(entry);
            window_.SetStatusText(value);
            if (value.find_first_not_of(" \t") == std::string::npos)
                continue; // names nothing
            if (const std::optional<std::string> rule = (this->*step.guard)(value)) {
                // Named as the log spells it, so that its author finds the line.
                report_.Add(Outcome::Refused, step.item(value), *rule);
                continue;
            }
            // What was checked is what is tested, deleted and reported: one spelling.
            const std::string target = TargetFor(step.kind, value);
            const std::string item = step.item(target);
            if (!step.exists(target, files))
                continue;
            const Deletion done = step.act(target, files);
            if (!step.exists(target, files)) {
                report_.Add(Outcome::Removed, item);
                removed_.push_back({step.section, target});
            } else if (!done.keysLeft.empty()) {
                // Each key that stays is named, then the tree that stays for them.
                for (const platform::KeyLeft& key : done.keysLeft)
                    report_.Add(Outcome::Left, RegistryItemOf(key.keyPath),
                                platform::ErrorText(key.error));
                report_.Add(Outcome::Left, item, "keys below it could not be deleted");
            } else if (!done.error && !done.inUse.empty()) {
                ScheduleAtRestart(item, done.inUse);
            } else {
                report_.Add(Outcome::Left, item, Reason(done.error));
            }
        }
        files_.reset();
        window_.SetProgress(step.position);
    }

    // After the delete steps: each folder and key that held a removed item and is
    // empty now goes too, and so on upwards, up to the first that is not empty, is
    // refused by the rule its item passed, is a link or is a root. Each goes alone
    // (an empty folder, a key without values or subkeys), never as a tree, so what
    // anyone else put there stays.
    void RemoveEmptyParents() {
        for (const auto& [section, value] : removed_) {
            const bool key = section == LogSection::Registry;
            for (std::string parent = ParentOf(key ? RegistryKeyOf(value) : value); !parent.empty();
                 parent = ParentOf(parent)) {
                const bool gone = key ? RemoveEmptyKey(parent) : RemoveEmptyFolder(parent);
                if (!gone)
                    break;
                report_.Add(Outcome::Removed, key ? RegistryItemOf(parent) : parent,
                            "empty parent");
            }
        }
    }

    // The folder or key that holds `path`; empty for a root or a bare name.
    static std::string ParentOf(std::string path) {
        while (!path.empty() && (path.back() == '\\' || path.back() == '/'))
            path.pop_back();
        const size_t cut = path.find_last_of("\\/");
        if (cut == std::string::npos)
            return {};
        path.resize(cut);
        if (path.find_first_not_of("\\/") == std::string::npos || path.back() == ':')
            return {}; // "C:", "\\server", "/"
        return path;
    }

    bool RemoveEmptyKey(const std::string& key) const {
        if (KeyGuard(key))
            return false;
        const std::error_code failure = platform::DeleteEmptyMachineKey(key);
        return !failure;
    }

    bool RemoveEmptyFolder(const std::string& folder) const {
        if (FolderGuard(folder))
            return false;
        // Asked again of the folder as opened, which a link above it may have moved.
        const std::error_code failure = platform::RemoveEmptyFolder(
            folder, [this](const std::string& onDisk) { return !FolderGuard(onDisk); });
        return !failure;
    }

    // What is in use goes at the next restart, each item after what it holds.
    void ScheduleAtRestart(const std::string& item, const std::vector<std::string>& inUse) {
        for (const std::string& path : inUse) {
            if (const std::error_code error = platform::DeleteAtRestart(path)) {
                report_.Add(Outcome::Left, item,
                            "in use, and its deletion at the next restart could not be "
                            "scheduled: " +
                                platform::ErrorText(error));
                return;
            }
        }
        report_.Add(Outcome::AtRestart, item, "in use");
    }

    static std::string Reason(std::error_code error) {
        return error ? platform::ErrorText(error) : "still there after deleting";
    }

public:
    // The rules live in decisions.cpp, where the check of a log asks them too.
    std::optional<std::string> KeyGuard(const std::string& value) const {
        return sweepstone::KeyGuard(value);
    }

    std::optional<std::string> FolderGuard(const std::string& value) const {
        return sweepstone::FolderGuard(value, safety_, sceneryFolder_);
    }

    std::optional<std::string> FileGuard(const std::string& value) const {
        return sweepstone::FileGuard(value, safety_, sceneryFolder_, files_ ? &*files_ : nullptr);
    }

private:
    // Steps 12 and 13: switched-off scenery files get their ".bgl" name back, unless
    // that name is taken.
    void RenameBack(const std::vector<std::string>& entries, const char* suffix, int position) {
        for (const std::string& entry : entries) {
            const std::string name = EntryValue(entry);
            window_.SetStatusText(name);
            if (name.find_first_not_of(" \t") == std::string::npos)
                continue; // names nothing
            if (const std::optional<std::string> rule =
                    RenameGuard(name, suffix, safety_, sceneryFolder_)) {
                report_.Add(Outcome::Refused, name + suffix, *rule);
                continue;
            }
            const RenameNames names = RenameNamesFor(name, suffix);
            if (!platform::FilePresent(names.source))
                continue;
            if (const std::error_code failure =
                    platform::RenameNoReplace(names.source, names.target);
                !failure)
                report_.Add(Outcome::Removed, names.source);
            else if (platform::FilePresent(names.source))
                report_.Add(Outcome::Left, names.source,
                            names.target + " is taken or cannot be written");
        }
        window_.SetProgress(position);
    }

    // Step 14: the log, the picture and the check's report beside the wizard (each
    // opened as itself, a link as the link, and deleted through that handle).
    void DeleteOwnFiles() {
        if (keepOwnFiles_)
            return;
        for (const std::string& name :
             {state_.LogFileName, state_.PictureFileName, state_.CheckReportFileName}) {
            const std::string file = state_.BaseFolder + name;
            if (name.empty() || !platform::FilePresent(file))
                continue;
            const Deletion done = InUseOrFailed(file, platform::DeleteOneFile(file));
            if (!platform::FilePresent(file))
                report_.Add(Outcome::Removed, file);
            else if (!done.error && !done.inUse.empty())
                ScheduleAtRestart(file, done.inUse);
            else
                report_.Add(Outcome::Left, file, Reason(done.error));
        }
    }

    void OpenRunFile() {
        if (std::optional<ReportItem> item =
                sweepstone::OpenRunFile(runFile_, state_.BaseFolder, state_.WindowShown, safety_,
                                        sceneryFolder_, platform::OpenAsDesktopUser))
            report_.items.push_back(std::move(*item));
    }

    void Finish() {
        window_.RestoreCursor();
        window_.SetFinishButtonCaption("Finish");
        window_.SetProgress(100);
        window_.HideProgress();
        window_.SetStatusText(FinalText(state_.ProductName, report_));
        window_.HideMessage();
        if (report_.AnythingLeft() || report_.RestartNeeded() || report_.Count(Outcome::NotOpened))
            window_.ShowInformation("Information", FinalListText(report_));
        state_.RemovalDone = true;
    }

    const std::vector<std::string>& List(LogSection section) const {
        return lists_[static_cast<size_t>(section)];
    }

    WizardState& state_;
    RemovalWindow& window_;
    const RemovalSafety& safety_;
    // The entries of each section, in the order of LogSection.
    std::array<std::vector<std::string>, kLogSectionCount> lists_;
    std::string runFile_;
    bool sharedInUse_ = false;
    std::string sceneryFolder_;
    bool backedUp_ = false;
    bool keepOwnFiles_ = false;
    std::vector<std::pair<LogSection, std::string>> removed_; // values the delete steps removed
    // The folders of the delete step under way; its guard asks them, hence mutable.
    mutable std::optional<platform::FileFolders> files_;
    RemovalReport report_;
};

constexpr DeleteStep kDeleteSteps[] = {
    {LogSection::Registry, false, 20, ValueKind::Key, RegistryItemOf, &Removal::KeyGuard, KeyThere,
     DeleteKey},
    {LogSection::Path, false, 40, ValueKind::Folder, SameItem, &Removal::FolderGuard,
     FolderOrLinkThere, DeleteFolder},
    {LogSection::SharedFolder, true, 50, ValueKind::Folder, SameItem, &Removal::FolderGuard,
     FolderOrLinkThere, DeleteFolder},
    {LogSection::File, false, 60, ValueKind::File, SameItem, &Removal::FileGuard, FileOrLinkThere,
     DeleteFileItem},
    {LogSection::ShortCut, false, 80, ValueKind::Folder, SameItem, &Removal::FolderGuard,
     FolderOrLinkThere, DeleteFolder},
};

RemovalReport Removal::RunAll() {
    window_.SetMessageText(MovingText(state_.ProductName));
    window_.SetStatusText(kDeletingText);
    window_.ShowProgress();
    window_.StopTimer();

    // A step that ends early has listed what it left; the next one runs all the same.
    ReadLog();
    CheckSharedOptions();
    CallLibraries(List(LogSection::DllRun));
    if (!sharedInUse_)
        CallLibraries(List(LogSection::DllRunShared));
    EditSceneryLibrary();
    if (!sharedInUse_)
        EditSharedScenery();
    for (const DeleteStep& step : kDeleteSteps) {
        if (!step.shared || !sharedInUse_)
            DeleteNamedItems(step);
    }
    RemoveEmptyParents();
    RenameBack(List(LogSection::RenameFile), ".off", 90);
    RenameBack(List(LogSection::RenameFileDex), ".bgl.off_dex", 95);
    DeleteOwnFiles();
    OpenRunFile();
    Finish();
    return report_;
}

} // namespace

std::optional<ReportItem> OpenRunFile(const std::string& value, const std::string& parameters,
                                      bool windowShown, const RemovalSafety& safety,
                                      const std::string& sceneryFolder, const DesktopOpener& open) {
    if (value.find_first_not_of(" \t") == std::string::npos)
        return std::nullopt; // names nothing
    const RunFileTarget target = RunFileOf(value, safety, sceneryFolder);
    if (!target.reason.empty())
        return ReportItem{Outcome::NotOpened, value, target.reason};
    if (!windowShown)
        return ReportItem{Outcome::NotOpened, target.file, "quiet run"};
    // Opened by path: the shell's process opens it with the desktop user's rights,
    // so a file put in its place meanwhile gains nothing that user did not have.
    const platform::DesktopOpen done = open(target.file, parameters);
    if (!done.shellFound)
        return ReportItem{Outcome::NotOpened, target.file,
                          done.error ? "no desktop shell: " + platform::ErrorText(done.error)
                                     : "no desktop shell"};
    if (done.error)
        return ReportItem{Outcome::NotOpened, target.file, platform::ErrorText(done.error)};
    return ReportItem{Outcome::Opened, target.file, {}};
}

RemovalSafety RemovalSafety::ForThisSystem() {
    FolderSources sources{platform::SystemFolders(), platform::AccountProfiles(), {}};
    for (const std::string& key : SimulatorKeys()) {
        const std::string root = platform::ReadMachineString(key, "SetupPath");
        sources.simulatorRoots.push_back(root);
    }
    RemovalSafety safety;
    safety.folders.Add(ProtectedFolders(sources));
    for (const std::string& root : sources.simulatorRoots) {
        if (!root.empty())
            safety.simulatorRoots.push_back(root);
    }
    return safety;
}

const FolderRules& RemovalSafety::LibraryRules(const std::string& sceneryFolder) const {
    if (sceneryFolder != libraryFolder_) {
        library_ = FolderRules();
        library_.Add({{sceneryFolder, Reach::ItselfAndAbove, "the scenery library's folder"},
                      {sceneryFolder + "Scenery.cfg", Reach::ItselfAndAbove,
                       "the simulator's scenery library"}});
        libraryFolder_ = sceneryFolder;
    }
    return library_;
}

std::string SceneryBackupName(const std::string& productName) {
    std::string name = productName;
    for (char& c : name) {
        switch (c) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            c = '_';
            break;
        default:
            break;
        }
    }
    return "Backup_of_scenery_cfg_(" + name + ").cfg";
}

std::error_code WriteSceneryBackup(const std::string& folder, const std::string& productName,
                                   const std::string& bytes, std::string& backup) {
    const std::string first = SceneryBackupName(productName);
    const std::string stem = first.substr(0, first.size() - 4); // without ".cfg"
    std::error_code failure;
    for (int n = 1; n < 10000; ++n) {
        backup = folder + (n == 1 ? first : stem + " (" + std::to_string(n) + ").cfg");
        // Created new: a file of that name, there before or put there meanwhile,
        // fails the write and keeps its content.
        failure = platform::WriteNewFile(backup, bytes);
        if (!failure || !(platform::FilePresent(backup) || platform::IsLink(backup)))
            return failure; // written, or a failure that the next name would not mend
    }
    return failure;
}

std::string FaultText(std::uint32_t code) {
    struct Named {
        std::uint32_t code;
        const char* name;
    };
    static constexpr Named kNames[] = {
        {platform::kFaultAccessViolation, "access violation"},
        {platform::kFaultIllegalInstruction, "illegal instruction"},
        {platform::kFaultIntegerDivideByZero, "division by zero"},
        {platform::kFaultStackOverflow, "stack overflow"},
        {platform::kFaultCppException, "C++ exception"},
    };
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    std::string text = std::string("fault ") + hex;
    for (const Named& named : kNames) {
        if (named.code == code)
            text += std::string(", ") + named.name;
    }
    return text;
}

std::string MovingText(const std::string& productName) {
    return "The Install Wizard is moving " + productName + ".";
}

std::string RemovedText(const std::string& productName) {
    return "The " + productName +
           " are removed from your system! Click Finish to exit the Uninstall wizard.";
}

std::string LeftText(const std::string& productName, size_t count) {
    return "The " + productName + " could not be removed completely: " + std::to_string(count) +
           " items are left. Click Finish to exit the Uninstall wizard.";
}

std::string FinalText(const std::string& productName, const RemovalReport& report) {
    const size_t left = report.Count(Outcome::Left) + report.Count(Outcome::Refused);
    const size_t later = report.Count(Outcome::AtRestart);
    if (later == 0)
        return left == 0 ? RemovedText(productName) : LeftText(productName, left);
    const std::string restart = std::to_string(later) +
                                " items in use are removed at the next restart of Windows, "
                                "which completes the removal.";
    if (left == 0)
        return "The " + productName + " are removed from your system, except for " + restart +
               " Click Finish to exit the Uninstall wizard.";
    return "The " + productName + " could not be removed completely: " + std::to_string(left) +
           " items are left, and " + restart + " Click Finish to exit the Uninstall wizard.";
}

std::string FinalListText(const RemovalReport& report) {
    std::vector<std::string> later;
    for (const ReportItem& i : report.items) {
        if (i.outcome == Outcome::AtRestart)
            later.push_back(i.item);
    }
    const std::vector<std::string> left = LeftItemLines(report);
    std::vector<std::string> notOpened;
    for (const ReportItem& i : report.items) {
        if (i.outcome == Outcome::NotOpened)
            notOpened.push_back(i.item + " (" + i.reason + ")");
    }
    std::string text;
    size_t listed = 0;
    auto list = [&text, &listed](const char* heading, const std::vector<std::string>& items) {
        if (items.empty())
            return;
        if (!text.empty())
            text += "\r\n\r\n";
        text += heading;
        for (const std::string& item : items) {
            if (listed == kMaxListedItems) {
                text += "\r\n...";
                return;
            }
            text += "\r\n" + item;
            ++listed;
        }
    };
    list("These items could not be removed:", left);
    list("These items are removed at the next restart:", later);
    list("This file was not opened:", notOpened);
    return text;
}

std::vector<std::string> LeftItemLines(const RemovalReport& report) {
    std::vector<std::string> lines;
    for (const ReportItem& i : report.items) {
        if (i.outcome == Outcome::Left)
            lines.push_back(i.reason.empty() ? i.item : i.item + " (" + i.reason + ")");
        else if (i.outcome == Outcome::Refused)
            lines.push_back(i.item + " (refused: " + i.reason + ")");
    }
    return lines;
}

RemovalReport Timer1Timer(WizardState& state, RemovalWindow& window, const RemovalSafety& safety) {
    return Removal(state, window, safety).RunAll();
}

} // namespace sweepstone
