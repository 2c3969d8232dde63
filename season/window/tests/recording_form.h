// A fake of the window operations that records every call as one line of text,
// so that tests can compare what the window logic asked for, and in which order.
#pragma once

#include "apply.h"
#include "unit1.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

std::string NameOf(season::Component c);

class RecordingForm : public season::FormOperations {
public:
    std::vector<std::string> calls;
    // Answer of AskYesNo; a hook runs inside the question, while it is "open".
    int answer = season::kAnswerNo;
    std::function<void()> whileAsking;
    std::function<void()> whileInforming;
    // Runs inside RunInBackground before the work, as if during it.
    std::function<void()> whileWorking;
    // Answers of AskRetryCancel in turn; Cancel once they run out.
    std::vector<int> retryAnswers;
    // Answers of AskYesNo in turn before `answer` applies.
    std::vector<int> answers;

    void SetText(season::Component c, const std::string& text) override;
    void SetVisible(season::Component c, bool visible) override;
    void DrawSeasonPicture(season::Component picture, int entry) override;
    void AppendListEntry(const std::string& entry) override;
    void ClearListSelection() override;
    void Focus(season::Component c) override;
    void BeginWindowMove() override;
    void CloseWindow() override;
    void SetBusy(bool busy) override;
    int AskYesNo(const std::string& text, const std::string& caption) override;
    void ShowInformation(const std::string& text) override;
    int AskRetryCancel(const std::string& text, const std::string& caption) override;
    void ShowShield(bool shown) override;
    void ShowProgress(int percent) override;
    // Runs the work at once, recorded between "background" and "foreground".
    void RunInBackground(std::function<void()> work, std::function<void()> then) override;

    // Keeps the work of RunAside until FinishAside runs it: the start-up goes on
    // without waiting, as the window's does.
    void RunAside(std::function<void()> work, std::function<void()> then) override;
    void SetHint(season::Component c, const std::string& text) override;
    // Runs the kept work in turn (and what it starts meanwhile), each recorded
    // after an "aside"; returns how many ran.
    int FinishAside();

    // The recorded calls that start with `prefix`, in order.
    std::vector<std::string> Matching(const std::string& prefix) const;

private:
    std::vector<std::pair<std::function<void()>, std::function<void()>>> aside_;
};

} // namespace testing_support
