// The wizard window's rules (TForm2 of unit install): greeting, confirmation, the
// timer that runs the removal, "Finish" and the self-deletion. Plain code over the
// wizard's state and the window operations below; the Win32 binding only shows the
// state and forwards events.
#pragma once

#include "command_line.h"
#include "removal.h"
#include "removal_report.h"

#include "platform/path.h"
#include "platform/process.h"

#include <string>
#include <system_error>
#include <vector>

namespace sweepstone {

// What the rules ask of the wizard window, beyond what the removal sequence asks.
class Form2Window : public RemovalWindow {
public:
    enum class Label { Message, Uninstall, Status };
    enum class Button { Next, Cancel }; // BitBtn1, BitBtn2

    // Loads a JPEG into Image_background; false when it cannot be loaded.
    virtual bool LoadBackground(const std::string& file) = 0;
    virtual void SetLabelText(Label label, const std::string& text) = 0;
    virtual void ShowLabel(Label label, bool visible) = 0;
    virtual void SetButtonCaption(Button button, const std::string& text) = 0;
    virtual void EnableButton(Button button, bool enabled) = 0;
    virtual void SetButtonTooltip(Button button, const std::string& text) = 0;
    virtual void StartTimer() = 0;
    virtual void SetBusyCursor() = 0;
    // The modal question with OK and Cancel, no icon; true for OK.
    virtual bool AskOkCancel(const std::string& text, const std::string& caption) = 0;
    virtual void BeginMove() = 0;
    virtual void Close() = 0;

    // The removal sequence's operations in terms of the ones above.
    void SetMessageText(const std::string& text) override { SetLabelText(Label::Message, text); }
    void HideMessage() override { ShowLabel(Label::Message, false); }
    void SetStatusText(const std::string& text) override { SetLabelText(Label::Status, text); }
    void SetFinishButtonCaption(const std::string& text) override {
        SetButtonCaption(Button::Cancel, text);
    }
};

// The self-deletion: a batch that the command interpreter runs hidden once the
// program has ended. It deletes the program file (trying once a second while the
// ending process still holds it, for about a minute at most), then the folder if
// that is empty; then the interpreter removes the batch with its folder.
//
// Where it lies. The temporary folder is shared (C:\Windows\Temp when the wizard
// runs as the system, where every user may create files), so the batch goes into a
// folder of its own, made new with a unique name (never one that exists) and a
// descriptor that lets in only the running account, or when elevated only the
// administrators and the system (platform::MakePrivateFolder); the batch is written
// new inside it (CREATE_NEW). Nobody else can plant, replace or rewrite it.
//
// What it runs. Nothing by a bare name: besides the interpreter's own commands only
// PING.EXE, named in full from the system folder (one echo a second is the wait;
// "timeout" fails without a console). The batch's first line makes the system
// folder the current one, so that nothing is ever looked up in a folder that others
// can write; its last line goes back, and the command line then removes the batch's
// folder by its name ("uis" and eight hexadecimal digits) relative to the temporary
// folder, where the interpreter starts. That folder is removed from the command
// line, after the batch has ended, because the interpreter may hold the batch open
// until then (Wine's does). The interpreter starts in the temporary folder only to
// name its batch without a variable: a network folder cannot be the current one,
// and there the command line reads both paths from the environment and the
// interpreter starts in the system folder. (Wine's interpreter expands "%" again in
// what "!NAME!" gives on a command line, though not in a batch.)
//
// No path is ever written into the batch or onto the interpreter's command line.
// The interpreter would read them in the OEM code page (where the program's texts
// are ANSI or UTF-8), expand "%" in them, and treat & ( ) ^ @ outside quotes as
// syntax. The usual remedies fall short: 8.3 short names can be switched off per
// volume (the default on data volumes since Windows 8), and a UTF-8 batch behind
// "chcp 65001" is misread by the interpreter of Windows 7. Instead the paths travel
// in the interpreter's environment, which is UTF-16 and holds any character, and
// the batch reads them by delayed expansion ("!SWEEPSTONE_PROGRAM!", inside
// quotes), whose result Windows neither expands again nor parses for syntax. (Wine's
// interpreter does expand "%" again after "%NAME%", so "!NAME!" is also the form
// that works there; it drops a "!" inside a value, which Windows keeps.) The batch
// itself is plain ASCII, the same for every name. `arguments` follow cmd.exe's
// name: /d (no AutoRun commands), /e:on and /v:on (the syntax used here, whatever
// the registry's defaults), /s /c and the whole command in one more pair of quotes,
// which /s removes.
struct SelfDeleteCommand {
    std::string batch;         // the batch's bytes
    std::string batchPath;     // where they go: kSelfDeleteBatchName in batchFolder
    std::string arguments;     // the interpreter's command line after its name
    std::string currentFolder; // where the interpreter starts
    platform::EnvironmentValues environment;
};
inline constexpr const char* kSelfDeleteFolderPrefix = "uis";
inline constexpr const char* kSelfDeleteBatchName = "remove.bat";
// `batchFolder`: the private folder (no final separator) made in the temporary
// folder; `systemFolder`: the system folder, without a final separator.
SelfDeleteCommand SelfDeleteBatch(const std::string& programPath, const std::string& batchFolder,
                                  const std::string& systemFolder);

// The log's and the picture's names: the program's file name up to and including its
// first "." (nothing when it has none), then "log" or "jpg".
std::string LogFileNameFor(const std::string& programPath);
std::string PictureFileNameFor(const std::string& programPath);
// The default report of /CHECK beside the wizard: the stem without its "." then
// "-check.txt" ("Uninstall-check.txt"). The removal deletes it with the log.
std::string CheckReportFileNameFor(const std::string& programPath);

// The folder of a program file, ending in a separator (platform/path.h).
using platform::BaseFolderOf;

// Operations of the process that the self-deletion uses; the real ones end the
// process, tests supply their own.
struct SelfDeleteOperations {
    std::string (*tempFolder)();
    std::string (*systemFolder)();
    std::error_code (*makePrivateFolder)(const std::string& parent, const std::string& prefix,
                                         std::string& folder);
    std::error_code (*clearAttributes)(const std::string& path);
    std::error_code (*writeNewFile)(const std::string& path, const std::string& bytes);
    std::error_code (*startHidden)(const std::string& arguments,
                                   const platform::EnvironmentValues& environment,
                                   const std::string& currentFolder);
    // Removes the private folder again when the batch could not be started.
    void (*removeFolder)(const std::string& folder);
    void (*endProcess)(int code);
    static SelfDeleteOperations Real();
};

// The wizard window of a run without any window (/VERYSILENT): every operation does
// nothing, and a question is never asked.
class HiddenForm2 final : public Form2Window {
public:
    bool LoadBackground(const std::string&) override { return false; }
    void SetLabelText(Label, const std::string&) override {}
    void ShowLabel(Label, bool) override {}
    void SetButtonCaption(Button, const std::string&) override {}
    void EnableButton(Button, bool) override {}
    void SetButtonTooltip(Button, const std::string&) override {}
    void StartTimer() override {}
    void SetBusyCursor() override {}
    bool AskOkCancel(const std::string&, const std::string&) override { return false; }
    void BeginMove() override {}
    void Close() override {}
    void ShowProgress() override {}
    void SetProgress(int) override {}
    void HideProgress() override {}
    void StopTimer() override {}
    void RestoreCursor() override {}
    void ShowInformation(const std::string&, const std::string&) override {}
};

class TForm2 {
public:
    TForm2(Form2Window& window, std::string programPath,
           SelfDeleteOperations process = SelfDeleteOperations::Real(),
           RemovalSafety safety = RemovalSafety::ForThisSystem(), Arguments arguments = {});

    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void Timer1Timer();
    // Pointer movement over the background picture. A move starts only while the
    // primary button is held: without it there is nothing to drag, and Wine's
    // fallback move loop would otherwise wait for the next click.
    void Image_backgroundMouseMove(bool primaryButtonDown);
    // Whether the window may close now (its close box, Alt+F4): not with /NOCANCEL
    // while the removal runs.
    bool MayClose() const { return !Uncancellable(); }

