#include "recording_form.h"
#include "sample_tree.h"
#include "test_folder.h"
#include "texts.h"
#include "unit1.h"

#include "apply.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <ostream>
#include <string>
#include <vector>

using season::Component;
using season::SwitcherState;
using season::TForm1;
using testing_support::RecordingForm;
using testing_support::TestFolder;
using Calls = std::vector<std::string>;

namespace {

// A window over a real folder tree, with the program lying in it.
struct Window {
    explicit Window(const TestFolder& t, std::string version = "1.30.0.0")
        : form(state, ops,
               season::ProgramInfo{[&t] { return t.Base() + "season.exe"; },
                                   [version] {
                                       return version;
                                   }}) {}
    SwitcherState state;
    RecordingForm ops;
    TForm1 form;

    void Start() {
        form.FormShow();
        ops.calls.clear();
    }
    std::vector<int> Indices() const {
        return {state.seasons.SeasonIndex, state.seasons.NextSeasonIndex,
                state.seasons.PrevSeasonIndex};
    }
};

// The base folder start-up derives for a program lying in the test folder.
std::string BaseOf(const TestFolder& t) {
    return t.Base();
}

void LayOutQuorrin(const TestFolder& t) {
    t.Write("Quorrin\\Scenery\\TUBR_Library_Cars1.BGL", "probe");
}

} // namespace

// --- Start-up --------------------------------------------------------------

TEST(FormShow, RunsTheStartUpStepsInTheirFixedOrder) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base(), "beta", {0});
    testing_support::LayOutGenericAddon(t.Base(), "Alpha", {0});
    LayOutQuorrin(t);
    Window w(t);
    w.form.FormShow();

    const auto& en = season::TextsFor(season::kEnglish);
    const Calls expected = {
        "text Label_Quorrin_warning " + std::string(en.quorrinWarning),
        "text Label2 Support for ...",
        "text BitBtn2 Close",
        "text Button1 Apply new textures for all products",
        "text Label_Help " + std::string(en.help),
        "text Label_Version V1.30.0.0",
        "text Label1 " + BaseOf(t),
        "list Alpha",
        "list beta",
        "list Quorrin X",
        "draw Image3 0",
        "draw Image6 1",
        "draw Image7 3",
    };
    EXPECT_EQ(w.ops.calls, expected);
    EXPECT_EQ(w.form.VersionText(), "1.30.0.0");
    EXPECT_EQ(w.state.BaseFolder, BaseOf(t));
    EXPECT_TRUE(w.state.Detected[season::kQuorrinRow]);
}

TEST(FormShow, BringsStateLeftFromBeforeBackToItsStartValues) {
    TestFolder t;
    Window w(t);
    w.state.Language = season::kGerman;
    w.state.seasons = {2, 3, 1};
    w.state.Detected.fill(true);
    w.state.UseMipMaps = true;
    w.form.FormShow();

    EXPECT_EQ(w.state.Language, season::kEnglish);
    EXPECT_EQ(w.Indices(), (std::vector<int>{0, 1, 3}));
    for (int row = 1; row <= season::kRowCount; ++row)
        EXPECT_FALSE(w.state.Detected[static_cast<size_t>(row)]) << "row " << row;
    EXPECT_TRUE(w.state.UseMipMaps) << "the MipMap choice is not start-up's to touch";
    EXPECT_TRUE(w.ops.Matching("show").empty()) << "warning and help stay hidden";
    EXPECT_FALSE(w.form.WarningShown());
}

TEST(FormShow, LeavesTheWarningHiddenEvenWithQuorrinDetected) {
    TestFolder t;
    LayOutQuorrin(t);
    Window w(t);
    w.form.FormShow();
    EXPECT_TRUE(w.ops.Matching("show").empty());
    EXPECT_TRUE(w.ops.Matching("hide").empty());
}

TEST(FormShow, ShowsAnEmptyVersionRecordAsALoneV) {
    TestFolder t;
    Window w(t, "");
    w.form.FormShow();
    EXPECT_EQ(w.ops.Matching("text Label_Version"), Calls{"text Label_Version V"});
}

