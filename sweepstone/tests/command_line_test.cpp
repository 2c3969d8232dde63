#include "command_line.h"
#include "report_file.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <shellapi.h>
#endif

using sweepstone::Outcome;
using sweepstone::RemovalReport;
using sweepstone::RunMode;
using Args = std::vector<std::string>;

namespace {

struct SplitCase {
    const char* line;
    Args expected;
};

// How the start-up code of Windows splits a command line; what an uninstall string
// in the registry or a package manager's script hands the wizard.
const SplitCase kSplitCases[] = {
    {"Uninstall.exe", {}},
    {"\"C:\\Program Files\\Sample\\Uninstall.exe\" /SILENT", {"/SILENT"}},
    {"Uninstall.exe   /S\t/LOG=x.txt  ", {"/S", "/LOG=x.txt"}},
    // Quotes group wherever they stand and are removed.
    {"u.exe /LOG=\"C:\\My Logs\\report.txt\"", {"/LOG=C:\\My Logs\\report.txt"}},
    {"u.exe \"/LOG=C:\\My Logs\\report.txt\" /S", {"/LOG=C:\\My Logs\\report.txt", "/S"}},
    {"u.exe /LOG=\"C:\\a b\"c\" d\"", {"/LOG=C:\\a bc d"}},
    // Backslashes are literal unless a quote follows them.
    {"u.exe C:\\dir\\ x", {"C:\\dir\\", "x"}},
    {"u.exe \"C:\\dir\\\\\" x", {"C:\\dir\\", "x"}},
    {"u.exe a\\\\\\\"b", {"a\\\"b"}},
    {"u.exe \"a\\\"b c\"", {"a\"b c"}},
    // "" inside a group is a literal quote; an empty pair is an empty argument.
    {"u.exe \"a\"\"b\"", {"a\"b"}},
    {"u.exe \"\" /S", {"", "/S"}},
    // An unclosed group runs to the end.
    {"u.exe /LOG=\"C:\\x y", {"/LOG=C:\\x y"}},
    // The program name has no escapes: a backslash before its closing quote ends it.
    {"\"C:\\odd\\\" /S", {"/S"}},
    {"", {}},
};

} // namespace

TEST(SplitCommandLine, FollowsTheWindowsStartUpRules) {
    for (const SplitCase& c : kSplitCases)
        EXPECT_EQ(sweepstone::SplitCommandLine(c.line), c.expected) << c.line;
}

#ifdef _WIN32
// The same lines through the system's own CommandLineToArgvW.
TEST(SplitCommandLine, AgreesWithTheSystemsSplitting) {
    for (const SplitCase& c : kSplitCases) {
        const std::string line = c.line;
        if (line.empty())
            continue; // the system then names the running program
        const std::wstring wide(line.begin(), line.end());
        int count = 0;
        wchar_t** argv = CommandLineToArgvW(wide.c_str(), &count);
        ASSERT_NE(argv, nullptr) << line;
        Args system;
        for (int i = 1; i < count; ++i) {
            const std::wstring a = argv[i];
            system.emplace_back(a.begin(), a.end());
        }
        LocalFree(argv);
        EXPECT_EQ(system, c.expected) << line;
    }
}
#endif

