#include "install.h"

#include "profile_file.h"

#include "platform/files.h"
#include "platform/process.h"

#include <stdexcept>

namespace sweepstone {
namespace {

std::string FileNameOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string StemOf(const std::string& programPath) {
    const std::string name = FileNameOf(programPath);
    const size_t dot = name.find('.');
    return dot == std::string::npos ? std::string() : name.substr(0, dot + 1);
}

} // namespace

std::string LogFileNameFor(const std::string& programPath) {
    return StemOf(programPath) + "log";
}

std::string PictureFileNameFor(const std::string& programPath) {
    return StemOf(programPath) + "jpg";
}

std::string BaseFolderOf(const std::string& programPath) {
    const size_t cut = programPath.find_last_of("\\/:");
    std::string folder = cut == std::string::npos ? std::string() : programPath.substr(0, cut + 1);
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/'))
        folder += '\\';
    return folder;
}

SelfDeleteCommand SelfDeleteBatch(const std::string& programPath, const std::string& batchPath) {
    std::string folder = BaseFolderOf(programPath);
    if (folder.size() > 3) // "C:\" keeps its separator; rmdir fails on a root anyway
        folder.pop_back();
    SelfDeleteCommand command;
    command.batch = "@echo off\r\n"
                    "set /a tries=0\r\n"
                    ":retry\r\n"
                    "del /f \"!SWEEPSTONE_PROGRAM!\" >nul 2>&1\r\n"
                    "if not exist \"!SWEEPSTONE_PROGRAM!\" goto removed\r\n"
                    "set /a tries+=1\r\n"
                    "if !tries! geq 60 goto done\r\n"
                    "ping -n 2 127.0.0.1 >nul 2>&1\r\n"
                    "goto retry\r\n"
                    ":removed\r\n"
                    "rmdir \"!SWEEPSTONE_FOLDER!\" >nul 2>&1\r\n"
                    ":done\r\n"
                    "del \"!SWEEPSTONE_BATCH!\" >nul 2>&1\r\n";
    // The interpreter cannot stay in a network folder (\\server\share) as its
    // current folder; there the command line reads the batch's path from the
    // environment too.
    const bool networkFolder = batchPath.rfind("\\\\", 0) == 0;
    command.arguments =
        "/d /e:on /v:on /s /c \"\"" +
        (networkFolder ? std::string("!SWEEPSTONE_BATCH!") : FileNameOf(batchPath)) + "\"\"";
    command.environment = {{"SWEEPSTONE_PROGRAM", programPath},
                           {"SWEEPSTONE_FOLDER", folder},
                           {"SWEEPSTONE_BATCH", batchPath}};
    return command;
}

SelfDeleteOperations SelfDeleteOperations::Real() {
    return {&platform::TempFolder,
            &platform::UniqueTempFileName,
            &platform::ClearFileAttributes,
            &platform::WriteWholeFile,
            &platform::SetCurrentFolder,
            &platform::StartHiddenCommand,
            [](int code) {
                platform::EndProcess(code);
            }};
}

TForm2::TForm2(Form2Window& window, std::string programPath, SelfDeleteOperations process,
               RemovalSafety safety)
    : window_(window), programPath_(std::move(programPath)), process_(process),
      safety_(std::move(safety)) {}

void TForm2::FormShow() {
    state_.RemovalDone = false;
    state_.BaseFolder = BaseFolderOf(programPath_);
    state_.LogFileName = LogFileNameFor(programPath_);
    state_.PictureFileName = PictureFileNameFor(programPath_);
    state_.ProductName.clear();

    const std::string picture = state_.BaseFolder + state_.PictureFileName;
    if (platform::FilePresent(picture))
        window_.LoadBackground(picture); // a picture that cannot be loaded is ignored

    const std::string log = state_.BaseFolder + state_.LogFileName;
    if (platform::FilePresent(log)) {
        window_.EnableButton(Form2Window::Button::Next, true);
        state_.ProductName = ProfileFile(log).ReadString("General", "Name", "Product");
        window_.SetLabelText(Form2Window::Label::Uninstall,
                             "Remove all installed features of " + state_.ProductName + " now?");
    } else {
        window_.SetLabelText(Form2Window::Label::Uninstall, kMissingLogText);
    }
    window_.SetButtonTooltip(Form2Window::Button::Next,
                             "Uninstall the " + state_.ProductName + " from you system!");
    window_.SetButtonTooltip(Form2Window::Button::Cancel,
                             "Exit program - whithout uninstalling " + state_.ProductName + "!");
}

void TForm2::BitBtn1Click() {
    if (!window_.AskOkCancel(kConfirmText, "Information"))
        return;
    window_.ShowLabel(Form2Window::Label::Uninstall, false);
    window_.ShowLabel(Form2Window::Label::Status, true);
    window_.EnableButton(Form2Window::Button::Next, false);
    window_.SetBusyCursor();
    window_.StartTimer();
}

void TForm2::Timer1Timer() {
    if (state_.RemovalDone)
        return; // the timer is one-shot; a late tick must not run the removal twice
    report_ = sweepstone::Timer1Timer(state_, window_, safety_);
}

void TForm2::BitBtn2Click() {
    if (state_.RemovalDone)
        SelfDelete();
    else
        window_.Close();
}

void TForm2::Image_backgroundMouseMove(bool primaryButtonDown) {
    if (primaryButtonDown)
        window_.BeginMove();
}

void TForm2::SelfDelete() {
    const std::string folder = process_.tempFolder();
    std::string batch = process_.uniqueName(folder, "uis");
    if (batch.empty()) {
        window_.ShowInformation(kApplicationTitle, "No temporary file could be made in " + folder);
        return;
    }
    batch = batch.substr(0, batch.find_last_of('.')) + ".bat";
    process_.clearAttributes(programPath_);
    const SelfDeleteCommand command = SelfDeleteBatch(programPath_, batch);
    if (auto error = process_.writeFile(batch, command.batch)) {
        window_.ShowInformation(kApplicationTitle,
                                "Cannot write " + batch + ": " + error.message());
        return;
    }
    if (auto error = process_.setCurrentFolder(folder)) {
        window_.ShowInformation(kApplicationTitle,
                                "Cannot change to " + folder + ": " + error.message());
        return;
    }
    if (auto error = process_.startHidden(command.arguments, command.environment)) {
        window_.ShowInformation(kApplicationTitle,
                                "Cannot start " + batch + ": " + error.message());
        return;
    }
    process_.endProcess(0);
}

} // namespace sweepstone