// --- Carousel and warning rule ----------------------------------------------

struct ClickCase {
    const char* clicks; // R right arrow, L left arrow
    std::vector<int> indices;
};

void PrintTo(const ClickCase& c, std::ostream* os) {
    *os << "clicks \"" << c.clicks << "\"";
}

class Carousel : public ::testing::TestWithParam<ClickCase> {};

TEST_P(Carousel, StepsAllThreeIndicesTogether) {
    TestFolder t;
    Window w(t);
    w.Start();
    for (const char* c = GetParam().clicks; *c; ++c)
        *c == 'R' ? w.form.Image4Click() : w.form.Image5Click();
    EXPECT_EQ(w.Indices(), GetParam().indices);
    const std::string clicks = GetParam().clicks;
    if (clicks.empty())
        return;
    // The last click's drawing: big picture first, then in the arrow's direction.
    const auto& s = w.state.seasons;
    const std::string big = "draw Image3 " + std::to_string(s.SeasonIndex);
    const std::string next = "draw Image6 " + std::to_string(s.NextSeasonIndex);
    const std::string prev = "draw Image7 " + std::to_string(s.PrevSeasonIndex);
    const Calls draws = w.ops.Matching("draw");
    const Calls last(draws.end() - 3, draws.end());
    EXPECT_EQ(last, clicks.back() == 'R' ? (Calls{big, next, prev}) : (Calls{big, prev, next}));
}

INSTANTIATE_TEST_SUITE_P(Window, Carousel,
                         ::testing::Values(ClickCase{"", {0, 1, 3}}, ClickCase{"R", {1, 2, 0}},
                                           ClickCase{"RR", {2, 3, 1}}, ClickCase{"RRR", {3, 0, 2}},
                                           ClickCase{"RRRR", {0, 1, 3}}, ClickCase{"L", {3, 0, 2}},
                                           ClickCase{"LL", {2, 3, 1}}, ClickCase{"LLLL", {0, 1, 3}},
                                           ClickCase{"RL", {0, 1, 3}},
                                           ClickCase{"LRRR", {2, 3, 1}}),
                         [](const ::testing::TestParamInfo<ClickCase>& info) {
                             const std::string clicks = info.param.clicks;
                             return clicks.empty() ? std::string("Start") : clicks;
                         });

TEST(WarningRule, ShowsAtAutumnAndSpringOnlyWhileQuorrinIsDetected) {
    struct Case {
        bool quorrin;
        char arrow;
        std::vector<bool> shownAfterEachClick;
    };
    const Case cases[] = {
        {true, 'R', {true, false, true, false}}, // autumn, winter, spring, summer
        {true, 'L', {true, false, true, false}}, // spring, winter, autumn, summer
        {false, 'R', {false, false, false, false}},
        {false, 'L', {false, false, false, false}},
    };
    for (const auto& c : cases) {
        TestFolder t;
        if (c.quorrin)
            LayOutQuorrin(t);
        Window w(t);
        w.Start();
        for (bool expected : c.shownAfterEachClick) {
            w.ops.calls.clear();
            c.arrow == 'R' ? w.form.Image4Click() : w.form.Image5Click();
            EXPECT_EQ(w.form.WarningShown(), expected)
                << "quorrin " << c.quorrin << " arrow " << c.arrow << " season "
                << w.state.seasons.SeasonIndex;
            // Hidden first, then shown when the rule holds: the last word counts.
            const Calls visibility = w.ops.Matching(expected ? "show" : "hide");
            ASSERT_FALSE(visibility.empty());
            EXPECT_EQ(w.ops.calls.back(),
                      (expected ? "show " : "hide ") + std::string("Label_Quorrin_warning"));
        }
    }
}

// --- Language ---------------------------------------------------------------