    // The private folder, the batch, then the hidden start and the end of the
    // process with `exitCode`. Returns (only) when the batch could not be started; the
    // folder is removed again, the failure text shown (never in a silent run), and
    // "Finish" may try again.
    void SelfDelete(int exitCode = 0);

    // Command-line runs. Before anything else, with /LOG: writes a first report that
    // says the removal has not finished, so that a report file that cannot be
    // written refuses the run before anything is removed. True when it was written
    // (or no report was asked for).
    bool PrepareReport();
    // /SILENT, after FormShow: with a log, the steps of "Next >" without its
    // question, so that the timer runs the removal, which then ends with the report
    // and the self-deletion; without a log, the report and the window's close.
    void StartSilently();
    // /VERYSILENT: FormShow, the removal at once, the report and the self-deletion,
    // which ends the process. Returns the exit code when the process did not end
    // (no log, or the self-deletion could not start).
    int RunHidden();
    // The exit code of the run so far; always 0 without arguments.
    int ExitCode() const { return exitCode_; }

    const WizardState& State() const { return state_; }
    // What the removal did with each item; empty before it ran.
    const RemovalReport& Report() const { return report_; }

private:
    // Without a readable log nothing can be removed: the run ends with 2 and a
    // report that says why. False when the log was read.
    bool EndedForWantOfALog();
    // The steps of "Next >" after its question: the timer runs the removal.
    void BeginRemoval();
    // The removal has run: exit code and report; a silent run then deletes itself.
    void Conclude();
    // The run ends before any removal: `code` and the report that says why.
    void EndUnremoved(int code, const std::string& note);
    void WriteReport(const std::string& note);
    // /NOCANCEL, and the removal has begun but not ended: Cancel does nothing.
    bool Uncancellable() const {
        return arguments_.noCancel && removalBegun_ && !state_.RemovalDone;
    }

    Form2Window& window_;
    std::string programPath_;
    SelfDeleteOperations process_;
    RemovalSafety safety_;
    Arguments arguments_;
    WizardState state_;
    RemovalReport report_;
    int exitCode_ = 0;
    bool removalBegun_ = false;
    enum class LogState { Missing, Unreadable, Ready } logState_ = LogState::Missing;
};

// The wizard's texts.
inline constexpr const char* kApplicationTitle = "Uninstaller - Brightmere GmbH";
inline constexpr const char* kWelcomeText =
    "Welcome to the Maintenace program. This program lets you modify the current installation.";
inline constexpr const char* kRemoveAllText = "Remove all installed features now?";
inline constexpr const char* kMissingLogText = "ERROR: Missing uninstall log file!!";
inline constexpr const char* kUnreadableLogText =
    "ERROR: The uninstall log file cannot be read (it may be open in another program)!!";

} // namespace sweepstone
