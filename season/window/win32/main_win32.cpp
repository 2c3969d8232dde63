// Program entry of season.exe. Without arguments it opens the window and ends with
// exit code 0; a second start on a folder that a switcher already works on brings
// that one's window to the front and ends (a folder mark that no switcher window
// answers does not keep the window from opening). With arguments it switches from the
// command line without the window and ends with that run's exit code
// (command_line.h); such a run takes no part in the one-window rule, since the
// window itself starts one with administrator rights when its folder is
// protected.
#include "command_line.h"
#include "form1_win32.h"
#include "guards.h"
#include "instance_win32.h"
#include "texts.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/rights.h"

#include <string>
#include <vector>

namespace {

int RunFromCommandLine(const std::vector<std::string>& args) {
    season::CommandLineHost host;
    host.programPath = platform::ProgramPath();
    host.elevated = platform::RunningElevated();
    host.month = [] {
        SYSTEMTIME now;
        GetLocalTime(&now);
        return static_cast<int>(now.wMonth);
    };
    const std::string title(season::kApplicationTitle);
    host.show = [&title](const std::string& text) {
        platform::ShowMessage(nullptr, text, title);
    };
    host.askYesNo = [](const std::string& text, const std::string& caption) {
        return platform::AskYesNo(nullptr, text, caption) == platform::kAnswerYes;
    };
    // A quiet run is one nobody watches: no shell window may wait for an answer.
    const season::CommandLine line = season::ParseCommandLine(args);
    return season::RunCommandLine(
        line, host, line.quiet ? season::QuietFileSystem() : season::RealFileSystem());
}

} // namespace

#include "platform/library.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: never from the program's or the current folder.
    platform::HardenLibrarySearch();
    // Split here rather than by CommandLineToArgvW, whose shell library would load
    // the window's libraries into a quiet run (by the same rules: process.h).
    const std::vector<std::string> args = platform::SplitCommandLine(platform::CommandLineText());
    if (!args.empty())
        return RunFromCommandLine(args);

    season::win32::InstanceLock lock;
    const bool markTaken = !lock.Acquire();
    // The other one may still be starting: its window comes within moments. A mark
    // that no switcher window answers was taken by something else: open anyway.
    const bool broughtForward = markTaken && lock.BringOtherToFront(10);
    if (season::StartEndsAtOnce(markTaken, broughtForward))
        return 0;
    // For the task-bar button's progress.
    const platform::win32::ScopedCom com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    platform::gui::GdiplusSession gdiplus;
    // The application's title is the main window's text: the task bar shows it, and
    // it captions the program's information messages.
    season::win32::Form1Window form(instance, lock);
    if (form.Create())
        platform::gui::RunMessageLoop(form.Handle());
    return 0;
}