TEST(Language, FlagsSwitchTheFiveTextsAndNothingElse) {
    TestFolder t;
    LayOutQuorrin(t);
    Window w(t);
    w.Start();
    w.form.Image4Click(); // autumn: warning shown
    w.form.Image10Click();
    w.ops.calls.clear();

    w.form.Image8Click();
    const auto& de = season::TextsFor(season::kGerman);
    const Calls german = {
        "text Label_Quorrin_warning " + std::string(de.quorrinWarning),
        "text Label2 Unterstützung für ..",
        "text BitBtn2 Beenden",
        "text Button1 Einstellung übernehmen",
        "text Label_Help " + std::string(de.help),
    };
    EXPECT_EQ(w.ops.calls, german);
    EXPECT_EQ(w.state.Language, season::kGerman);
    EXPECT_TRUE(w.form.WarningShown());
    EXPECT_TRUE(w.form.HelpShown());

    w.ops.calls.clear();
    w.form.Image8Click(); // again: the same texts once more
    EXPECT_EQ(w.ops.calls, german);

    w.ops.calls.clear();
    w.form.Image9Click();
    ASSERT_EQ(w.ops.calls.size(), 5u);
    EXPECT_EQ(w.ops.calls[1], "text Label2 Support for ...");
    EXPECT_EQ(w.state.Language, season::kEnglish);
}

TEST(Language, AValueOtherThanGermanOrEnglishWritesNoTexts) {
    TestFolder t;
    Window w(t);
    w.Start();
    w.state.Language = 2;
    w.form.ApplyLanguage();
    EXPECT_TRUE(w.ops.calls.empty());
}

// --- Help panel, list, close, drag -------------------------------------------

TEST(HelpPanel, OpensAndClosesAndRepeatsHarmlessly) {
    TestFolder t;
    Window w(t);
    w.Start();
    w.form.Image10Click();
    w.form.Image10Click();
    EXPECT_TRUE(w.form.HelpShown());
    w.form.BitBtn1Click();
    EXPECT_FALSE(w.form.HelpShown());
    w.form.BitBtn1Click();
    EXPECT_EQ(w.ops.calls,
              (Calls{"show Panel_Help", "show Panel_Help", "hide Panel_Help", "hide Panel_Help"}));
}

TEST(AddonListBox, EveryPointerEventClearsTheSelectionAndFocusesApply) {
    TestFolder t;
    Window w(t);
    w.Start();
    void (TForm1::*handlers[])() = {&TForm1::ListBox1Click, &TForm1::ListBox1DblClick,
                                    &TForm1::ListBox1MouseDown};
    for (auto handler : handlers) {
        w.ops.calls.clear();
        (w.form.*handler)();
        EXPECT_EQ(w.ops.calls, (Calls{"unselect", "focus Button1"}));
    }
}

TEST(CloseAndDrag, CloseIconAndButtonCloseAtOnceDragNeedsTheButtonHeld) {
    TestFolder t;
    Window w(t);
    w.Start();
    w.form.Image10Click();
    w.ops.calls.clear();
    w.form.Image2Click();
    w.form.BitBtn2Click();
    w.form.Image1MouseMove(false);
    w.form.Image1MouseMove(true);
    EXPECT_EQ(w.ops.calls, (Calls{"close", "close", "move"}));
}

// --- Apply button ---------------------------------------------------------------

TEST(ApplyButton, RunsTheEngineBusyAndAsksInTheChosenLanguage) {
    TestFolder t;
    testing_support::LayOutCatalogue(t.Base());
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    Window w(t);
    w.Start();
    w.form.Image4Click();
    w.form.Image4Click(); // winter
    w.form.Image8Click(); // German
    w.ops.calls.clear();
    w.ops.answer = season::kAnswerYes;
    w.form.Button1Click();

    ASSERT_GE(w.ops.calls.size(), 4u);
    EXPECT_EQ(w.ops.calls.front(), "busy");
    EXPECT_EQ(w.ops.calls[1], "ask [Bitte wählen Sie ...] Möchten Sie MipMap-Texturen bei dem "
                              "Addon Norvasse X verwenden?");
    EXPECT_EQ(w.ops.calls.back(), "idle");
    EXPECT_EQ(w.ops.Matching("inform").size(), 1u);
    EXPECT_TRUE(w.state.UseMipMaps);
    EXPECT_FALSE(w.form.Busy());
    EXPECT_EQ(t.Read("Alpha\\Texture\\treesSU.bmp"),
              t.Read("Alpha\\Texture\\Default\\treeshw.bmp"));
}

