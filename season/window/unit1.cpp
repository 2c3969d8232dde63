#include "unit1.h"

#include "apply.h"
#include "detection.h"
#include "texts.h"

#include "platform/files.h"
#include "platform/version.h"

namespace season {

TForm1::TForm1(SwitcherState& state, FormOperations& ops, ProgramInfo program, FileSystem& fs)
    : state_(state), ops_(ops), program_(std::move(program)), fs_(fs) {}

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
}

void TForm1::ApplyLanguage() {
    const auto write = [this](const LanguageTexts& t) {
        ops_.SetText(Component::Label_Quorrin_warning, std::string(t.quorrinWarning));
        ops_.SetText(Component::Label2, std::string(t.supportFor));
        ops_.SetText(Component::BitBtn2, std::string(t.closeButton));
        ops_.SetText(Component::Button1, std::string(t.applyButton));
        ops_.SetText(Component::Label_Help, std::string(t.help));
    };
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
    ops_.CloseWindow();
}

void TForm1::BitBtn2Click() {
    ops_.CloseWindow();
}

void TForm1::Image4Click() {
    StepForward(state_.seasons);
    ops_.DrawSeasonPicture(Component::Image3, state_.seasons.SeasonIndex);
    ops_.DrawSeasonPicture(Component::Image6, state_.seasons.NextSeasonIndex);
    ops_.DrawSeasonPicture(Component::Image7, state_.seasons.PrevSeasonIndex);
    ApplyWarningRule();
}

void TForm1::Image5Click() {
    StepBack(state_.seasons);
    ops_.DrawSeasonPicture(Component::Image3, state_.seasons.SeasonIndex);
    ops_.DrawSeasonPicture(Component::Image7, state_.seasons.PrevSeasonIndex);
    ops_.DrawSeasonPicture(Component::Image6, state_.seasons.NextSeasonIndex);
    ApplyWarningRule();
}

void TForm1::Image8Click() {
    state_.Language = kGerman;
    ApplyLanguage();
}

void TForm1::Image9Click() {
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
    // Cleared again however the run ends.
    struct BusyScope {
        TForm1& form;
        explicit BusyScope(TForm1& f) : form(f) {
            form.busy_ = true;
            form.ops_.SetBusy(true);
        }
        ~BusyScope() {
            form.ops_.SetBusy(false);
            form.busy_ = false;
        }
    } scope(*this);

    ApplyRequest request;
    if (!AskBeforeApply(request))
        return;
    const ApplyResult result = ApplySeason(state_, request, fs_);
    ShowApplyResult(result);
}

bool TForm1::AskBeforeApply(ApplyRequest& request) {
    // The question comes before anything on disk changes; a box closed without
    // an answer counts as No.
    if (NeedsMipMapAnswer(state_)) {
        state_.UseMipMaps = false;
        const ApplyTexts& texts = ApplyTextsFor(state_.Language);
        state_.UseMipMaps = ops_.AskYesNo(std::string(texts.mipMapQuestion),
                                          std::string(texts.mipMapCaption)) == kAnswerYes;
    }
    request.useMipMaps = state_.UseMipMaps;
    return true;
}

void TForm1::ShowApplyResult(const ApplyResult& result) {
    // A run ended by a raised failure says nothing.
    if (result.raised)
        return;
    if (result.nothingFound) {
        ops_.ShowInformation(NothingFoundMessage(state_.Language, state_.BaseFolder));
        return;
    }
    ops_.ShowInformation(ResultMessage(state_.Language, result.failedTargets));
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

// "/" counts as a separator like "\\", as everywhere in the platform's path rules;
// Windows itself never hands out a program path with it.
std::string BaseFolderOf(const std::string& programPath) {
    const auto separator = [](char c) {
        return c == '\\' || c == '/';
    };
    const size_t cut = programPath.find_last_of("\\/:");
    std::string folder = cut == std::string::npos ? std::string() : programPath.substr(0, cut + 1);
    const size_t n = folder.size();
    if (n >= 2 && separator(folder[n - 1]) && !separator(folder[n - 2]) && folder[n - 2] != ':')
        folder.pop_back();
    if (folder.empty() || !separator(folder.back()))
        folder += '\\';
    return folder;
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

bool QuorrinWarningApplies(const SwitcherState& state) {
    return state.Detected[kQuorrinRow] && UnsupportedByQuorrin(state.seasons.SeasonIndex);
}

} // namespace season
