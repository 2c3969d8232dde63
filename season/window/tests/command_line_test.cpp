#include "command_line.h"
#include "switcher_state.h"
#include "unit1.h"

#include "sample_tree.h"
#include "test_folder.h"
#include "texts.h"

#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

using season::CommandLine;
using season::MipMapChoice;
using testing_support::TestFolder;
using Args = std::vector<std::string>;

// --- Reading the arguments -----------------------------------------------------

TEST(ParseCommandLine, ReadsEverySwitchWithoutRegardToCase) {
    struct Case {
        Args args;
        int season;
        MipMapChoice mip;
        int language;
        bool quiet;
        bool southern;
        bool status = false;
    } cases[] = {
        {{"/season=summer"}, season::kSummer, MipMapChoice::Ask, season::kEnglish, false, false},
        {{"/season=autumn", "/lang=de"},
         season::kAutumn,
         MipMapChoice::Ask,
         season::kGerman,
         false,
         false},
        {{"/SEASON=Winter", "/MipMaps=YES", "/Quiet"},
         season::kWinter,
         MipMapChoice::Yes,
         season::kEnglish,
         true,
         false},
        {{"-season:spring", "-mipmaps:no", "-lang:EN"},
         season::kSpring,
         MipMapChoice::No,
         season::kEnglish,
         false,
         false},
        {{"/quiet", "/hemisphere=south", "/season=auto"},
         season::kAutoSeason,
         MipMapChoice::Ask,
         season::kEnglish,
         true,
         true},
        {{"/season=auto", "/hemisphere=north"},
         season::kAutoSeason,
         MipMapChoice::Ask,
         season::kEnglish,
         false,
         false},
        {{"/status"}, season::kAutoSeason, MipMapChoice::Ask, season::kEnglish, false, false, true},
        {{"-Quiet", "/STATUS", "/lang=de"},
         season::kAutoSeason,
         MipMapChoice::Ask,
         season::kGerman,
         true,
         false,
         true},
    };
    for (const Case& c : cases) {
        const CommandLine line = season::ParseCommandLine(c.args);
        const std::string args = testing::PrintToString(c.args);
        EXPECT_FALSE(line.Refused()) << args << ": " << line.refused;
        EXPECT_FALSE(line.usage) << args;
        EXPECT_EQ(line.season, c.season) << args;
        EXPECT_EQ(line.mipMaps, c.mip) << args;
        EXPECT_EQ(line.language, c.language) << args;
        EXPECT_EQ(line.quiet, c.quiet) << args;
        EXPECT_EQ(line.southern, c.southern) << args;
        EXPECT_EQ(line.status, c.status) << args;
    }
}

TEST(ParseCommandLine, RefusesAnythingUnknownMalformedRepeatedOrMissing) {
    struct Case {
        Args args;
        const char* refused; // the argument named in the refusal
    } cases[] = {
        {{"/season=winter", "/fast"}, "/fast"},
        {{"/season=winterr"}, "/season=winterr"},
        {{"/season="}, "/season="},
        {{"/season"}, "/season"},
        {{"season=winter"}, "season=winter"},
        {{"winter"}, "winter"},
        {{"/season=winter", ""}, "\"\""},
        {{"/season=winter", "/"}, "/"},
        {{"/season=winter", "/season=summer"}, "/season=summer"},
        {{"/season=winter", "/season=winter"}, "/season=winter"},
        {{"/season=winter", "/quiet=yes"}, "/quiet=yes"},
        {{"/season=winter", "/quiet", "/quiet"}, "/quiet"},
        {{"/season=winter", "/mipmaps=maybe"}, "/mipmaps=maybe"},
        {{"/season=winter", "/mipmaps"}, "/mipmaps"},
        {{"/season=winter", "/lang=fr"}, "/lang=fr"},
        {{"/season=auto", "/hemisphere=east"}, "/hemisphere=east"},
        {{"/season=winter /quiet"}, "/season=winter /quiet"},
        {{"/lang=de"}, "/season="},
        {{"/quiet"}, "/season="},
        {{"/mipmaps=yes", "/hemisphere=south"}, "/season="},
        {{"/status", "/season=winter"}, "/season=winter"},
        {{"/hemisphere=south", "/status", "/mipmaps=no"}, "/hemisphere=south"},
        {{"/status=yes"}, "/status=yes"},
        {{"/status", "/quiet", "/status"}, "/status"},
    };
    for (const Case& c : cases) {
        const CommandLine line = season::ParseCommandLine(c.args);
        EXPECT_EQ(line.refused, c.refused) << testing::PrintToString(c.args);
    }
}