TEST(ApplyButton, APressDuringARunIsRefused) {
    TestFolder t;
    testing_support::LayOutCatalogue(t.Base());
    Window w(t);
    w.Start();
    int pressesInside = 0;
    w.ops.whileAsking = [&] {
        ++pressesInside;
        EXPECT_TRUE(w.form.Busy());
        w.form.Button1Click();
    };
    w.ops.whileInforming = [&] {
        w.form.Button1Click();
    };
    w.form.Button1Click();
    EXPECT_EQ(pressesInside, 1);
    EXPECT_EQ(w.ops.Matching("ask").size(), 1u);
    EXPECT_EQ(w.ops.Matching("inform").size(), 1u);
    EXPECT_EQ(w.ops.Matching("busy").size(), 1u);
    EXPECT_FALSE(w.form.Busy());

    w.ops.whileAsking = nullptr;
    w.ops.whileInforming = nullptr;
    w.form.Button1Click(); // free again once the run is over
    EXPECT_EQ(w.ops.Matching("ask").size(), 2u);
}

TEST(ApplyButton, AsksTheMipMapQuestionOnlyForNorvasseAndOnEveryRun) {
    struct Case {
        bool german;
        int answer;
        bool useMipMaps;
        const char* ask;
    } cases[] = {
        {false, season::kAnswerYes, true,
         "ask [Please select now...] Do you want to use MipMap-Textures with the addon "
         "Norvasse X?"},
        {false, season::kAnswerNo, false,
         "ask [Please select now...] Do you want to use MipMap-Textures with the addon "
         "Norvasse X?"},
        {true, 2 /* IDCANCEL */, false,
         "ask [Bitte wählen Sie ...] Möchten Sie MipMap-Texturen bei dem Addon Norvasse X "
         "verwenden?"},
    };
    for (const Case& c : cases) {
        TestFolder t;
        Window w(t);
        w.Start();
        if (c.german)
            w.form.Image8Click();
        w.state.Detected[season::kMipMapRow] = true;
        w.state.AddonList.push_back("Norvasse X");
        w.state.UseMipMaps = !c.useMipMaps;
        w.ops.answer = c.answer;
        w.ops.calls.clear();
        w.form.Button1Click();
        w.form.Button1Click();
        EXPECT_EQ(w.ops.Matching("ask"), (Calls{c.ask, c.ask}));
        EXPECT_EQ(w.state.UseMipMaps, c.useMipMaps);
    }
    TestFolder t;
    Window w(t);
    w.Start();
    w.state.AddonList.push_back("Alpha");
    w.state.UseMipMaps = true;
    w.form.Button1Click();
    EXPECT_TRUE(w.ops.Matching("ask").empty());
    EXPECT_TRUE(w.state.UseMipMaps); // untouched when nobody asked
}

TEST(ApplyButton, SaysNothingAfterARunEndedByARaisedFailure) {
    TestFolder t;
    Window w(t);
    w.Start();
    season::ApplyResult raised;
    raised.raised = true;
    w.form.ShowApplyResult(raised);
    EXPECT_TRUE(w.ops.calls.empty());
    season::ApplyResult failed;
    failed.failedTargets = {"C:\\x.bmp"};
    w.form.ShowApplyResult(failed);
    EXPECT_EQ(w.ops.calls,
              Calls{"inform Some texture files could not be changed (1):\r\nC:\\x.bmp"});
}

