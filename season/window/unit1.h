// The switcher's main window, TForm1, as plain code: its handlers change the shared
// state and tell the window what to show through a small set of operations. The
// Win32 binding (win32/) turns messages into these handlers and carries out the
// operations on real controls; the tests drive the same handlers with a recording
// fake.
#pragma once

#include "active_season.h"
#include "apply.h"
#include "components.h"
#include "file_system.h"
#include "switcher_state.h"

#include "platform/path.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace season {

// What the window logic asks of the toolkit. Every text is UTF-8: the program's own
// texts and the paths and add-on names from the file system (Label1 and the list).
class FormOperations {
public:
    virtual ~FormOperations() = default;
    virtual void SetText(Component c, const std::string& text) = 0;
    virtual void SetVisible(Component c, bool visible) = 0;
    // Draws entry `entry` of the season image list into a picture and repaints it
    // at once.
    virtual void DrawSeasonPicture(Component picture, int entry) = 0;
    virtual void AppendListEntry(const std::string& entry) = 0;
    virtual void ClearListSelection() = 0;
    virtual void Focus(Component c) = 0;
    // Starts the window manager's move of the window from the pointer position.
    virtual void BeginWindowMove() = 0;
    // Closes the main window, which ends the program.
    virtual void CloseWindow() = 0;
    // Busy while an apply runs: the apply button is disabled, the pointer waits.
    virtual void SetBusy(bool busy) = 0;
    // Modal yes/no question with a question icon; returns 6 (yes), 7 (no) or
    // anything else when the box was closed otherwise.
    virtual int AskYesNo(const std::string& text, const std::string& caption) = 0;
    // Plain information message captioned with the application title.
    virtual void ShowInformation(const std::string& text) = 0;
    // Modal warning with Retry and Cancel; returns 4 (retry) or 2 (cancel).
    virtual int AskRetryCancel(const std::string& text, const std::string& caption) = 0;
    // The shield on the apply button: pressing it needs administrator rights.
    virtual void ShowShield(bool shown) = 0;
    // The progress of a run in percent on the apply button and the task-bar
    // button; -1 ends the display. May be called from any thread.
    virtual void ShowProgress(int percent) = 0;
    // Runs `work` away from the window's thread, so that the window keeps
    // answering, then `then` on the window's thread.
    virtual void RunInBackground(std::function<void()> work, std::function<void()> then) = 0;
    // The same for short work beside it (finding the active season): its own
    // worker, so that it neither waits for nor delays a switch.
    virtual void RunAside(std::function<void()> work, std::function<void()> then) = 0;
    // The tooltip of a control; empty: none.
    virtual void SetHint(Component c, const std::string& text) = 0;
};

// What the window needs to know of the system around it. An operation left empty
// counts as harmless: nothing running, every folder writable.
struct SystemOperations {
    // Executable names of the running processes.
    std::function<std::vector<std::string>()> runningPrograms;
    std::function<bool(const std::string& folder)> folderWritable;
    // Starts the program again with administrator rights and `parameters`, and
    // waits for its end (called away from the window's thread).
    struct Elevated {
        bool started = false;
        bool cancelled = false;
    };
    std::function<Elevated(const std::string& parameters)> runElevated;
};

// Where the program file lies and which version it carries.
struct ProgramInfo {
    std::function<std::string()> programPath;
    std::function<std::string()> fileVersionText;
};

class TForm1 {
public:
    TForm1(SwitcherState& state, FormOperations& ops, ProgramInfo program,
           FileSystem& fs = RealFileSystem(), SystemOperations system = {});

    // Start-up when the window first appears: state to its start values, texts,
    // version, base folder, detection, first pictures.
    void FormShow();
    // Writes the five texts of the current Language into their controls.
    void ApplyLanguage();

    // Pointer movement over the background picture. A move starts only while the
    // primary button is held: without it there is nothing to drag, and Wine's
    // fallback move loop would otherwise wait for the next click.
    void Image1MouseMove(bool primaryButtonDown);
    void Image2Click();  // close icon
    void BitBtn2Click(); // close button
    void Image4Click();  // right arrow: next season
    void Image5Click();  // left arrow: previous season
    void Image8Click();  // German flag
    void Image9Click();  // English flag
    void Image10Click(); // help icon: show the help panel
    void BitBtn1Click(); // OK in the help panel: hide it
    void ListBox1Click();
    void ListBox1DblClick();
    void ListBox1MouseDown();
    // Switches to the chosen season: first the simulator must be closed (asked
    // with Retry / Cancel), then a folder that the program may not write offers a
    // new start with administrator rights; otherwise the apply engine runs. A
    // press while a run is in progress is refused.
    void Button1Click();
    // The window is about to close (its close icon, button or the system's
    // close). False while a run is in progress: the run is asked to stop after
    // the file in hand, reports what it did, and then closes the window.
    bool FormCloseQuery();

    // The two halves around an engine run, for a caller that runs the engine
    // elsewhere (Button1Click does all three in turn): the questions before the
    // run fill the request (a question closed without an answer counts as No and
    // the run goes on with that answer), and the result message after it.
    void AskBeforeApply(ApplyRequest& request);
    void ShowApplyResult(const ApplyResult& result);

    // Finds which season the add-ons hold, away from the window's thread, and
    // shows it in Label_Active (with the add-ons that differ as its tooltip).
    // Called once the window shows and after every switch; a call while one is
    // under way has it run again when it ends.
    void CheckActiveSeason();

    const std::string& VersionText() const { return versionText_; }
    bool WarningShown() const { return warningShown_; }
    bool HelpShown() const { return helpShown_; }
    bool Busy() const { return busy_; }

private:
    // One step of the carousel, forward or back, and the three pictures drawn
    // anew; nothing while a run is in progress.
    void TurnCarousel(bool forward);

    void SetBusy(bool busy);
    bool SimulatorClosed();
    bool FolderWritable();
    void OfferElevation();
    void ApplyWarningRule();
    void LeaveListToButton();
    void ShowActiveSeason();

    SwitcherState& state_;
    FormOperations& ops_;
    ProgramInfo program_;
    FileSystem& fs_;
    SystemOperations system_;
    std::atomic<bool> stop_{false};
    bool closeRequested_ = false;
    std::string versionText_;
    bool warningShown_ = false;
    bool helpShown_ = false;
    bool busy_ = false;
    std::shared_ptr<const ActiveSeasons> active_;
    bool checking_ = false;
    bool checkAgain_ = false;
};

// The folder of a program file, ending in a separator; a drive root keeps its single
// backslash ("D:\season.exe" gives "D:\", platform/path.h).
using platform::BaseFolderOf;

// "major.minor.release.build" from the two halves of a fixed file version.
std::string FormatFileVersion(std::uint32_t versionMS, std::uint32_t versionLS);

// The running program's file version as text, read from its own version record.
// Empty when the program carries none.
std::string GetFileVersionText();

// Progress of `done` out of `total` operations in whole percent, rounded down:
// 100 only when all are done.
int ProgressPercent(std::size_t done, std::size_t total);

// The command line that has a new instance switch at once to `season` in
// `language`, with the MipMap answer when one was given:
// "/season=winter /lang=de /mipmaps=yes".
std::string SwitchParameters(int season, int language, std::optional<bool> mipMaps);

// True when the warning about the Quorrin X add-on belongs on the window.
bool QuorrinWarningApplies(const SwitcherState& state);

} // namespace season
