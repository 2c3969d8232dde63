// Program entry of sweepstone.exe. Without arguments: the wizard window, exit code 0.
// With them: /SILENT, /VERYSILENT or /S remove without asking, /LOG="file" writes a
// report, /? shows the usage, /CHECK judges the log and changes nothing; the exit
// code then tells how the run ended.
#include "check.h"
#include "form2_win32.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/path.h"
#include "platform/process.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: never from the program's or the current folder.
    platform::HardenLibrarySearch();
    using namespace sweepstone;
    const std::string program = platform::ProgramPath();
    const std::string usage = UsageText(platform::NameOf(program));
    const ParsedArguments parsed = ParseArguments(SplitCommandLine(platform::CommandLineText()));
    if (!parsed.Accepted()) {
        // Nothing is done. A caller that asked for silence gets no box to wait for.
        if (!parsed.silentAsked)
            platform::ShowMessage(nullptr, parsed.error + "\r\n\r\n" + usage, kApplicationTitle);
        return kExitCancelled;
    }
    const Arguments& arguments = parsed.arguments;
    if (arguments.mode == RunMode::Usage) {
        platform::ShowMessage(nullptr, usage, kApplicationTitle);
        return kExitRemoved;
    }
    if (arguments.check) {
        // Nothing of the wizard's window and nothing of the removal: the log is only read.
        const CheckRun run = RunCheck(arguments, program, CheckOptions::ForThisSystem());
        if (arguments.mode != RunMode::VerySilent)
            platform::ShowMessage(nullptr, run.message, kApplicationTitle);
        return run.exitCode;
    }

    if (arguments.mode == RunMode::VerySilent) {
        HiddenForm2 hidden;
        TForm2 form(hidden, platform::ProgramPath(), SelfDeleteOperations::Real(),
                    RemovalSafety::ForThisSystem(), arguments);
        if (!form.PrepareReport())
            return kExitCancelled;
        return form.RunHidden();
    }

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    platform::gui::GdiplusSession gdiplus;
    sweepstone::win32::Form2 form(instance, arguments);
    if (!form.Logic().PrepareReport()) {
        if (!arguments.Quiet() && !arguments.suppressMessageBoxes)
            platform::ShowMessage(nullptr,
                                  "The report file cannot be written: " + arguments.reportFile,
                                  kApplicationTitle);
        return kExitCancelled;
    }
    if (!form.Create())
        return arguments.given ? kExitCancelled : 0;
    platform::gui::RunMessageLoop(form.Handle());
    return form.Logic().ExitCode();
}