TEST(ParseCommandLine, RefusalSpeaksTheRequestedLanguageAndUsageWins) {
    EXPECT_EQ(season::ParseCommandLine({"/bogus", "/lang=de"}).language, season::kGerman);
    EXPECT_EQ(season::ParseCommandLine({"/lang=de", "/lang=xx"}).language, season::kGerman);
    const CommandLine usage = season::ParseCommandLine({"/?", "/bogus"});
    EXPECT_TRUE(usage.usage);
    EXPECT_TRUE(season::ParseCommandLine({"-?"}).usage);
    EXPECT_FALSE(season::ParseCommandLine({"/?"}).Refused());
}

TEST(SeasonOfMonth, FollowsTheMeteorologicalSeasonsOnBothHemispheres) {
    using namespace season;
    //                      Jan      Feb      Mar      Apr      May      Jun
    const int north[12] = {kWinter, kWinter, kSpring, kSpring, kSpring, kSummer,
                           // Jul    Aug      Sep      Oct      Nov      Dec
                           kSummer, kSummer, kAutumn, kAutumn, kAutumn, kWinter};
    const int south[12] = {kSummer, kSummer, kAutumn, kAutumn, kAutumn, kWinter,
                           kWinter, kWinter, kSpring, kSpring, kSpring, kSummer};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(SeasonOfMonth(month, false), north[month - 1]) << "month " << month;
        EXPECT_EQ(SeasonOfMonth(month, true), south[month - 1]) << "month " << month;
    }
}

TEST(ReportPath, LiesBesideTheProgramNamedAfterIt) {
    EXPECT_EQ(season::ReportPathOf("C:\\Addons\\season.exe"), "C:\\Addons\\season-report.txt");
    EXPECT_EQ(season::ReportPathOf("C:\\My.Addons\\Turnleaf.exe"),
              "C:\\My.Addons\\Turnleaf-report.txt");
    EXPECT_EQ(season::ReportPathOf("D:\\season"), "D:\\season-report.txt");
}

// --- Runs over real folders ------------------------------------------------------

namespace {

struct Host {
    explicit Host(const TestFolder& t, int month = 1) {
        host.programPath = t.Base() + "season.exe";
        host.month = [month] {
            return month;
        };
        host.show = [this](const std::string& text) {
            shown.push_back(text);
        };
        host.askYesNo = [this](const std::string& text, const std::string&) {
            asked.push_back(text);
            return answer;
        };
    }
    season::CommandLineHost host;
    std::vector<std::string> shown;
    std::vector<std::string> asked;
    bool answer = true;

    int Run(const Args& args) {
        return season::RunCommandLine(season::ParseCommandLine(args), host);
    }
};

std::string Tree(const TestFolder& t, const std::string& addon) {
    return t.Read(addon + "\\Texture\\treesSU.bmp");
}

} // namespace

TEST(RunCommandLine, SwitchesToTheChosenOrTodaysSeason) {
    struct Case {
        Args args;
        int month;
        const char* tree; // the generic add-on's active tree afterwards
    } cases[] = {
        {{"/season=winter"}, 7, "treeshw.bmp"},
        {{"/season=autumn"}, 1, "treesFA.bmp"},
        {{"/season=auto"}, 12, "treeshw.bmp"},
        {{"/season=auto"}, 4, "treesSP.bmp"},
        {{"/season=auto", "/hemisphere=south"}, 12, "treesSU.bmp"},
        {{"/season=auto", "/hemisphere=south"}, 7, "treeshw.bmp"},
        {{"/season=spring", "/hemisphere=south"}, 7, "treesSP.bmp"},
    };
    for (const Case& c : cases) {
        TestFolder t;
        testing_support::LayOutGenericAddon(t.Base(), "Alpha");
        Host h(t, c.month);
        EXPECT_EQ(h.Run(c.args), season::kExitSwitched);
        EXPECT_EQ(Tree(t, "Alpha"), std::string("Alpha\\Texture\\Default\\") + c.tree)
            << testing::PrintToString(c.args) << " in month " << c.month;
        EXPECT_EQ(h.shown, std::vector<std::string>{"Change texture settings successful!"});
        EXPECT_FALSE(t.Has("season-report.txt"));
    }
}

