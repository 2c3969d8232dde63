// The apply button's checks before a switch: a running simulator, a folder the
// program may not write, and the new start with administrator rights.
#include "recording_form.h"
#include "sample_tree.h"
#include "test_folder.h"
#include "texts.h"
#include "unit1.h"

#include <gtest/gtest.h>

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
        ASSERT_EQ(w.ops.calls.size(), 1u);
        EXPECT_EQ(w.ops.calls[0], "retry? [" + std::string(de.simulatorCaption) + "] " +
                                      std::string(de.simulatorRunning));
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
    EXPECT_TRUE(w.ops.Matching("busy").empty());
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
        EXPECT_EQ(w.ops.calls.back(), "no shield") << "rights are checked again afterwards";
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
        EXPECT_EQ(w.ops.calls.back(), "shield");
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