TEST(ApplyButton, WithNothingFoundSaysSoNamingTheFolderInTheChosenLanguage) {
    TestFolder t;
    t.Write("NotAnAddon\\Texture\\treesSU.bmp", "untouched");
    Window w(t);
    w.Start();
    w.form.Button1Click();
    EXPECT_EQ(w.ops.calls, (Calls{"busy",
                                  "inform No add-on was found below the folder\r\n" + BaseOf(t) +
                                      "\r\nNothing was changed.",
                                  "idle"}));
    w.form.Image8Click();
    w.ops.calls.clear();
    w.form.Button1Click();
    EXPECT_EQ(w.ops.Matching("inform"),
              Calls{"inform Unterhalb des Ordners\r\n" + BaseOf(t) +
                    "\r\nwurde kein Addon gefunden. Es wurde nichts geändert."});
    EXPECT_EQ(t.Read("NotAnAddon\\Texture\\treesSU.bmp"), "untouched");
}

// --- Base folder and version -----------------------------------------------------

TEST(BaseFolder, KeepsOneTrailingBackslash) {
    struct Case {
        const char* program;
        const char* base;
    };
    const Case cases[] = {
        {"C:\\Sim\\Addons\\season.exe", "C:\\Sim\\Addons\\"},
        {"D:\\season.exe", "D:\\"},
        {"C:season.exe", "C:\\"},
        {"\\\\server\\share\\season.exe", "\\\\server\\share\\"},
        {"C:\\Program Files (x86)\\FSX\\Addon Scenery\\season.exe",
         "C:\\Program Files (x86)\\FSX\\Addon Scenery\\"},
        {"season.exe", "\\"},
        {"/opt/sim/season.exe", "/opt/sim/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(season::BaseFolderOf(c.program), c.base) << c.program;
}

TEST(VersionText, JoinsTheFourNumbersWithoutLeadingZeros) {
    struct Case {
        std::uint32_t ms, ls;
        const char* text;
    };
    const Case cases[] = {
        {(1u << 16) | 30u, 0u, "1.30.0.0"},
        {(2u << 16) | 5u, 17u, "2.5.0.17"},
        {0xFFFFFFFFu, 0xFFFFFFFFu, "65535.65535.65535.65535"},
        {(7u << 16), (3u << 16) | 1u, "7.0.3.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(season::FormatFileVersion(c.ms, c.ls), c.text);
}

TEST(VersionText, TheProgramsOwnRecordReadsTheReleaseVersion) {
    EXPECT_EQ(season::GetFileVersionText(), "1.30.0.0");
}

TEST(FormShow, TheActiveSeasonLineComesAfterTheStartAndAfterEachSwitch) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    testing_support::LayOutGenericAddon(t.Base(), "Beta");
    testing_support::LayOutGenericAddon(t.Base(), "Gamma");
    Window w(t);
    w.form.FormShow();
    // The start-up did not wait for it.
    EXPECT_TRUE(w.ops.Matching("text Label_Active").empty());
    const auto finish = [&w] {
        w.ops.calls.clear();
        w.ops.FinishAside();
        return w.ops.calls;
    };
    EXPECT_EQ(finish(),
              (Calls{"aside", "text Label_Active Active now: unknown", "hint Label_Active "}));

    w.form.Image4Click();
    w.form.Image4Click();
    w.form.Button1Click(); // winter
    EXPECT_EQ(finish(),
              (Calls{"aside", "text Label_Active Active now: winter", "hint Label_Active "}));
    w.ops.calls.clear();
    w.form.Image8Click();
    EXPECT_EQ(w.ops.Matching("text Label_Active"), (Calls{"text Label_Active Aktiv: Winter"}));

    // Two checks asked for while one is under way run it once more.
    t.Write("Beta\\Texture\\treesSU.bmp", t.Read("Beta\\Texture\\Default\\treesSU.bmp"));
    w.form.CheckActiveSeason();
    w.form.CheckActiveSeason();
    w.form.CheckActiveSeason();
    const Calls calls = finish();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "aside"), 2);
    EXPECT_EQ(calls.back(), "hint Label_Active Eine andere Jahreszeit zeigen: Beta");
    EXPECT_EQ(w.ops.Matching("text Label_Active").back(),
              "text Label_Active Aktiv: gemischt - bitte eine Jahreszeit übernehmen");
}