TEST(RunCommandLine, RefusedArgumentsChangeNothingAndSayWhy) {
    for (bool quiet : {false, true}) {
        TestFolder t;
        testing_support::LayOutGenericAddon(t.Base(), "Alpha");
        Host h(t);
        Args args = {"/season=winter", "/lang=de", "/colour=green"};
        if (quiet)
            args.push_back("/quiet");
        EXPECT_EQ(h.Run(args), season::kExitBadArguments);
        EXPECT_EQ(Tree(t, "Alpha"), "active");
        const std::string said = quiet ? t.Read("season-report.txt") : h.shown.at(0);
        EXPECT_EQ(said.rfind("Unbekanntes oder fehlerhaftes Argument: /colour=green\r\n", 0), 0u)
            << said;
        EXPECT_NE(said.find("season-report.txt"), std::string::npos) << "usage names the report";
        EXPECT_EQ(h.shown.empty(), quiet);
    }
}

TEST(RunCommandLine, UsageChangesNothing) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    Host h(t);
    EXPECT_EQ(h.Run({"/?", "/season=winter"}), season::kExitSwitched);
    ASSERT_EQ(h.shown.size(), 1u);
    EXPECT_EQ(h.shown[0].rfind("season.exe /season=summer|autumn|winter|spring|auto", 0), 0u);
    EXPECT_EQ(Tree(t, "Alpha"), "active");
}

TEST(RunCommandLine, NothingFoundNamesTheFolderAndEndsWithThree) {
    struct Case {
        Args args;
        const char* start;
    } cases[] = {
        {{"/season=winter"}, "No add-on was found below the folder\r\n"},
        {{"/season=winter", "/lang=de", "/quiet"}, "Unterhalb des Ordners\r\n"},
    };
    for (const Case& c : cases) {
        TestFolder t;
        t.Write("Empty\\Texture\\treesSU.bmp", "not an add-on: no Default folder");
        Host h(t);
        EXPECT_EQ(h.Run(c.args), season::kExitNothingFound);
        const bool quiet = c.args.size() > 2;
        const std::string said = quiet ? t.Read("season-report.txt") : h.shown.at(0);
        EXPECT_EQ(said.rfind(c.start, 0), 0u) << said;
        EXPECT_NE(said.find(season::BaseFolderOf(h.host.programPath)), std::string::npos) << said;
        EXPECT_EQ(t.Read("Empty\\Texture\\treesSU.bmp"), "not an add-on: no Default folder");
    }
}

TEST(RunCommandLine, FailuresEndWithOneAndAQuietRunListsThemAllInItsReport) {
    for (bool quiet : {false, true}) {
        TestFolder t;
        Args args = {"/season=winter"};
        if (quiet)
            args.push_back("/quiet");
        std::vector<std::string> names;
        for (int i = 0; i < 12; ++i) {
            const std::string name = "Addon" + std::to_string(10 + i);
            testing_support::LayOutGenericAddon(t.Base(), name);
            ASSERT_FALSE(platform::SetReadOnly(t.Path(name + "\\Texture\\treesSU.bmp"), true));
            names.push_back(name);
        }
        Host h(t);
        EXPECT_EQ(h.Run(args), season::kExitSomeFailed);
        const std::string said = quiet ? t.Read("season-report.txt") : h.shown.at(0);
        EXPECT_EQ(said.rfind("Some texture files could not be changed (12):", 0), 0u) << said;
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string target =
                season::BaseFolderOf(h.host.programPath) + names[i] + "\\Texture\\treesSU.bmp";
            const bool listed = said.find(target + "\r\n") != std::string::npos;
            EXPECT_EQ(listed, quiet || i < 10) << names[i] << (quiet ? " in the report" : "");
            EXPECT_EQ(Tree(t, names[i]), "active");
            platform::SetReadOnly(t.Path(names[i] + "\\Texture\\treesSU.bmp"), false);
        }
    }
}

TEST(RunCommandLine, AQuietRunReplacesAnEarlierReport) {
    TestFolder t;
    testing_support::LayOutGenericAddon(t.Base(), "Alpha");
    t.Write("season-report.txt", "an earlier run's failures");
    Host h(t);
    EXPECT_EQ(h.Run({"/season=spring", "/quiet"}), season::kExitSwitched);
    EXPECT_EQ(t.Read("season-report.txt"), "Change texture settings successful!\r\n");
    EXPECT_TRUE(h.shown.empty());
}

