// The removal sequence of the uninstall wizard: one pass over the uninstall log that
// calls, edits, deletes and renames what the log names, in a fixed order of steps,
// reporting its progress through the window's operations.
#pragma once

#include "removal_report.h"
#include "safety.h"

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace sweepstone {

// What the removal sequence asks of the wizard window. Each text change is drawn at
// once: the sequence does not return to the event loop until it has finished.
class RemovalWindow {
public:
    virtual ~RemovalWindow() = default;
    virtual void SetMessageText(const std::string& text) = 0; // Label_Message
    virtual void HideMessage() = 0;
    virtual void SetStatusText(const std::string& text) = 0; // Label_status
    virtual void ShowProgress() = 0;                         // ProgressBar1, 0..100
    virtual void SetProgress(int position) = 0;
    virtual void HideProgress() = 0;
    virtual void StopTimer() = 0;                                     // Timer1
    virtual void SetFinishButtonCaption(const std::string& text) = 0; // BitBtn2
    virtual void RestoreCursor() = 0;
    virtual void* OwnerWindow() = 0; // owner of what the shell opens
    // A modal message box with one OK button.
    virtual void ShowInformation(const std::string& caption, const std::string& text) = 0;
};

// The wizard's unit-level values that the sequence reads, and the one it sets.
struct WizardState {
    std::string BaseFolder;      // the wizard's folder, ending in a separator
    std::string LogFileName;     // "Uninstall.log" beside "Uninstall.exe"
    std::string PictureFileName; // "Uninstall.jpg"
    // "Uninstall-check.txt": what a check of the log wrote beside the wizard, which
    // would keep the wizard's folder from going.
    std::string CheckReportFileName;
    std::string ProductName = "Product";
    bool RemovalDone = false;
};

// What no value may delete: the keys of the system (ProtectedKeys) and, for every
// value that names a folder or a file, the table of protected folders of the machine
// (ProtectedFolders: the system's, every account's and the simulator's, its root
// from the SetupPath of its registry keys), looked up once; during a removal also
// the Scenery.cfg that the log names and its folder.
struct RemovalSafety {
    FolderRules folders = {};
    // The simulator's folders (SetupPath), for the default areas of Scenery.cfg whose
    // Local folder is written in full.
    std::vector<std::string> simulatorRoots = {};
    static RemovalSafety ForThisSystem();

    // The scenery library that a [Scenery.cfg] Path entry found in `sceneryFolder`
    // (ending in a separator) and that folder, as rows of their own; read once for
    // each folder, not for each value.
    const FolderRules& LibraryRules(const std::string& sceneryFolder) const;

private:
    mutable std::string libraryFolder_;
    mutable FolderRules library_;
};

// The name of the scenery library's backup for a product: characters that Windows
// forbids in file names become "_".
std::string SceneryBackupName(const std::string& productName);

// Writes `bytes` (the library as it was read for the edit) as a new backup in
// `folder`: SceneryBackupName, else "... (2).cfg", "... (3).cfg" and so on. A name
// that is taken, also one that appears between the choice and the write, is never
// written over (the file is created new); the next number is tried. `backup`
// receives the name written.
std::error_code WriteSceneryBackup(const std::string& folder, const std::string& productName,
                                   const std::string& bytes, std::string& backup);

// Runs the whole sequence (the handler of the wizard's one-shot timer). Returns what
// it did with every item the log names: removed, left (with the reason), refused
// (with the rule) or scheduled for the next restart. Items that were not there are
// not recorded.
RemovalReport Timer1Timer(WizardState& state, RemovalWindow& window,
                          const RemovalSafety& safety = RemovalSafety::ForThisSystem());

// The left and refused items of a report as the final message box lists them, in
// the order they were met: the item, then its reason in brackets.
std::vector<std::string> LeftItemLines(const RemovalReport& report);

// The removal's texts. FaultText: "fault 0xC0000005, access violation".
std::string FaultText(std::uint32_t code);
std::string MovingText(const std::string& productName);
std::string RemovedText(const std::string& productName);
std::string LeftText(const std::string& productName, size_t count);
// The status text at the end: removed, left, and what the next restart completes.
std::string FinalText(const std::string& productName, const RemovalReport& report);
// The message box's text: the left and refused items, then those that go at the
// next restart, at most 20 items in all.
std::string FinalListText(const RemovalReport& report);

} // namespace sweepstone
