#include "recording_form.h"

#include "apply.h"

namespace testing_support {

std::string NameOf(season::Component c) {
    using season::Component;
    switch (c) {
    case Component::Image1:
        return "Image1";
    case Component::Image2:
        return "Image2";
    case Component::Image3:
        return "Image3";
    case Component::Image4:
        return "Image4";
    case Component::Image5:
        return "Image5";
    case Component::BitBtn2:
        return "BitBtn2";
    case Component::Image6:
        return "Image6";
    case Component::Image7:
        return "Image7";
    case Component::Label1:
        return "Label1";
    case Component::Button1:
        return "Button1";
    case Component::ListBox1:
        return "ListBox1";
    case Component::DirectoryListBox1:
        return "DirectoryListBox1";
    case Component::Label2:
        return "Label2";
    case Component::Label3:
        return "Label3";
    case Component::Image8:
        return "Image8";
    case Component::Image9:
        return "Image9";
    case Component::Panel_Help:
        return "Panel_Help";
    case Component::Label_Help:
        return "Label_Help";
    case Component::Image10:
        return "Image10";
    case Component::BitBtn1:
        return "BitBtn1";
    case Component::Label_Version:
        return "Label_Version";
    case Component::Label_Quorrin_warning:
        return "Label_Quorrin_warning";
    case Component::Label_Active:
        return "Label_Active";
    }
    return "?";
}

void RecordingForm::SetText(season::Component c, const std::string& text) {
    calls.push_back("text " + NameOf(c) + " " + text);
}
void RecordingForm::SetVisible(season::Component c, bool visible) {
    calls.push_back((visible ? "show " : "hide ") + NameOf(c));
}
void RecordingForm::DrawSeasonPicture(season::Component picture, int entry) {
    calls.push_back("draw " + NameOf(picture) + " " + std::to_string(entry));
}
void RecordingForm::AppendListEntry(const std::string& entry) {
    calls.push_back("list " + entry);
}
void RecordingForm::ClearListSelection() {
    calls.push_back("unselect");
}
void RecordingForm::Focus(season::Component c) {
    calls.push_back("focus " + NameOf(c));
}
void RecordingForm::BeginWindowMove() {
    calls.push_back("move");
}
void RecordingForm::CloseWindow() {
    calls.push_back("close");
}
void RecordingForm::SetBusy(bool busy) {
    calls.push_back(busy ? "busy" : "idle");
}
int RecordingForm::AskYesNo(const std::string& text, const std::string& caption) {
    calls.push_back("ask [" + caption + "] " + text);
    if (whileAsking)
        whileAsking();
    if (!answers.empty()) {
        const int next = answers.front();
        answers.erase(answers.begin());
        return next;
    }
    return answer;
}
int RecordingForm::AskRetryCancel(const std::string& text, const std::string& caption) {
    calls.push_back("retry? [" + caption + "] " + text);
    if (retryAnswers.empty())
        return 2;
    const int next = retryAnswers.front();
    retryAnswers.erase(retryAnswers.begin());
    return next;
}
void RecordingForm::ShowShield(bool shown) {
    calls.push_back(shown ? "shield" : "no shield");
}
void RecordingForm::ShowProgress(int percent) {
    calls.push_back("progress " + std::to_string(percent));
}
void RecordingForm::RunInBackground(std::function<void()> work, std::function<void()> then) {
    calls.push_back("background");
    if (whileWorking)
        whileWorking();
    work();
    calls.push_back("foreground");
    then();
}
void RecordingForm::RunAside(std::function<void()> work, std::function<void()> then) {
    aside_.emplace_back(std::move(work), std::move(then));
}
void RecordingForm::SetHint(season::Component c, const std::string& text) {
    calls.push_back("hint " + NameOf(c) + " " + text);
}
int RecordingForm::FinishAside() {
    int ran = 0;
    while (!aside_.empty()) {
        auto [work, then] = std::move(aside_.front());
        aside_.erase(aside_.begin());
        calls.push_back("aside");
        work();
        then();
        ++ran;
    }
    return ran;
}
void RecordingForm::ShowInformation(const std::string& text) {
    calls.push_back("inform " + text);
    if (whileInforming)
        whileInforming();
}

std::vector<std::string> RecordingForm::Matching(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
        if (c.rfind(prefix, 0) == 0)
            out.push_back(c);
    }
    return out;
}

} // namespace testing_support