TEST(ParseArguments, AcceptsEachSwitchInAnyCase) {
    struct Flags {
        bool suppressMessageBoxes, noRestart, noCancel;
        bool operator==(const Flags&) const = default;
    };
    struct Case {
        Args args;
        RunMode mode;
        const char* report;
        bool check = false;
        const char* checkLog = "";
        Flags flags = {};
    } cases[] = {
        {{}, RunMode::Window, ""},
        {{"/SILENT"}, RunMode::Silent, ""},
        {{"/silent"}, RunMode::Silent, ""},
        {{"/VERYSILENT"}, RunMode::VerySilent, ""},
        {{"/VerySilent", "/LOG=r.txt"}, RunMode::VerySilent, "r.txt"},
        {{"/s"}, RunMode::VerySilent, ""},
        {{"/S", "/log=C:\\My Logs\\r e.txt"}, RunMode::VerySilent, "C:\\My Logs\\r e.txt"},
        {{"/LOG=C:\\a=b.txt"}, RunMode::Window, "C:\\a=b.txt"},
        {{"/?"}, RunMode::Usage, ""},
        {{"/CHECK"}, RunMode::Window, "", true, ""},
        {{"/check=C:\\Build\\Other.log", "/VERYSILENT", "/LOG=r.txt"},
         RunMode::VerySilent,
         "r.txt",
         true,
         "C:\\Build\\Other.log"},
        // What deployment tools pass by habit, alone or with a run mode.
        {{"/VERYSILENT", "/SUPPRESSMSGBOXES", "/NORESTART"},
         RunMode::VerySilent,
         "",
         false,
         "",
         {true, true, false}},
        {{"/suppressmsgboxes"}, RunMode::Window, "", false, "", {true, false, false}},
        {{"/NoRestart", "/S", "/LOG=r.txt"},
         RunMode::VerySilent,
         "r.txt",
         false,
         "",
         {false, true, false}},
        {{"/SILENT", "/NOCANCEL"}, RunMode::Silent, "", false, "", {false, false, true}},
        {{"/NOCANCEL", "/NORESTART", "/SUPPRESSMSGBOXES", "/SILENT"},
         RunMode::Silent,
         "",
         false,
         "",
         {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const sweepstone::ParsedArguments p = sweepstone::ParseArguments(c.args);
        EXPECT_TRUE(p.Accepted()) << p.error;
        EXPECT_EQ(p.arguments.mode, c.mode);
        EXPECT_EQ(p.arguments.reportFile, c.report);
        EXPECT_EQ(p.arguments.given, !c.args.empty());
        EXPECT_EQ(p.arguments.check, c.check);
        EXPECT_EQ(p.arguments.checkLog, c.checkLog);
        EXPECT_TRUE((Flags{p.arguments.suppressMessageBoxes, p.arguments.noRestart,
                           p.arguments.noCancel} == c.flags));
    }
}

// A refused command line does nothing at all: it comes back as a window run with no
// report, and the program ends with exit code 3 before it looks at anything.
TEST(ParseArguments, RefusesWhatItDoesNotKnowOrGetsTwice) {
    struct Case {
        Args args;
        bool silentAsked; // then no message box may wait for an answer
    } cases[] = {
        {{"/QUIET"}, false},
        {{"/SILENT", "/VERYSILENT"}, true},
        {{"/S", "/SILENT"}, true},
        {{"/SILENT", "/silent"}, true},
        {{"/S", "/?"}, true},
        {{"/LOG=a.txt", "/LOG=b.txt"}, false},
        {{"/LOG"}, false},
        {{"/LOG="}, false},
        {{"/S", "/LOG"}, true},
        {{"/SILENT=yes"}, true},
        {{"-S"}, false},
        {{"S"}, false},
        {{"/S", ""}, true},
        {{"/VERYSILENT", "/NORESTART", "/norestart"}, true},
        {{"/NOCANCEL=1"}, false},
        {{"/SUPPRESSMSGBOXES", "/QUIET"}, true}, // a caller that asked for no box gets none
        {{"/NORESTART", "/unknown"}, false},
        {{"/unknown", "/VERYSILENT"}, true},
        {{"/CHECK", "/check=a.log"}, false},
        {{"/CHECK="}, false},
    };
    for (const Case& c : cases) {
        const sweepstone::ParsedArguments p = sweepstone::ParseArguments(c.args);
        EXPECT_FALSE(p.Accepted()) << testing::PrintToString(c.args);
        EXPECT_EQ(p.silentAsked, c.silentAsked) << testing::PrintToString(c.args);
        EXPECT_EQ(p.arguments.mode, RunMode::Window);
        EXPECT_TRUE(p.arguments.reportFile.empty());
        EXPECT_FALSE(p.arguments.check);
    }
}

TEST(ExitCodeFor, LeftOutweighsRestartWhichOutweighsRemoved) {
    struct Case {
        std::vector<Outcome> outcomes;
        int code;
    } cases[] = {
        {{}, 0},
        {{Outcome::Removed, Outcome::Removed}, 0},
        {{Outcome::Removed, Outcome::Left}, 1},
        {{Outcome::Refused}, 1},
        {{Outcome::AtRestart, Outcome::Removed}, 3010},
        {{Outcome::AtRestart, Outcome::Left}, 1},
        {{Outcome::Refused, Outcome::AtRestart}, 1},
    };
    for (const Case& c : cases) {
        RemovalReport report;
        for (Outcome o : c.outcomes)
            report.Add(o, "item", o == Outcome::Removed ? "" : "reason");
        EXPECT_EQ(sweepstone::ExitCodeFor(report), c.code);
    }
}

TEST(ReportText, ListsEveryItemWithItsOutcomeAndReason) {
    RemovalReport report;
    report.Add(Outcome::Removed, "C:\\Sim\\Addon Scenery\\Sample");
    report.Add(Outcome::Left, "C:\\Sim\\Effects\\x.fx", "in use");
    report.Add(Outcome::Refused, "C:\\", "a drive root");
    report.Add(Outcome::AtRestart, "C:\\Sim\\lights.dll", "in use; deleted at the next restart");
    sweepstone::ReportHeader header{"C:\\P\\Uninstall.exe", "C:\\P\\Uninstall.log", "Sample", 1,
                                    ""};
    EXPECT_EQ(sweepstone::ReportText(header, report),
              "\xEF\xBB\xBFUninstall report\r\n"
              "Program: C:\\P\\Uninstall.exe\r\n"
              "Uninstall log: C:\\P\\Uninstall.log\r\n"
              "Product: Sample\r\n"
              "Exit code: 1 (items were left)\r\n"
              "Removed: 1, left: 1, refused: 1, at the next restart: 1\r\n"
              "\r\n"
              "removed\tC:\\Sim\\Addon Scenery\\Sample\r\n"
              "left\tC:\\Sim\\Effects\\x.fx\tin use\r\n"
              "refused\tC:\\\ta drive root\r\n"
              "restart\tC:\\Sim\\lights.dll\tin use; deleted at the next restart\r\n");
}

TEST(ReportText, SaysWhyNothingWasRemoved) {
    sweepstone::ReportHeader header{"C:\\P\\u.exe", "C:\\P\\u.log", "", 2,
                                    "No uninstall log was found"};
    const std::string text = sweepstone::ReportText(header, {});
    EXPECT_NE(text.find("Exit code: 2 (no uninstall log, or one that cannot be read)\r\n"
                        "Note: No uninstall log was found\r\n"
                        "Removed: 0, left: 0, refused: 0, at the next restart: 0\r\n\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n") << "no item lines";
}

// Every item stays on one line of valid UTF-8, whatever its bytes are.
TEST(ReportText, KeepsEachItemOnOneLineOfUtf8) {
    struct Case {
        const char* item;
        const char* line;
    } cases[] = {
        {"C:\\M\xC3\xBCller\\\xE2\x82\xAC.txt", "removed\tC:\\M\xC3\xBCller\\\xE2\x82\xAC.txt"},
        // Not UTF-8: read as Windows-1252 (u with diaeresis, euro sign, quotes).
        {"C:\\M\xFCller\\\x80\x93\x84.txt",
         "removed\tC:\\M\xC3\xBCller\\\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9E.txt"},
        // An overlong form and a lone continuation byte are not UTF-8 either.
        {"\xC0\xAF", "removed\t\xC3\x80\xC2\xAF"},
        {"a\xA9", "removed\ta\xC2\xA9"},
        {"tab\there\r\nnext", "removed\ttab here  next"},
    };
    for (const Case& c : cases) {
        RemovalReport report;
        report.Add(Outcome::Removed, c.item);
        const std::string text = sweepstone::ReportText({}, report);
        EXPECT_EQ(text.substr(text.rfind("\r\n\r\n") + 4), std::string(c.line) + "\r\n") << c.item;
    }
}
