#include "install.h"

#include "profile_file.h"
#include "report_file.h"

#include "platform/deletion.h"
#include "platform/errors.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/process.h"

#include <stdexcept>

namespace sweepstone {
namespace {

// The question before the removal, and the notes of a report whose run removed
// nothing or did not finish.
const char* const kConfirmText =
    "Do you want to completely remove the selected application and all of its features?";
const char* const kNoLogNote = "No uninstall log was found; nothing was removed.";
const char* const kUnreadableLogNote = "The uninstall log cannot be read; nothing was removed.";
const char* const kCancelledNote = "Cancelled; nothing was removed.";
const char* const kUnfinishedNote = "The removal has not finished.";

// The program's file name up to and including its first ".", or nothing.
std::string StemOf(const std::string& programPath) {
    const std::string name = platform::NameOf(programPath);
    return name.find('.') == std::string::npos ? std::string()
                                               : platform::WithoutExtensions(name) + ".";
}

// The removal's window operations for a silent run: the same progress, but the box
// that lists what was left is not shown, since nobody is there to answer it (the
// report file lists those items).
class QuietRemovalWindow final : public RemovalWindow {
public:
    explicit QuietRemovalWindow(RemovalWindow& window) : window_(window) {}
    void SetMessageText(const std::string& text) override { window_.SetMessageText(text); }
    void HideMessage() override { window_.HideMessage(); }
    void SetStatusText(const std::string& text) override { window_.SetStatusText(text); }
    void ShowProgress() override { window_.ShowProgress(); }
    void SetProgress(int position) override { window_.SetProgress(position); }
    void HideProgress() override { window_.HideProgress(); }
    void StopTimer() override { window_.StopTimer(); }
    void SetFinishButtonCaption(const std::string& text) override {
        window_.SetFinishButtonCaption(text);
    }
    void RestoreCursor() override { window_.RestoreCursor(); }
    void ShowInformation(const std::string&, const std::string&) override {}

private:
    RemovalWindow& window_;
};

} // namespace

std::string LogFileNameFor(const std::string& programPath) {
    return StemOf(programPath) + "log";
}

std::string PictureFileNameFor(const std::string& programPath) {
    return StemOf(programPath) + "jpg";
}

std::string CheckReportFileNameFor(const std::string& programPath) {
    std::string stem = StemOf(programPath);
    if (!stem.empty())
        stem.pop_back(); // its "."
    return stem + "-check.txt";
}

SelfDeleteCommand SelfDeleteBatch(const std::string& programPath, const std::string& batchFolder,
                                  const std::string& systemFolder) {
    std::string folder = BaseFolderOf(programPath);
    if (folder.size() > 3) // "C:\" keeps its separator; rmdir fails on a root anyway
        folder.pop_back();
    SelfDeleteCommand command;
    command.batch = "@echo off\r\n"
                    "pushd \"!SWEEPSTONE_SYSTEM!\"\r\n"
                    "set /a tries=0\r\n"
                    ":retry\r\n"
                    "del /f \"!SWEEPSTONE_PROGRAM!\" >nul 2>&1\r\n"
                    "if not exist \"!SWEEPSTONE_PROGRAM!\" goto removed\r\n"
                    "set /a tries+=1\r\n"
                    "if !tries! geq 60 goto done\r\n"
                    "\"!SWEEPSTONE_SYSTEM!\\PING.EXE\" -n 2 127.0.0.1 >nul 2>&1\r\n"
                    "goto retry\r\n"
                    ":removed\r\n"
                    "rmdir \"!SWEEPSTONE_FOLDER!\" >nul 2>&1\r\n"
                    ":done\r\n"
                    "popd\r\n";
    command.batchPath = batchFolder + "\\" + kSelfDeleteBatchName;
    const std::string name = platform::NameOf(batchFolder);
    // The interpreter cannot stay in a network folder (\\server\share) as its
    // current folder; there the command line reads the paths from the environment.
    const bool networkFolder = batchFolder.rfind("\\\\", 0) == 0;
    command.currentFolder =
        networkFolder ? systemFolder : batchFolder.substr(0, batchFolder.size() - name.size());
    command.arguments =
        "/d /e:on /v:on /s /c \"" +
        (networkFolder
             ? std::string("\"!SWEEPSTONE_BATCH!\" & rmdir /s /q \"!SWEEPSTONE_BATCH_FOLDER!\"")
             : "\"" + name + "\\" + kSelfDeleteBatchName + "\" & rmdir /s /q \"" + name + "\"") +
        "\"";
    command.environment = {{"SWEEPSTONE_PROGRAM", programPath},
                           {"SWEEPSTONE_FOLDER", folder},
                           {"SWEEPSTONE_SYSTEM", systemFolder},
                           {"SWEEPSTONE_BATCH", command.batchPath},
                           {"SWEEPSTONE_BATCH_FOLDER", batchFolder}};
    return command;
}

SelfDeleteOperations SelfDeleteOperations::Real() {
    return {&platform::TempFolder,
            &platform::SystemFolder,
            &platform::MakePrivateFolder,
            &platform::ClearFileAttributes,
            &platform::WriteNewFile,
            &platform::StartHiddenCommand,
            [](const std::string& folder) { platform::DeleteTree(folder); },
            [](int code) {
                platform::EndProcess(code);
            }};
}

TForm2::TForm2(Form2Window& window, std::string programPath, SelfDeleteOperations process,
               RemovalSafety safety, Arguments arguments)
    : window_(window), programPath_(std::move(programPath)), process_(process),
      safety_(std::move(safety)), arguments_(std::move(arguments)) {}

void TForm2::FormShow() {
    state_.RemovalDone = false;
    state_.BaseFolder = BaseFolderOf(programPath_);
    state_.LogFileName = LogFileNameFor(programPath_);
    state_.PictureFileName = PictureFileNameFor(programPath_);
    state_.CheckReportFileName = CheckReportFileNameFor(programPath_);
    state_.ProductName.clear();
    state_.WindowShown = arguments_.mode != RunMode::VerySilent;

    const std::string picture = state_.BaseFolder + state_.PictureFileName;
    if (platform::FilePresent(picture))
        window_.LoadBackground(picture); // a picture that cannot be loaded is ignored

    const std::string log = state_.BaseFolder + state_.LogFileName;
    std::error_code error;
    const ProfileDocument document = ProfileFile(log).Load(error);
    if (!platform::FilePresent(log)) {
        logState_ = LogState::Missing;
        window_.SetLabelText(Form2Window::Label::Uninstall, kMissingLogText);
    } else if (error) {
        // There, but locked or denied: removing without knowing what would do nothing
        // and then claim success, so the wizard offers only Cancel, as without a log.
        logState_ = LogState::Unreadable;
        window_.SetLabelText(Form2Window::Label::Uninstall, kUnreadableLogText);
    } else {
        logState_ = LogState::Ready;
        window_.EnableButton(Form2Window::Button::Next, true);
        state_.ProductName = document.ReadString("General", "Name", "Product");
        window_.SetLabelText(Form2Window::Label::Uninstall,
                             "Remove all installed features of " + state_.ProductName + " now?");
    }
    window_.SetButtonTooltip(Form2Window::Button::Next,
                             "Uninstall the " + state_.ProductName + " from you system!");
    window_.SetButtonTooltip(Form2Window::Button::Cancel,
                             "Exit program - whithout uninstalling " + state_.ProductName + "!");
}

void TForm2::BitBtn1Click() {
    if (!window_.AskOkCancel(kConfirmText, "Information"))
        return;
    BeginRemoval();
}

void TForm2::BeginRemoval() {
    removalBegun_ = true;
    if (arguments_.noCancel)
        window_.EnableButton(Form2Window::Button::Cancel, false);
    window_.ShowLabel(Form2Window::Label::Uninstall, false);
    window_.ShowLabel(Form2Window::Label::Status, true);
    window_.EnableButton(Form2Window::Button::Next, false);
    window_.SetBusyCursor();
    window_.StartTimer();
}

void TForm2::Timer1Timer() {
    if (state_.RemovalDone)
        return; // the timer is one-shot; a late tick must not run the removal twice
    if (arguments_.Quiet()) {
        QuietRemovalWindow quiet(window_);
        report_ = sweepstone::Timer1Timer(state_, quiet, safety_);
    } else {
        report_ = sweepstone::Timer1Timer(state_, window_, safety_);
    }
    Conclude();
}

void TForm2::BitBtn2Click() {
    if (Uncancellable())
        return;
    if (state_.RemovalDone) {
        SelfDelete(exitCode_);
        return;
    }
    if (arguments_.given && !EndedForWantOfALog())
        EndUnremoved(kExitCancelled, kCancelledNote);
    window_.Close();
}

bool TForm2::EndedForWantOfALog() {
    if (logState_ == LogState::Ready)
        return false;
    EndUnremoved(kExitNoLog, logState_ == LogState::Missing ? kNoLogNote : kUnreadableLogNote);
    return true;
}

void TForm2::Conclude() {
    if (arguments_.noCancel)
        window_.EnableButton(Form2Window::Button::Cancel, true); // now "Finish"
    if (arguments_.given)
        exitCode_ = ExitCodeFor(report_);
    WriteReport({});
    if (arguments_.Quiet()) {
        SelfDelete(exitCode_);
        // Only when the self-deletion could not start: the run still ends.
        window_.Close();
    }
}

void TForm2::EndUnremoved(int code, const std::string& note) {
    exitCode_ = code;
    report_ = {};
    WriteReport(note);
}

void TForm2::WriteReport(const std::string& note) {
    if (arguments_.reportFile.empty())
        return;
    ReportHeader header;
    header.program = programPath_;
    header.uninstallLog = state_.BaseFolder + state_.LogFileName;
    header.productName = state_.ProductName;
    header.exitCode = exitCode_;
    header.note = note;
    // Whether the file can be written was tried before anything was removed.
    platform::WriteFileNotThroughLink(arguments_.reportFile, ReportText(header, report_));
}

bool TForm2::PrepareReport() {
    if (arguments_.reportFile.empty())
        return true;
    // Never through a link: a report named where others can write must not let a
    // planted link turn the elevated write onto a file of the system.
    const std::error_code failure = platform::WriteFileNotThroughLink(
        arguments_.reportFile, "\xEF\xBB\xBF"
                               "Uninstall report\r\n"
                               "Note: " +
                                   std::string(kUnfinishedNote) + "\r\n");
    return !failure;
}

void TForm2::StartSilently() {
    if (EndedForWantOfALog()) {
        window_.Close();
        return;
    }
    BeginRemoval();
}

int TForm2::RunHidden() {
    FormShow();
    if (EndedForWantOfALog())
        return exitCode_;
    Timer1Timer(); // concludes with the report and the self-deletion
    return exitCode_;
}

void TForm2::Image_backgroundMouseMove(bool primaryButtonDown) {
    if (primaryButtonDown)
        window_.BeginMove();
}

void TForm2::SelfDelete(int exitCode) {
    // A silent run never waits for an answer: its failures are not shown.
    HiddenForm2 hidden;
    Form2Window& shown = arguments_.Quiet() ? static_cast<Form2Window&>(hidden) : window_;
    const std::string temp = process_.tempFolder();
    std::string folder;
    if (const std::error_code failure =
            process_.makePrivateFolder(temp, kSelfDeleteFolderPrefix, folder)) {
        shown.ShowInformation(kApplicationTitle, "No folder for the removal could be made in " +
                                                     temp + ": " + platform::ErrorText(failure));
        return;
    }
    process_.clearAttributes(programPath_);
    const SelfDeleteCommand command =
        SelfDeleteBatch(programPath_, folder, process_.systemFolder());
    std::string failed;
    if (const std::error_code failure = process_.writeNewFile(command.batchPath, command.batch))
        failed = "Cannot write " + command.batchPath + ": " + platform::ErrorText(failure);
    else if (const std::error_code failure = process_.startHidden(
                 command.arguments, command.environment, command.currentFolder))
        failed = "Cannot start " + command.batchPath + ": " + platform::ErrorText(failure);
    if (failed.empty()) {
        process_.endProcess(exitCode);
        return;
    }
    process_.removeFolder(folder);
    shown.ShowInformation(kApplicationTitle, failed);
}

} // namespace sweepstone
