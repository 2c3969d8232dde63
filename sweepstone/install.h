// The wizard window's rules (TForm2 of unit install): greeting, confirmation, the
// timer that runs the removal, "Finish" and the self-deletion. Plain code over the
// wizard's state and the window operations below; the Win32 binding only shows the
// state and forwards events.
#pragma once

#include "removal.h"

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

// The self-deletion: a batch in the temporary folder that the command interpreter
// runs hidden once the program has ended. It deletes the program file (trying once
// a second while the ending process still holds it, for about a minute at most),
// then the folder if that is empty, then itself.
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
// itself is plain ASCII, the same for every name. The command line names only the
// batch's file name, uis<hex>.bat, in the temporary folder that is the
// interpreter's current folder (in a network folder, which cannot be the current
// one, "!SWEEPSTONE_BATCH!"). `arguments` follow cmd.exe's name: /d (no AutoRun
// commands), /e:on and /v:on (the syntax used here, whatever the registry's
// defaults), /s /c and the whole command in one more pair of quotes, which /s
// removes.
struct SelfDeleteCommand {
    std::string batch;
    std::string arguments;
    platform::EnvironmentValues environment;
};
SelfDeleteCommand SelfDeleteBatch(const std::string& programPath, const std::string& batchPath);

// The log's and the picture's names: the program's file name up to and including its
// first "." (nothing when it has none), then "log" or "jpg".
std::string LogFileNameFor(const std::string& programPath);
std::string PictureFileNameFor(const std::string& programPath);

// The folder of a program file, ending in one backslash (a drive root keeps its one).
std::string BaseFolderOf(const std::string& programPath);

// Operations of the process that the self-deletion uses; the real ones end the
// process, tests supply their own.
struct SelfDeleteOperations {
    std::string (*tempFolder)();
    std::string (*uniqueName)(const std::string& folder, const std::string& prefix);
    std::error_code (*clearAttributes)(const std::string& path);
    std::error_code (*writeFile)(const std::string& path, const std::string& bytes);
    std::error_code (*setCurrentFolder)(const std::string& folder);
    std::error_code (*startHidden)(const std::string& arguments,
                                   const platform::EnvironmentValues& environment);
    void (*endProcess)(int code);
    static SelfDeleteOperations Real();
};

class TForm2 {
public:
    TForm2(Form2Window& window, std::string programPath,
           SelfDeleteOperations process = SelfDeleteOperations::Real(),
           RemovalSafety safety = RemovalSafety::ForThisSystem());

    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void Timer1Timer();
    // Pointer movement over the background picture. A move starts only while the
    // primary button is held: without it there is nothing to drag, and Wine's
    // fallback move loop would otherwise wait for the next click.
    void Image_backgroundMouseMove(bool primaryButtonDown);

    // MakeTempFileName(".bat"), the batch, then the hidden start and the end of the
    // process. Returns (only) when the batch could not be started; the failure text is
    // then shown and "Finish" may try again.
    void SelfDelete();

    const WizardState& State() const { return state_; }
    // What the removal did with each item; empty before it ran.
    const RemovalReport& Report() const { return report_; }

private:
    Form2Window& window_;
    std::string programPath_;
    SelfDeleteOperations process_;
    RemovalSafety safety_;
    WizardState state_;
    RemovalReport report_;
};

// The wizard's texts.
inline constexpr const char* kApplicationTitle = "Uninstaller - Brightmere GmbH";
inline constexpr const char* kWindowCaption = "Uninstaller by brightmere";
inline constexpr const char* kWelcomeText =
    "Welcome to the Maintenace program. This program lets you modify the current installation.";
inline constexpr const char* kRemoveAllText = "Remove all installed features now?";
inline constexpr const char* kMissingLogText = "ERROR: Missing uninstall log file!!";
inline constexpr const char* kConfirmText =
    "Do you want to completely remove the selected application and all of its features?";

} // namespace sweepstone
