#include "unit1.h"

#include "apply.h"
#include "detection.h"
#include "guards.h"
#include "texts.h"

#include "platform/files.h"
#include "platform/version.h"

#include <memory>
#include <utility>

namespace season {

TForm1::TForm1(SwitcherState& state, FormOperations& ops, ProgramInfo program, FileSystem& fs,
               SystemOperations system)
    : state_(state), ops_(ops), program_(std::move(program)), fs_(fs), system_(std::move(system)) {}

void TForm1::FormShow() {
    state_.Detected.fill(false);
    state_.Language = kEnglish;
    ApplyLanguage();
    versionText_ = program_.fileVersionText ? program_.fileVersionText() : std::string();
    ops_.SetText(Component::Label_Version, "V" + versionText_);
    state_.seasons = SeasonIndices{kSummer, kAutumn, kSpring};
    state_.BaseFolder = BaseFolderOf(program_.programPath ? program_.programPath() : "");
    ops_.SetText(Component::Label1, state_.BaseFolder);

    const size_t before = state_.AddonList.size();
    ScanSubFolders(state_, fs_);
    ProbeCatalogue(state_, fs_);
    for (size_t i = before; i < state_.AddonList.size(); ++i)
        ops_.AppendListEntry(state_.AddonList[i]);

    ops_.DrawSeasonPicture(Component::Image3, state_.seasons.SeasonIndex);
    ops_.DrawSeasonPicture(Component::Image6, state_.seasons.NextSeasonIndex);
    ops_.DrawSeasonPicture(Component::Image7, state_.seasons.PrevSeasonIndex);
    if (!FolderWritable())
        ops_.ShowShield(true);
    CheckActiveSeason();
}

void TForm1::CheckActiveSeason() {
    if (checking_) {
        checkAgain_ = true;
        return;
    }
    checking_ = true;
    // The worker reads its own copy of what detection found.
    auto snapshot = std::make_shared<const SwitcherState>(state_);
    auto found = std::make_shared<ActiveSeasons>();
    ops_.RunAside([this, snapshot, found] { *found = FindActiveSeasons(*snapshot, fs_); },
                  [this, found] {
                      checking_ = false;
                      active_ = found;
                      ShowActiveSeason();
                      if (std::exchange(checkAgain_, false))
                          CheckActiveSeason();
                  });
}

void TForm1::ShowActiveSeason() {
    if (!active_)
        return;
    ops_.SetText(Component::Label_Active, ActiveSeasonLine(state_.Language, *active_));
    ops_.SetHint(Component::Label_Active, ActiveSeasonHint(state_.Language, *active_));
}

void TForm1::ApplyLanguage() {
    const auto write = [this](const LanguageTexts& t) {
        ops_.SetText(Component::Label_Quorrin_warning, std::string(t.quorrinWarning));
        ops_.SetText(Component::Label2, std::string(t.supportFor));
        ops_.SetText(Component::BitBtn2, std::string(t.closeButton));
        ops_.SetText(Component::Button1, std::string(t.applyButton));
        ops_.SetText(Component::Label_Help, std::string(t.help));
    };
    ShowActiveSeason();
    if (state_.Language == kGerman)
        write(TextsFor(kGerman));
    if (state_.Language == kEnglish)
        write(TextsFor(kEnglish));
}

void TForm1::Image1MouseMove(bool primaryButtonDown) {
    if (primaryButtonDown)
        ops_.BeginWindowMove();
}

void TForm1::Image2Click() {
    if (FormCloseQuery())
        ops_.CloseWindow();
}

void TForm1::BitBtn2Click() {
    if (FormCloseQuery())
        ops_.CloseWindow();
}

void TForm1::Image4Click() {
    TurnCarousel(true);
}

void TForm1::Image5Click() {
    TurnCarousel(false);
}

void TForm1::TurnCarousel(bool forward) {
    if (busy_)
        return;
    forward ? StepForward(state_.seasons) : StepBack(state_.seasons);
    // The big picture first, then the neighbour the carousel turned towards.
    const SeasonIndices& s = state_.seasons;
    ops_.DrawSeasonPicture(Component::Image3, s.SeasonIndex);
    if (forward) {
        ops_.DrawSeasonPicture(Component::Image6, s.NextSeasonIndex);
        ops_.DrawSeasonPicture(Component::Image7, s.PrevSeasonIndex);
    } else {
        ops_.DrawSeasonPicture(Component::Image7, s.PrevSeasonIndex);
        ops_.DrawSeasonPicture(Component::Image6, s.NextSeasonIndex);
    }
    ApplyWarningRule();
}

void TForm1::Image8Click() {
    if (busy_)
        return;
    state_.Language = kGerman;
    ApplyLanguage();
}

void TForm1::Image9Click() {
    if (busy_)
        return;
    state_.Language = kEnglish;
    ApplyLanguage();
}

void TForm1::Image10Click() {
    helpShown_ = true;
    ops_.SetVisible(Component::Panel_Help, true);
}

void TForm1::BitBtn1Click() {
    helpShown_ = false;
    ops_.SetVisible(Component::Panel_Help, false);
}

void TForm1::ListBox1Click() {
    LeaveListToButton();
}

void TForm1::ListBox1DblClick() {
    LeaveListToButton();
}

void TForm1::ListBox1MouseDown() {
    LeaveListToButton();
}

void TForm1::Button1Click() {
    if (busy_)
        return;
    if (state_.AddonList.empty()) {
        // Nothing to switch below the folder: no question, no new start, no run.
        SetBusy(true);
        ops_.ShowInformation(NothingFoundMessage(state_.Language, state_.BaseFolder));
        SetBusy(false);
        return;
    }
    // Busy from the click on: the questions before the run belong to it.
    closeRequested_ = false;
    SetBusy(true);
    if (!SimulatorClosed()) {
        SetBusy(false);
        return;
    }
    if (!FolderWritable()) {
        OfferElevation();
        return;
    }
    ApplyRequest request;
    AskBeforeApply(request);

    // The engine runs away from the window's thread; the window shows its
    // progress and may ask it to stop between two files.
    stop_.store(false);
    ops_.ShowProgress(0);
    request.stop = &stop_;
    request.progress = [this](std::size_t done, std::size_t total) {
        ops_.ShowProgress(ProgressPercent(done, total));
    };
    auto result = std::make_shared<ApplyResult>();
    ops_.RunInBackground([this, request, result] { *result = ApplySeason(state_, request, fs_); },
                         [this, result] {
                             ops_.ShowProgress(-1);
                             ops_.SetText(Component::Button1,
                                          std::string(TextsFor(state_.Language).applyButton));
                             ShowApplyResult(*result);
                             SetBusy(false);
                             if (closeRequested_) {
                                 ops_.CloseWindow();
                                 return;
                             }
                             CheckActiveSeason();
                         });
}

void TForm1::SetBusy(bool busy) {
    busy_ = busy;
    ops_.SetBusy(busy);
}

bool TForm1::FormCloseQuery() {
    if (!busy_)
        return true;
    // The file in hand is finished first; the window closes once the run has
    // reported what it did.
    closeRequested_ = true;
    stop_.store(true);
    return false;
}

void TForm1::AskBeforeApply(ApplyRequest& request) {
    // The question comes before anything on disk changes; a box closed without
    // an answer counts as No.
    if (NeedsMipMapAnswer(state_)) {
        state_.UseMipMaps = false;
        const ApplyTexts& texts = ApplyTextsFor(state_.Language);
        state_.UseMipMaps = ops_.AskYesNo(std::string(texts.mipMapQuestion),
                                          std::string(texts.mipMapCaption)) == kAnswerYes;
    }
    request.useMipMaps = state_.UseMipMaps;
}

void TForm1::ShowApplyResult(const ApplyResult& result) {
    // A run ended by a raised failure says nothing.
    if (result.raised)
        return;
    if (result.nothingFound) {
        ops_.ShowInformation(NothingFoundMessage(state_.Language, state_.BaseFolder));
        return;
    }
    if (result.stopped) {
        ops_.ShowInformation(StoppedMessage(state_.Language, result.done, result.total,
                                            FailedTargetsNamed(state_.Language, result)));
        return;
    }
    ops_.ShowInformation(
        ResultMessage(state_.Language, FailedTargetsNamed(state_.Language, result)));
}

bool TForm1::SimulatorClosed() {
    for (;;) {
        const std::vector<std::string> programs =
            system_.runningPrograms ? system_.runningPrograms() : std::vector<std::string>();
        if (RunningSimulator(programs).empty())
            return true;
        const GuardTexts& t = GuardTextsFor(state_.Language);
        if (ops_.AskRetryCancel(std::string(t.simulatorRunning), std::string(t.simulatorCaption)) !=
            kAnswerRetry)
            return false;
    }
}

bool TForm1::FolderWritable() {
    return !system_.folderWritable || system_.folderWritable(state_.BaseFolder);
}

void TForm1::OfferElevation() {
    ops_.ShowShield(true);
    const GuardTexts& t = GuardTextsFor(state_.Language);
    const std::string question = std::string(t.elevationBefore) + "\r\n" + state_.BaseFolder +
                                 "\r\n" + std::string(t.elevationAfter);
    ApplyRequest request;
    if (ops_.AskYesNo(question, std::string(t.elevationCaption)) != kAnswerYes ||
        !system_.runElevated) {
        SetBusy(false);
        return;
    }
    AskBeforeApply(request);
    // The new instance asks nothing: the MipMap answer travels on its command line.
    std::optional<bool> mipMaps;
    if (NeedsMipMapAnswer(state_))
        mipMaps = request.useMipMaps;
    const std::string parameters =
        SwitchParameters(state_.seasons.SeasonIndex, state_.Language, mipMaps);
    auto run = std::make_shared<SystemOperations::Elevated>();
    ops_.RunInBackground([this, run, parameters] { *run = system_.runElevated(parameters); },
                         [this, run] {
                             if (!run->started && !run->cancelled)
                                 ops_.ShowInformation(
                                     std::string(GuardTextsFor(state_.Language).elevationFailed));
                             ops_.ShowShield(!FolderWritable());
                             SetBusy(false);
                             if (closeRequested_) {
                                 ops_.CloseWindow();
                                 return;
                             }
                             if (run->started)
                                 CheckActiveSeason();
                         });
}

void TForm1::ApplyWarningRule() {
    warningShown_ = false;
    ops_.SetVisible(Component::Label_Quorrin_warning, false);
    if (QuorrinWarningApplies(state_)) {
        warningShown_ = true;
        ops_.SetVisible(Component::Label_Quorrin_warning, true);
    }
}

void TForm1::LeaveListToButton() {
    ops_.ClearListSelection();
    ops_.Focus(Component::Button1);
}

std::string FormatFileVersion(std::uint32_t versionMS, std::uint32_t versionLS) {
    return std::to_string(versionMS >> 16) + "." + std::to_string(versionMS & 0xFFFFu) + "." +
           std::to_string(versionLS >> 16) + "." + std::to_string(versionLS & 0xFFFFu);
}

std::string GetFileVersionText() {
    platform::FileVersionNumbers numbers;
    if (!platform::ReadFileVersion(platform::ProgramPath(), numbers))
        return {};
    return FormatFileVersion(numbers.versionMS, numbers.versionLS);
}

int ProgressPercent(std::size_t done, std::size_t total) {
    if (total == 0)
        return 0;
    if (done >= total)
        return 100;
    return static_cast<int>(done * 100 / total);
}

std::string SwitchParameters(int season, int language, std::optional<bool> mipMaps) {
    static constexpr const char* kNames[] = {"summer", "autumn", "winter", "spring"};
    std::string out = "/season=";
    out += (season >= 0 && season < 4) ? kNames[season] : "summer";
    out += language == kGerman ? " /lang=de" : " /lang=en";
    if (mipMaps)
        out += *mipMaps ? " /mipmaps=yes" : " /mipmaps=no";
    return out;
}

bool QuorrinWarningApplies(const SwitcherState& state) {
    return state.Detected[kQuorrinRow] && UnsupportedByQuorrin(state.seasons.SeasonIndex);
}

} // namespace season