TEST(RunCommandLine, MipMapAnswerFromTheSwitchOrAskedUnlessQuiet) {
    struct Case {
        Args args;
        bool answer; // the user's answer, should the question come
        bool asked;
        const char* texture; // Norvasse's active texture afterwards
    } cases[] = {
        {{"/season=winter", "/mipmaps=yes"}, false, false, "Texture.winter.MipMaps"},
        {{"/season=winter", "/mipmaps=no"}, true, false, "Texture.winter.NoMipMaps"},
        {{"/season=winter"}, true, true, "Texture.winter.MipMaps"},
        {{"/season=winter"}, false, true, "Texture.winter.NoMipMaps"},
        {{"/season=winter", "/quiet"}, true, false, "Texture.winter.NoMipMaps"},
    };
    for (const Case& c : cases) {
        TestFolder t;
        testing_support::LayOutCatalogue(t.Base());
        Host h(t);
        h.answer = c.answer;
        EXPECT_EQ(h.Run(c.args), season::kExitSwitched);
        EXPECT_EQ(h.asked.size(), c.asked ? 1u : 0u) << testing::PrintToString(c.args);
        EXPECT_EQ(t.Read("Norvasse X\\Norvasse X - priority 2\\Texture\\a.bmp"),
                  std::string("Norvasse X\\Norvasse X - priority 2\\") + c.texture + "\\a.bmp")
            << testing::PrintToString(c.args);
    }
}

TEST(RunCommandLine, StatusTellsEachAddonsSeasonAndChangesNothing) {
    struct Case {
        Args args;
        int switchedTo; // -1: no switch before
        bool oneAddonBackToSummer;
        int exitCode;
        const char* said;
    } cases[] = {
        {{"/status"},
         -1,
         false,
         season::kExitMixedOrUnknown,
         "Alpha: unknown\r\nBeta: unknown\r\nActive now: unknown"},
        {{"/status", "/quiet"},
         season::kWinter,
         false,
         season::kExitOneSeason,
         "Alpha: winter\r\nBeta: winter\r\nActive now: winter\r\n"},
        {{"/status", "/lang=de"},
         season::kWinter,
         true,
         season::kExitMixedOrUnknown,
         "Alpha: Winter\r\nBeta: Sommer\r\nAktiv: gemischt - bitte eine Jahreszeit übernehmen"},
    };
    for (const Case& c : cases) {
        TestFolder t;
        testing_support::LayOutGenericAddon(t.Base(), "Alpha");
        testing_support::LayOutGenericAddon(t.Base(), "Beta");
        Host h(t);
        if (c.switchedTo == season::kWinter) {
            ASSERT_EQ(h.Run({"/season=winter", "/quiet"}), season::kExitSwitched);
        }
        if (c.oneAddonBackToSummer)
            t.Write("Beta\\Texture\\treesSU.bmp", t.Read("Beta\\Texture\\Default\\treesSU.bmp"));
        const std::string before = Tree(t, "Beta");
        EXPECT_EQ(h.Run(c.args), c.exitCode) << testing::PrintToString(c.args);
        const bool quiet = c.args.size() > 1 && c.args[1] == "/quiet";
        EXPECT_EQ(quiet ? t.Read("season-report.txt") : h.shown.at(0), c.said);
        EXPECT_EQ(Tree(t, "Beta"), before);
    }
    TestFolder empty;
    Host h(empty);
    EXPECT_EQ(h.Run({"/status"}), season::kExitNothingFound);
}

TEST(RunCommandLine, WithAdministratorRightsAUsersLinkOutOfTheFolderIsSkippedAndNamed) {
    for (const bool elevated : {false, true}) {
        TestFolder t;
        testing_support::LayOutGenericAddon(t.Path("Addons\\"), "Alpha");
        t.Write("Outside\\Default\\treeshw.bmp", "the user's file");
        t.Write("Outside\\Default\\treesSU.bmp", "summer");
        t.Write("Outside\\treesSU.bmp", "a file only administrators may write");
        t.MakeFolder("Addons\\Beta");
        std::string outside = t.Path("Outside");
#ifndef _WIN32
        std::replace(outside.begin(), outside.end(), '\\', '/');
#endif
        if (!testing_support::MakeFolderLink(outside, t.Path("Addons\\Beta\\Texture")))
            GTEST_SKIP() << "this system makes no symbolic links";
        Host h(t);
        h.host.programPath = t.Path("Addons\\season.exe");
        h.host.elevated = elevated;
        h.host.links.madeByAdministrator = [](const std::string&) {
            return false;
        };
        EXPECT_EQ(h.Run({"/season=winter", "/quiet"}),
                  elevated ? season::kExitSomeFailed : season::kExitSwitched);
        EXPECT_EQ(t.Read("Outside\\treesSU.bmp"),
                  elevated ? "a file only administrators may write" : "the user's file");
        EXPECT_EQ(t.Read("Addons\\Alpha\\Texture\\treesSU.bmp"),
                  "Alpha\\Texture\\Default\\treeshw.bmp");
        const std::string report = t.Read("Addons\\season-report.txt");
        EXPECT_EQ(report.find("Beta\\Texture\\treesSU.bmp (link leads outside the folder)") !=
                      std::string::npos,
                  elevated)
            << report;
    }
}
