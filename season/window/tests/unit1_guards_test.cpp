// The apply button's checks before a switch: a running simulator, a folder the
// program may not write, and the new start with administrator rights.
#include "recording_form.h"
#include "sample_tree.h"
#include "test_folder.h"
#include "texts.h"
#include "unit1.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

using season::SwitcherState;
using season::SystemOperations;
using season::TForm1;
using testing_support::RecordingForm;
using testing_support::TestFolder;

namespace {

// A window over a real folder tree whose system around it the test decides.
struct Window {
    explicit Window(const TestFolder& t)
        : form(state, ops,
               season::ProgramInfo{[&t] { return t.Base() + "season.exe"; },
                                   [] {
                                       return std::string("1.30.0.0");
                                   }},
               season::RealFileSystem(), System()) {}

    SystemOperations System() {
        SystemOperations s;
        s.runningPrograms = [this] {
            ++processLookups;
            return processes.empty() ? std::vector<std::string>{}
                                     : processes[std::min(processLookups, processes.size()) - 1];
        };
        s.folderWritable = [this](const std::string& folder) {
            checkedFolders.push_back(folder);
            return writable;
        };
        s.runElevated = [this](const std::string& parameters) {
            elevatedWith.push_back(parameters);
            EXPECT_TRUE(form.Busy()) << "the window waits busy for the new instance";
            if (onElevated)
                onElevated();
            return elevatedResult;
        };
        return s;
    }

    // The process list of each look-up in turn; the last one repeats.
    std::vector<std::vector<std::string>> processes;
    size_t processLookups = 0;
    bool writable = true;
    std::vector<std::string> checkedFolders;
    std::vector<std::string> elevatedWith;
    SystemOperations::Elevated elevatedResult{true, false};
    std::function<void()> onElevated;

    SwitcherState state;
    RecordingForm ops;
    TForm1 form;
};

const std::vector<std::string> kSimulator = {"explorer.exe", "fsx.exe"};
const std::vector<std::string> kNoSimulator = {"explorer.exe"};

bool Switched(const TestFolder& t) {
    return t.Read("Alpha\\Texture\\treesSU.bmp") == t.Read("Alpha\\Texture\\Default\\treeshw.bmp");
}

void LayOut(const TestFolder& t) {
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
}

} // namespace

TEST(SimulatorCheck, RetryAsksAgainUntilTheSimulatorIsClosedThenSwitches) {
    TestFolder t;
    LayOut(t);
    Window w(t);
    w.form.FormShow();
    w.form.Image4Click();
    w.form.Image4Click(); // winter
    w.processes = {kSimulator, kSimulator, kNoSimulator};
    w.ops.retryAnswers = {4, 4};
    w.ops.calls.clear();
    w.form.Button1Click();

    const auto& en = season::GuardTextsFor(season::kEnglish);
    const std::string question =
        "retry? [" + std::string(en.simulatorCaption) + "] " + std::string(en.simulatorRunning);
    EXPECT_EQ(w.ops.Matching("retry?"), (std::vector<std::string>{question, question}));
    EXPECT_EQ(w.processLookups, 3u);
    EXPECT_TRUE(Switched(t));
    EXPECT_EQ(w.ops.Matching("inform").size(), 1u);
}

TEST(SimulatorCheck, CancelOrAClosedBoxChangesNothingAndAsksInGerman) {
    for (int answer : {2, 0}) {
        TestFolder t;
        LayOut(t);
        Window w(t);
        w.form.FormShow();
        w.form.Image4Click();
        w.form.Image4Click();
        w.form.Image8Click(); // German
        w.processes = {kSimulator};
        w.ops.retryAnswers = {answer};
        w.ops.calls.clear();
        w.form.Button1Click();

        const auto& de = season::GuardTextsFor(season::kGerman);
        EXPECT_EQ(w.ops.calls,
                  (std::vector<std::string>{"busy",
                                            "retry? [" + std::string(de.simulatorCaption) + "] " +
                                                std::string(de.simulatorRunning),
                                            "idle"}));
        EXPECT_FALSE(Switched(t));
        EXPECT_TRUE(w.checkedFolders.size() <= 1u) << "no write check after Cancel";
        EXPECT_FALSE(w.form.Busy());
    }
}

TEST(WriteCheck, AWritableFolderSwitchesWithoutShieldOrQuestion) {
    TestFolder t;
    LayOut(t);
    Window w(t);
    w.form.FormShow();
    EXPECT_TRUE(w.ops.Matching("shield").empty());
    w.form.Image4Click();
    w.form.Image4Click();
    w.ops.calls.clear();
    w.form.Button1Click();
    EXPECT_TRUE(Switched(t));
    EXPECT_TRUE(w.ops.Matching("ask").empty());
    EXPECT_TRUE(w.elevatedWith.empty());
    ASSERT_FALSE(w.checkedFolders.empty());
    EXPECT_EQ(w.checkedFolders.back(), w.state.BaseFolder) << "the program's own folder";
}

