#include "removal.h"

#include "functions.h"
#include "profile_file.h"
#include "safety.h"
#include "scenery_library.h"

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/library.h"
#include "platform/registry.h"
#include "platform/shell.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace sweepstone {
namespace {

enum SectionList {
    kPath,
    kFile,
    kShortCut,
    kRegistry,
    kSceneryCfg,
    kRenameFile,
    kRenameFileDex,
    kSharedFolder,
    kSharedFolderOption,
    kSharedSceneryCfg,
    kDllRun,
    kDllRunShared,
    kSectionCount
};

constexpr const char* kSectionNames[kSectionCount] = {"Path",
                                                      "File",
                                                      "ShortCut",
                                                      "Registry",
                                                      "Scenery.cfg",
                                                      "Rename_File",
                                                      "Rename_File_DEX",
                                                      "Shared-Folder",
                                                      "Shared-Folder-Option",
                                                      "Shared_Scenery.cfg",
                                                      "DLL_RUN",
                                                      "DLL_RUN_SHARED"};

const char* const kDeletingText = "Deleting files...pleas wait";
const char* const kCheckingText = "Checking scenery.cfg...";
constexpr size_t kMaxListedItems = 20;

// Raised inside a step to end it at once: the rest of its list is skipped and its
// progress position is not set.
struct StepFailed {};

std::string FolderPart(const std::string& path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

class Removal {
public:
    Removal(WizardState& state, RemovalWindow& window, const RemovalSafety& safety)
        : state_(state), window_(window), safety_(safety) {}

    RemovalReport RunAll() {
        window_.SetMessageText(MovingText(state_.ProductName));
        window_.SetStatusText(kDeletingText);
        window_.ShowProgress();
        window_.StopTimer();

        Guarded([&] { ReadLog(); });
        Guarded([&] { CheckSharedOptions(); });
        Guarded([&] { CallLibraries(lists_[kDllRun]); });
        if (!sharedInUse_)
            Guarded([&] { CallLibraries(lists_[kDllRunShared]); });
        Guarded([&] { EditSceneryLibrary(); });
        if (!sharedInUse_)
            Guarded([&] { EditSharedScenery(); });
        Guarded([&] { DeleteRegistryKeys(); });
        Guarded([&] { DeleteFolders(lists_[kPath], 40); });
        if (!sharedInUse_)
            Guarded([&] { DeleteFolders(lists_[kSharedFolder], 50); });
        Guarded([&] { DeleteFiles(); });
        Guarded([&] { DeleteFolders(lists_[kShortCut], 80); });
        Guarded([&] { RenameBack(lists_[kRenameFile], ".off", 90); });
        Guarded([&] { RenameBack(lists_[kRenameFileDex], ".bgl.off_dex", 95); });
        Guarded([&] { DeleteOwnFiles(); });
        Guarded([&] { OpenRunFile(); });
        Finish();
        return report_;
    }

private:
    template <class Step> void Guarded(Step step) {
        try {
            step();
        } catch (...) {
            // A failed step ends quietly; what it left is already counted.
        }
    }

    // Step 1: the whole log in one read.
    void ReadLog() {
        const ProfileDocument log = ProfileFile(state_.BaseFolder + state_.LogFileName).Load();
        // Without a [Run] entry nothing is opened: the default names no file.
        runFile_ = log.ReadString("Run", "Run-File", "");
        for (int i = 0; i < kSectionCount; ++i)
            lists_[static_cast<size_t>(i)] = log.EntryTexts(kSectionNames[i]);
    }

    // Step 2: shared items stay when another product still uses their folders.
    void CheckSharedOptions() {
        for (const std::string& entry : lists_[kSharedFolderOption]) {
            if (platform::FolderPresent(EntryValue(entry)))
                sharedInUse_ = true;
        }
        window_.SetProgress(5);
    }

    // Steps 3 and 4. What a library does is its own affair; a library or entry point
    // that is missing is passed over. A fault inside an entry point ends the step and
    // is listed: the calls after it in the same section do not run.
    void CallLibraries(const std::vector<std::string>& entries) {
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
                throw StepFailed{};
            }
        }
    }

