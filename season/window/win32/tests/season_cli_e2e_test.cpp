// End-to-end tests of season.exe started with arguments: each test copies the
// sample add-on folder and the program into a fresh tree, runs the real program
// there as a script or scheduled task would, answers its message boxes, and checks
// the exit code, the files and the report afterwards.
#include "platform/rights.h"
#include "scoped_win32.h"
#include "season_tree.h"
#include "window_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

using namespace window_driver;

namespace {

// A fresh tree with the program in it: the sample add-ons, or nothing else.
std::wstring MakeTree(const std::wstring& name, bool withAddons = true) {
    return season_e2e::MakeTree(L"cli-trees", name, withAddons);
}

struct Outcome {
    DWORD exitCode = 0xDEAD;
    std::vector<MessageBoxSeen> boxes; // every message box, in order
};

// Runs "season.exe <arguments>" in the tree until it ends; each message box is
// read and answered by `answer` (OK when none is given).
Outcome RunSeason(const std::wstring& tree, const std::wstring& arguments,
                  const std::function<int(const MessageBoxSeen&)>& answer = nullptr) {
    Outcome out;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    std::wstring command = L"\"" + tree + L"season.exe\" " + arguments;
    PROCESS_INFORMATION p{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, tree.c_str(),
                        &si, &p))
        return out;
    const platform::win32::ScopedKernelHandle process(p.hProcess), thread(p.hThread);
    const ULONGLONG end = GetTickCount64() + 120000;
    while (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT && GetTickCount64() < end) {
        const MessageBoxSeen box = WaitForMessageBox(p.dwProcessId, 0.5);
        if (!box.hwnd)
            continue;
        out.boxes.push_back(box);
        AnswerMessageBox(box, answer ? answer(box) : IDOK);
    }
    if (WaitForSingleObject(p.hProcess, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(p.hProcess, &out.exitCode);
    else
        TerminateProcess(p.hProcess, 99);
    return out;
}

// Runs "season.exe <arguments>" in the tree as its debugger until it ends, with
// nothing to answer, and gives its exit code and the name of every library it
// loaded (lower case, without folder).
Outcome RunSeasonWatchingLibraries(const std::wstring& tree, const std::wstring& arguments,
                                   std::vector<std::wstring>& libraries) {
    Outcome out;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    std::wstring command = L"\"" + tree + L"season.exe\" " + arguments;
    PROCESS_INFORMATION p{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                        nullptr, tree.c_str(), &si, &p))
        return out;
    const auto nameOf = [](HANDLE file) {
        std::wstring path(1024, L'\0');
        const DWORD n = GetFinalPathNameByHandleW(file, path.data(), 1024, FILE_NAME_NORMALIZED);
        path.resize(n < 1024 ? n : 0);
        std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
        for (wchar_t& c : name)
            c = static_cast<wchar_t>(towlower(c));
        return name;
    };
    for (bool running = true; running;) {
        DEBUG_EVENT event{};
        if (!WaitForDebugEvent(&event, 120000))
            break;
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT: {
            const platform::win32::ScopedKernelHandle image(event.u.CreateProcessInfo.hFile);
            break;
        }
        case LOAD_DLL_DEBUG_EVENT:
            if (const platform::win32::ScopedKernelHandle file(event.u.LoadDll.hFile); file)
                libraries.push_back(nameOf(file.Get()));
            break;
        case EXCEPTION_DEBUG_EVENT:
            // The loader's breakpoint is the debugger's; every other exception the
            // program's own.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            out.exitCode = event.u.ExitProcess.dwExitCode;
            running = false;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    if (out.exitCode == 0xDEAD)
        TerminateProcess(p.hProcess, 99);
    const platform::win32::ScopedKernelHandle process(p.hProcess), thread(p.hThread);
    return out;
}

std::string Read(const std::wstring& tree, const std::wstring& relative) {
    return ReadFile(tree + relative);
}

const std::wstring kAlphaTree = L"Alpha Airfield\\Texture\\treesSU.bmp";
const std::wstring kNorvasse = L"Norvasse X\\Norvasse X - priority 2\\";

// The files a switch changes, to show that a refused run changed none of them.
std::vector<std::string> Watched(const std::wstring& tree) {
    std::vector<std::string> files;
    for (const wchar_t* f :
         {L"Alpha Airfield\\Texture\\treesSU.bmp", L"Beta Harbour\\Texture\\treesSU.bmp",
          L"Taskelby X\\Texture\\x_trees.bmp", L"Sorvikk X\\texture\\MOJU_Trees.bmp",
          L"Norvasse X\\Norvasse X - priority 2\\Texture\\TWEL_Ground.bmp",
          L"Quorrin\\Texture\\treesSU.bmp"})
        files.push_back(Read(tree, f));
    for (const wchar_t* f :
         {L"Quorrin\\Scenery\\TUBR_Aerial.bgl", L"Quorrin\\Scenery\\TUBR_Aerial.off"})
        files.push_back(FileExists(tree + f) ? "present" : "absent");
    return files;
}

std::string ReportOf(const std::wstring& tree) {
    return Read(tree, L"season-report.txt");
}

} // namespace

// A quiet run shows nothing, so it loads none of the window's libraries: no window
// or shell library, whose start-up under Wine opens a desktop, and no COM library,
// so that a scheduled task never waits for the RPC service.
TEST(SeasonCommandLine, QuietSwitchWritesOnlyItsReportAndEndsWithZero) {
    const std::wstring tree = MakeTree(L"quiet-winter");
    std::vector<std::wstring> libraries;
    const Outcome o =
        RunSeasonWatchingLibraries(tree, L"/season=winter /mipmaps=yes /quiet", libraries);
    EXPECT_EQ(o.exitCode, 0u);
    EXPECT_NE(std::find(libraries.begin(), libraries.end(), L"kernel32.dll"), libraries.end());
    for (const wchar_t* window : {L"user32.dll", L"gdi32.dll", L"comctl32.dll", L"shell32.dll",
                                  L"shlwapi.dll", L"ole32.dll", L"oleaut32.dll", L"combase.dll"})
        EXPECT_EQ(std::find(libraries.begin(), libraries.end(), window), libraries.end())
            << Narrow(window);
    EXPECT_EQ(Read(tree, kAlphaTree), Read(tree, L"Alpha Airfield\\Texture\\Default\\treeshw.bmp"));
    EXPECT_EQ(Read(tree, kNorvasse + L"Texture\\TWEL_Ground.bmp"),
              Read(tree, kNorvasse + L"Texture.winter.MipMaps\\TWEL_Ground.bmp"));
    EXPECT_TRUE(FileExists(tree + L"Quorrin\\Scenery\\Winter_TUBR_Aerial.bgl"));
    EXPECT_EQ(ReportOf(tree), "Change texture settings successful!\r\n");
}

TEST(SeasonCommandLine, ShowsItsResultInTheChosenLanguageAndAsksWithoutMipMapSwitch) {
    struct Case {
        const wchar_t* name;
        const wchar_t* arguments;
        std::vector<std::wstring> boxes; // the texts, in order
        const wchar_t* ground;           // Norvasse's source for its ground texture
        const wchar_t* tree;
    } cases[] = {
        {L"german-autumn",
         L"/season=autumn /lang=de /mipmaps=no",
         {L"\u00c4nderung der TEXTUREN durchgef\u00fchrt!"},
         L"Texture.sping.NoMipMaps",
         L"treesFA.bmp"},
        {L"asked-spring",
         L"-SEASON:Spring",
         {L"Do you want to use MipMap-Textures with the addon Norvasse X?",
          L"Change texture settings successful!"},
         L"Texture.spring.MipMaps",
         L"treesSP.bmp"},
    };
    for (const Case& c : cases) {
        const std::wstring tree = MakeTree(c.name);
        const Outcome o = RunSeason(tree, c.arguments, [](const MessageBoxSeen& box) {
            return box.text.find(L"MipMap") != std::wstring::npos ? IDYES : IDOK;
        });
        EXPECT_EQ(o.exitCode, 0u) << Narrow(c.name);
        std::vector<std::wstring> texts;
        for (const auto& box : o.boxes) {
            texts.push_back(box.text);
            if (box.text.find(L"MipMap") == std::wstring::npos) {
                EXPECT_EQ(box.caption, L"Brightmere Turnleaf");
            }
        }
        EXPECT_EQ(texts, c.boxes) << Narrow(c.name);
        EXPECT_EQ(Read(tree, kNorvasse + L"Texture\\TWEL_Ground.bmp"),
                  Read(tree, kNorvasse + c.ground + L"\\TWEL_Ground.bmp"))
            << Narrow(c.name);
        EXPECT_EQ(Read(tree, kAlphaTree),
                  Read(tree, std::wstring(L"Alpha Airfield\\Texture\\Default\\") + c.tree));
        EXPECT_FALSE(FileExists(tree + L"season-report.txt"));
    }
}

TEST(SeasonCommandLine, AutoFollowsTodaysMonthOnBothHemispheres) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    // Meteorological seasons by month, January first, for the northern hemisphere.
    const wchar_t* north[12] = {L"treeshw.bmp", L"treeshw.bmp", L"treesSP.bmp", L"treesSP.bmp",
                                L"treesSP.bmp", L"treesSU.bmp", L"treesSU.bmp", L"treesSU.bmp",
                                L"treesFA.bmp", L"treesFA.bmp", L"treesFA.bmp", L"treeshw.bmp"};
    const wchar_t* southern[12] = {L"treesSU.bmp", L"treesSU.bmp", L"treesFA.bmp", L"treesFA.bmp",
                                   L"treesFA.bmp", L"treeshw.bmp", L"treeshw.bmp", L"treeshw.bmp",
                                   L"treesSP.bmp", L"treesSP.bmp", L"treesSP.bmp", L"treesSU.bmp"};
    struct Case {
        const wchar_t* name;
        const wchar_t* arguments;
        const wchar_t* tree;
    } cases[] = {
        {L"auto-north", L"/season=auto /quiet /mipmaps=no", north[now.wMonth - 1]},
        {L"auto-south", L"/season=auto /hemisphere=south /quiet /mipmaps=no",
         southern[now.wMonth - 1]},
    };
    for (const Case& c : cases) {
        const std::wstring tree = MakeTree(c.name);
        const Outcome o = RunSeason(tree, c.arguments);
        EXPECT_EQ(o.exitCode, 0u) << Narrow(c.name);
        EXPECT_EQ(Read(tree, kAlphaTree),
                  Read(tree, std::wstring(L"Alpha Airfield\\Texture\\Default\\") + c.tree))
            << Narrow(c.name) << " in month " << now.wMonth;
    }
}