TEST(WriteCheck, AProtectedFolderShowsTheShieldAndNoChangesNothing) {
    TestFolder t;
    LayOut(t);
    Window w(t);
    w.writable = false;
    w.form.FormShow();
    EXPECT_EQ(w.ops.Matching("shield"), (std::vector<std::string>{"shield"}));
    w.ops.answer = season::kAnswerNo;
    w.ops.calls.clear();
    w.form.Button1Click();

    const auto& en = season::GuardTextsFor(season::kEnglish);
    ASSERT_EQ(w.ops.Matching("ask").size(), 1u);
    EXPECT_EQ(w.ops.Matching("ask")[0],
              "ask [" + std::string(en.elevationCaption) + "] " + std::string(en.elevationBefore) +
                  "\r\n" + w.state.BaseFolder + "\r\n" + std::string(en.elevationAfter));
    EXPECT_TRUE(w.elevatedWith.empty());
    EXPECT_FALSE(Switched(t));
    EXPECT_TRUE(w.ops.Matching("background").empty());
    EXPECT_EQ(w.ops.calls.back(), "idle");
    EXPECT_FALSE(w.form.Busy());
}

TEST(WriteCheck, YesStartsTheProgramElevatedWithTheChosenSwitchAndWaitsBusy) {
    struct Case {
        bool german;
        bool norvasse;
        int mipMapAnswer;
        std::string parameters;
    };
    const Case cases[] = {
        {false, false, 0, "/season=winter /lang=en"},
        {true, true, season::kAnswerYes, "/season=winter /lang=de /mipmaps=yes"},
        {false, true, season::kAnswerNo, "/season=winter /lang=en /mipmaps=no"},
    };
    for (const Case& c : cases) {
        TestFolder t;
        LayOut(t);
        if (c.norvasse)
            testing_support::LayOutCatalogue(t.Base());
        Window w(t);
        w.writable = false;
        w.form.FormShow();
        w.form.Image4Click();
        w.form.Image4Click();
        if (c.german)
            w.form.Image8Click();
        w.ops.answers = {season::kAnswerYes, c.mipMapAnswer};
        // The new instance makes the folder usable, as an administrator may.
        w.onElevated = [&w] {
            w.writable = true;
        };
        w.ops.calls.clear();
        w.form.Button1Click();

        EXPECT_EQ(w.elevatedWith, (std::vector<std::string>{c.parameters}));
        EXPECT_EQ(w.ops.Matching("ask").size(), c.norvasse ? 2u : 1u);
        EXPECT_EQ(w.ops.Matching("busy").size(), 1u);
        EXPECT_EQ(w.ops.Matching("no shield").size(), 1u) << "rights are checked again afterwards";
        EXPECT_EQ(w.ops.calls.back(), "idle");
        EXPECT_TRUE(w.ops.Matching("inform").empty()) << "the new instance reports";
        EXPECT_FALSE(Switched(t)) << "this instance changes nothing itself";
        EXPECT_FALSE(w.form.Busy());
    }
}

TEST(WriteCheck, AFailedNewStartIsReportedARefusedPromptIsNot) {
    for (bool cancelled : {false, true}) {
        TestFolder t;
        LayOut(t);
        Window w(t);
        w.writable = false;
        w.elevatedResult = {false, cancelled};
        w.form.FormShow();
        w.ops.answer = season::kAnswerYes;
        w.ops.calls.clear();
        w.form.Button1Click();
        const auto& en = season::GuardTextsFor(season::kEnglish);
        EXPECT_EQ(w.ops.Matching("inform"),
                  cancelled
                      ? std::vector<std::string>{}
                      : std::vector<std::string>{"inform " + std::string(en.elevationFailed)});
        const auto shields = w.ops.Matching("shield");
        EXPECT_EQ(shields.back(), "shield") << "still protected";
    }
}

TEST(SwitchParameters, NameSeasonLanguageAndTheMipMapAnswerWhenGiven) {
    EXPECT_EQ(season::SwitchParameters(0, season::kEnglish, std::nullopt),
              "/season=summer /lang=en");
    EXPECT_EQ(season::SwitchParameters(1, season::kGerman, false),
              "/season=autumn /lang=de /mipmaps=no");
    EXPECT_EQ(season::SwitchParameters(3, season::kEnglish, true),
              "/season=spring /lang=en /mipmaps=yes");
}

// --- The switch away from the window's thread ------------------------------------

namespace {

// Lays out `n` generic add-ons; each switch of them is one operation.
void LayOutMany(const TestFolder& t, int n) {
    for (int i = 0; i < n; ++i)
        testing_support::LayOutGenericAddon(t.Base(), "Addon " + std::to_string(100 + i), {0, 2});
}

int SwitchedOf(const TestFolder& t, int n) {
    int switched = 0;
    for (int i = 0; i < n; ++i) {
        const std::string name = "Addon " + std::to_string(100 + i);
        switched += t.Read(name + "\\Texture\\treesSU.bmp") ==
                    t.Read(name + "\\Texture\\Default\\treeshw.bmp");
    }
    return switched;
}

} // namespace