    // Step 5: "Path" entries name the scenery library and back it up; every other
    // key is a title whose areas leave the library.
    void EditSceneryLibrary() {
        const auto& entries = lists_[kSceneryCfg];
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::string key = EntryKey(entries[i]);
            const std::string value = EntryValue(entries[i]);
            if (key == "Path") {
                if (platform::FilePresent(value)) {
                    sceneryFolder_ = FolderPart(value);
                    const std::string backup =
                        sceneryFolder_ + SceneryBackupName(state_.ProductName);
                    backedUp_ = !platform::CopyFileReplacing(value, backup);
                }
            } else {
                RemoveTitle(value, entries, i);
            }
            window_.SetStatusText(kCheckingText);
        }
        window_.SetProgress(10);
    }

    // Step 6: the titles of areas shared with other products.
    void EditSharedScenery() {
        const auto& entries = lists_[kSharedSceneryCfg];
        for (size_t i = 0; i < entries.size(); ++i) {
            RemoveTitle(EntryValue(entries[i]), entries, i);
            window_.SetStatusText(kCheckingText);
        }
        window_.SetProgress(15);
    }

    // The library is edited only once a "Path" entry found it and its backup is made.
    void RemoveTitle(const std::string& title, const std::vector<std::string>& entries,
                     size_t index) {
        if (sceneryFolder_.empty()) {
            report_.Add(Outcome::Left, "Scenery.cfg: " + title, "no scenery library was found");
            return;
        }
        const std::string library = sceneryFolder_ + "Scenery.cfg";
        if (!backedUp_) {
            report_.Add(Outcome::Left, library + ": " + title, "no backup could be made");
            return;
        }
        if (RemoveSceneryAreas(library, title)) {
            report_.Add(Outcome::Left, library + ": " + title, "the library could not be written");
            // The step ends here; the titles after this one are not handled either.
            for (size_t j = index + 1; j < entries.size(); ++j) {
                if (&entries == &lists_[kSharedSceneryCfg] || EntryKey(entries[j]) != "Path")
                    report_.Add(Outcome::Left, library + ": " + EntryValue(entries[j]),
                                "not reached");
            }
            throw StepFailed{};
        }
        report_.Add(Outcome::Removed, library + ": " + title);
    }

    // Step 7: registry key trees below HKEY_LOCAL_MACHINE.
    void DeleteRegistryKeys() {
        for (const std::string& entry : lists_[kRegistry]) {
            std::string key = EntryValue(entry);
            window_.SetStatusText(key);
            if (!key.empty() && key[0] == '\\')
                key.erase(0, 1);
            const std::string shown = "HKEY_LOCAL_MACHINE\\" + key;
            if (IsUnsafeRegistryKey(key)) {
                report_.Add(Outcome::Refused, shown, "a whole hive or a top-level key");
                continue;
            }
            if (!platform::MachineKeyExists(key))
                continue;
            platform::DeleteMachineKeyTree(key);
            Verify(!platform::MachineKeyExists(key), shown);
        }
        window_.SetProgress(20);
    }

    // Steps 8, 9 and 11: folders with everything in them.
    void DeleteFolders(const std::vector<std::string>& entries, int position) {
        for (const std::string& entry : entries) {
            const std::string folder = EntryValue(entry);
            window_.SetStatusText(folder);
            if (IsUnsafeFolder(folder, safety_.protectedFolders)) {
                report_.Add(Outcome::Refused, folder,
                            "a drive or share root, a protected folder or one that holds it");
                continue;
            }
            if (!platform::FolderPresent(folder))
                continue;
            platform::DeleteFolderTree(folder);
            Verify(!platform::FolderPresent(folder), folder);
        }
        window_.SetProgress(position);
    }

    // Step 10.
    void DeleteFiles() {
        for (const std::string& entry : lists_[kFile]) {
            const std::string file = EntryValue(entry);
            window_.SetStatusText(file);
            if (!platform::FilePresent(file))
                continue;
            platform::RemoveFile(file);
            Verify(!platform::FilePresent(file), file);
        }
        window_.SetProgress(60);
    }

    // Steps 12 and 13: switched-off scenery files get their ".bgl" name back, unless
    // that name is taken.
    void RenameBack(const std::vector<std::string>& entries, const char* suffix, int position) {
        for (const std::string& entry : entries) {
            const std::string name = EntryValue(entry);
            window_.SetStatusText(name);
            const std::string source = name + suffix;
            if (!platform::FilePresent(source))
                continue;
            if (!platform::RenameNoReplace(source, name + ".bgl"))
                report_.Add(Outcome::Removed, source);
            else if (platform::FilePresent(source))
                report_.Add(Outcome::Left, source, name + ".bgl is taken or cannot be written");
        }
        window_.SetProgress(position);
    }

    // Step 14: the log and the picture beside the wizard.
    void DeleteOwnFiles() {
        for (const std::string& name : {state_.LogFileName, state_.PictureFileName}) {
            const std::string file = state_.BaseFolder + name;
            if (name.empty() || !platform::FilePresent(file))
                continue;
            platform::RemoveFile(file);
            Verify(!platform::FilePresent(file), file);
        }
    }

    // Records an item that was acted on: gone, or still there.
    void Verify(bool gone, const std::string& item) {
        if (gone)
            report_.Add(Outcome::Removed, item);
        else
            report_.Add(Outcome::Left, item, "still there after deleting");
    }

    void OpenRunFile() {
        if (!runFile_.empty() && platform::FilePresent(runFile_))
            platform::ShellOpen(window_.OwnerWindow(), runFile_, state_.BaseFolder);
    }

    void Finish() {
        window_.RestoreCursor();
        window_.SetFinishButtonCaption("Finish");
        window_.SetProgress(100);
        window_.HideProgress();
        const std::vector<std::string> left = LeftItemLines(report_);
        window_.SetStatusText(left.empty() ? RemovedText(state_.ProductName)
                                           : LeftText(state_.ProductName, left.size()));
        window_.HideMessage();
        if (!left.empty())
            window_.ShowInformation("Information", LeftItemsText(left));
        state_.RemovalDone = true;
    }

    WizardState& state_;
    RemovalWindow& window_;
    const RemovalSafety& safety_;
    std::array<std::vector<std::string>, kSectionCount> lists_;
    std::string runFile_;
    bool sharedInUse_ = false;
    std::string sceneryFolder_;
    bool backedUp_ = false;
    RemovalReport report_;
};

} // namespace

RemovalSafety RemovalSafety::ForThisSystem() {
    return {platform::ProtectedFolders()};
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

std::string LeftItemsText(const std::vector<std::string>& items) {
    std::string text = "These items could not be removed:";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i == kMaxListedItems) {
            text += "\r\n...";
            break;
        }
        text += "\r\n" + items[i];
    }
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