TEST(SeasonCommandLine, ReadOnlyTargetsAreKeptListedAndEndWithOne) {
    for (bool quiet : {false, true}) {
        const std::wstring tree = MakeTree(quiet ? L"read-only-quiet" : L"read-only");
        // A single-file copy's target and a file inside a folder copy's target.
        const std::wstring sorvikk = L"Sorvikk X\\texture\\MOJU_Trees.bmp";
        const std::string alphaBefore = Read(tree, kAlphaTree);
        const std::string sorvikkBefore = Read(tree, sorvikk);
        ASSERT_TRUE(SetFileAttributesW((tree + kAlphaTree).c_str(), FILE_ATTRIBUTE_READONLY));
        ASSERT_TRUE(SetFileAttributesW((tree + sorvikk).c_str(), FILE_ATTRIBUTE_READONLY));

        const Outcome o = RunSeason(tree, std::wstring(L"/season=winter /mipmaps=no") +
                                              (quiet ? L" /quiet" : L""));
        EXPECT_EQ(o.exitCode, 1u);
        const std::string expected = "Some texture files could not be changed (2):\r\n" +
                                     Narrow(tree) + "Alpha Airfield\\Texture\\treesSU.bmp\r\n" +
                                     Narrow(tree) + "Sorvikk X\\texture";
        if (quiet) {
            EXPECT_TRUE(o.boxes.empty());
            EXPECT_EQ(ReportOf(tree), expected + "\r\n");
        } else {
            ASSERT_EQ(o.boxes.size(), 1u);
            EXPECT_EQ(Narrow(o.boxes[0].text), expected);
        }
        EXPECT_EQ(Read(tree, kAlphaTree), alphaBefore);
        EXPECT_EQ(Read(tree, sorvikk), sorvikkBefore);
        // The rest of the folder copy and the other add-ons are switched.
        EXPECT_EQ(Read(tree, L"Sorvikk X\\SCENERY\\MOJU_Vegetation.bgl"),
                  Read(tree, L"Sorvikk X\\SCENERY\\winter\\MOJU_Vegetation.bgl"));
        EXPECT_EQ(Read(tree, L"Beta Harbour\\Texture\\treesSU.bmp"),
                  Read(tree, L"Beta Harbour\\Texture\\Default\\treeshw.bmp"));
        SetFileAttributesW((tree + kAlphaTree).c_str(), FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesW((tree + sorvikk).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(SeasonCommandLine, BadArgumentsChangeNothingAndEndWithTwo) {
    struct Case {
        const wchar_t* arguments;
        const wchar_t* firstLine; // of the message, or of the report when quiet
        bool quiet;
    } cases[] = {
        {L"/season=winterr", L"Unknown or malformed argument: /season=winterr", false},
        {L"/season=winter /colour=green", L"Unknown or malformed argument: /colour=green", false},
        {L"winter", L"Unknown or malformed argument: winter", false},
        {L"/season=winter /season=summer", L"Unknown or malformed argument: /season=summer", false},
        {L"/season=winter /mipmaps=maybe /lang=de",
         L"Unbekanntes oder fehlerhaftes Argument: /mipmaps=maybe", false},
        {L"/lang=de /mipmaps=yes", L"Der Schalter /season= fehlt.", false},
        {L"\"/season=winter /quiet\"", L"Unknown or malformed argument: /season=winter /quiet",
         false},
        {L"/season=winter /quiet /hemisphere=east",
         L"Unknown or malformed argument: /hemisphere=east", true},
    };
    const std::wstring tree = MakeTree(L"bad-arguments");
    const std::vector<std::string> before = Watched(tree);
    for (const Case& c : cases) {
        DeleteFileW((tree + L"season-report.txt").c_str());
        const Outcome o = RunSeason(tree, c.arguments);
        EXPECT_EQ(o.exitCode, 2u) << Narrow(c.arguments);
        std::wstring said;
        if (c.quiet) {
            EXPECT_TRUE(o.boxes.empty()) << Narrow(c.arguments);
            const std::string report = ReportOf(tree);
            said = std::wstring(report.begin(), report.end());
        } else {
            ASSERT_EQ(o.boxes.size(), 1u) << Narrow(c.arguments);
            said = o.boxes[0].text;
            EXPECT_NE(said.find(L"season.exe /season=summer|autumn|winter|spring|auto"),
                      std::wstring::npos)
                << "the usage follows";
        }
        EXPECT_EQ(said.substr(0, said.find(L'\r')), c.firstLine) << Narrow(c.arguments);
        EXPECT_EQ(Watched(tree), before) << Narrow(c.arguments);
    }
    // /? shows the usage, changes nothing and ends with 0.
    const Outcome usage = RunSeason(tree, L"/?");
    EXPECT_EQ(usage.exitCode, 0u);
    ASSERT_EQ(usage.boxes.size(), 1u);
    EXPECT_EQ(usage.boxes[0].text.rfind(L"season.exe /season=summer|autumn|winter|spring|auto", 0),
              0u);
    EXPECT_NE(usage.boxes[0].text.find(L"season-report.txt"), std::wstring::npos);
    EXPECT_EQ(Watched(tree), before);
}

TEST(SeasonCommandLine, NothingFoundNamesTheFolderAndEndsWithThree) {
    const std::wstring tree = MakeTree(L"empty", false);
    const Outcome shown = RunSeason(tree, L"/season=summer");
    EXPECT_EQ(shown.exitCode, 3u);
    ASSERT_EQ(shown.boxes.size(), 1u);
    EXPECT_EQ(shown.boxes[0].text,
              L"No add-on was found below the folder\r\n" + tree + L"\r\nNothing was changed.");

    const Outcome quiet = RunSeason(tree, L"/season=winter /lang=de /quiet");
    EXPECT_EQ(quiet.exitCode, 3u);
    EXPECT_TRUE(quiet.boxes.empty());
    EXPECT_EQ(ReportOf(tree), "Unterhalb des Ordners\r\n" + Narrow(tree) +
                                  "\r\nwurde kein Addon gefunden. Es wurde nichts geändert.\r\n");
}

TEST(SeasonCommandLine, StatusWritesEachAddonsSeasonAndEndsWithOneForAMixedTree) {
    const std::wstring tree = MakeTree(L"status");
    ASSERT_EQ(RunSeason(tree, L"/season=winter /mipmaps=no /quiet").exitCode, 0u);
    const std::vector<std::string> before = Watched(tree);
    const Outcome winter = RunSeason(tree, L"/status /quiet");
    EXPECT_EQ(winter.exitCode, 0u);
    EXPECT_TRUE(winter.boxes.empty());
    EXPECT_EQ(ReportOf(tree), "Alpha Airfield: winter\r\nBeta Harbour: winter\r\n"
                              "Gamma Field: winter\r\nQuorrin X: winter\r\nTaskelby X: winter\r\n"
                              "Norvasse X: winter\r\nSorvikk X: winter\r\nActive now: winter\r\n");
    EXPECT_EQ(Watched(tree), before) << "a status run switches nothing";

    CopyFileW((tree + L"Beta Harbour\\Texture\\Default\\treesSU.bmp").c_str(),
              (tree + L"Beta Harbour\\Texture\\treesSU.bmp").c_str(), FALSE);
    const Outcome mixed = RunSeason(tree, L"/status /lang=de");
    EXPECT_EQ(mixed.exitCode, 1u);
    ASSERT_EQ(mixed.boxes.size(), 1u);
    EXPECT_NE(mixed.boxes[0].text.find(L"Beta Harbour: Sommer\r\n"), std::wstring::npos)
        << Narrow(mixed.boxes[0].text);
    EXPECT_NE(mixed.boxes[0].text.find(L"Aktiv: gemischt - bitte eine Jahreszeit \u00fcbernehmen"),
              std::wstring::npos);
    EXPECT_EQ(RunSeason(tree, L"/status /season=winter /quiet").exitCode, 2u);

    ASSERT_EQ(RunSeason(tree, L"/season=winter /mipmaps=no /quiet").exitCode, 0u);
    EXPECT_EQ(RunSeason(tree, L"/status /quiet").exitCode, 0u);
    EXPECT_EQ(RunSeason(MakeTree(L"status-empty", false), L"/status /quiet").exitCode, 3u);
}

// With administrator rights (Wine gives its account an elevated token) a switch
// skips a target that a user's link leads out of the switcher's folder, names it,
// and switches the rest. Wine makes no link of its own (CreateSymbolicLinkW does
// nothing, a junction is refused), but it shows a Unix link to a folder as a reparse
// point and resolves it through GetFinalPathNameByHandleW, as Windows does a
// junction or a symbolic link: the staged tree carries one (link_tree.cmake).
TEST(SeasonCommandLine, ElevatedQuietSwitchSkipsATargetAUsersLinkLeadsOutOf) {
    const std::wstring data = DriverFolder() + L"data\\";
    const std::wstring tree = data + L"link-tree\\";
    const DWORD link = GetFileAttributesW((tree + L"Beta\\Texture").c_str());
    if (link == INVALID_FILE_ATTRIBUTES || (link & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        GTEST_SKIP() << "the staged tree holds no link that this system shows as one";
    if (!platform::RunningElevated())
        GTEST_SKIP() << "the test runs without administrator rights";
    ASSERT_TRUE(CopyFileW((data + L"season.exe").c_str(), (tree + L"season.exe").c_str(), FALSE));
    const Outcome o = RunSeason(tree, L"/season=winter /quiet");
    EXPECT_EQ(o.exitCode, 1u);
    EXPECT_EQ(Read(tree, L"Alpha\\Texture\\treesSU.bmp"), "Alpha treeshw");
    EXPECT_EQ(Read(data, L"link-outside\\Texture\\treesSU.bmp"), "a file the user may not write");
    EXPECT_NE(ReportOf(tree).find(Narrow(tree) +
                                  "Beta\\Texture\\treesSU.bmp (link leads outside the folder)"),
              std::string::npos)
        << ReportOf(tree);
}