TEST(BackgroundSwitch, ShowsRisingProgressThenRestoresTheCaptionInTheLanguageNowShown) {
    TestFolder t;
    LayOutMany(t, 7);
    Window w(t);
    w.form.FormShow();
    w.form.Image4Click();
    w.form.Image4Click();
    w.form.Image8Click(); // German
    w.ops.calls.clear();
    w.form.Button1Click();

    std::vector<int> shown;
    for (const std::string& p : w.ops.Matching("progress "))
        shown.push_back(std::stoi(p.substr(9)));
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.front(), 0);
    EXPECT_EQ(shown[shown.size() - 2], 100);
    EXPECT_EQ(shown.back(), -1) << "the display ends";
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end() - 1));
    EXPECT_EQ(w.ops.Matching("text Button1"),
              (std::vector<std::string>{"text Button1 Einstellung \xFC"
                                        "bernehmen"}));
    EXPECT_EQ(SwitchedOf(t, 7), 7);
    EXPECT_FALSE(w.form.Busy());
}

TEST(BackgroundSwitch, ArrowsFlagsAndApplyAreRefusedWhileItRuns) {
    TestFolder t;
    LayOutMany(t, 3);
    Window w(t);
    w.form.FormShow();
    w.form.Image4Click();
    w.form.Image4Click(); // winter
    w.ops.whileWorking = [&w] {
        EXPECT_TRUE(w.form.Busy());
        w.form.Image4Click();
        w.form.Image5Click();
        w.form.Image8Click();
        w.form.Button1Click();
    };
    w.ops.calls.clear();
    w.form.Button1Click();
    EXPECT_EQ(w.state.seasons.SeasonIndex, season::kWinter);
    EXPECT_EQ(w.state.Language, season::kEnglish);
    EXPECT_EQ(w.ops.Matching("background").size(), 1u);
    EXPECT_TRUE(w.ops.Matching("draw").empty());
    EXPECT_EQ(SwitchedOf(t, 3), 3);
    // Free again afterwards.
    w.ops.whileWorking = nullptr;
    w.form.Image8Click();
    EXPECT_EQ(w.state.Language, season::kGerman);
}

TEST(BackgroundSwitch, ClosingStopsTheRunReportsWhatWasDoneThenCloses) {
    TestFolder t;
    LayOutMany(t, 5);
    Window w(t);
    w.form.FormShow();
    EXPECT_TRUE(w.form.FormCloseQuery()) << "nothing runs: the window may close";
    w.form.Image4Click();
    w.form.Image4Click();
    // The close comes as the run starts: the engine stops before its first file.
    int closes = 0;
    w.ops.whileWorking = [&] {
        EXPECT_FALSE(w.form.FormCloseQuery());
        ++closes;
    };
    w.ops.calls.clear();
    w.form.Button1Click();

    EXPECT_EQ(closes, 1);
    EXPECT_EQ(SwitchedOf(t, 5), 0) << "stopped before its first file";
    const auto informs = w.ops.Matching("inform");
    ASSERT_EQ(informs.size(), 1u);
    EXPECT_EQ(
        informs[0].rfind("inform The switch was stopped when the window was closed: 0 of ", 0), 0u)
        << informs[0];
    EXPECT_EQ(w.ops.calls.back(), "close");
    EXPECT_FALSE(w.form.Busy());
}

TEST(BackgroundSwitch, TheCloseIconAndButtonDuringARunStopItInsteadOfClosingAtOnce) {
    for (bool icon : {true, false}) {
        TestFolder t;
        LayOutMany(t, 2);
        Window w(t);
        w.form.FormShow();
        w.ops.whileWorking = [&] {
            if (icon)
                w.form.Image2Click();
            else
                w.form.BitBtn2Click();
            EXPECT_TRUE(w.ops.Matching("close").empty()) << "not while it runs";
        };
        w.form.Button1Click();
        EXPECT_EQ(w.ops.Matching("close").size(), 1u);
        EXPECT_EQ(w.ops.calls.back(), "close");
    }
}

TEST(BackgroundSwitch, ProgressPercentRoundsDownAndReaches100OnlyAtTheEnd) {
    const struct {
        std::size_t done, total;
        int percent;
    } cases[] = {{0, 0, 0},      {0, 5, 0},       {1, 3, 33}, {2, 3, 66},
                 {199, 200, 99}, {200, 200, 100}, {5, 4, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(season::ProgressPercent(c.done, c.total), c.percent) << c.done << "/" << c.total;
}

TEST(BackgroundSwitch, TheStoppedMessageCountsInBothLanguagesAndListsFailures) {
    EXPECT_EQ(season::StoppedMessage(season::kEnglish, 3, 40, {}),
              "The switch was stopped when the window was closed: 3 of 40 changes were made. "
              "Apply again to complete the season.");
    const std::string german = season::StoppedMessage(season::kGerman, 12, 40, {"C:\\a.bmp"});
    EXPECT_NE(german.find(": 12 von 40 \xC4nderungen"), std::string::npos) << german;
    EXPECT_NE(german.find("\r\n\r\nEinige Texturdateien konnten nicht ge\xE4ndert werden (1):\r\n"
                          "C:\\a.bmp"),
              std::string::npos)
        << german;
}
