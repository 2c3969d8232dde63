#include "guards.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using season::FolderIdentity;
using season::InstanceMutexName;
using season::RunningSimulator;

namespace {

struct SimulatorCase {
    const char* what;
    std::vector<std::string> processes;
    std::string expected;
};

} // namespace

TEST(RunningSimulator, FindsTheSimulatorByItsProgramNameOnly) {
    const SimulatorCase cases[] = {
        {"nothing running", {}, ""},
        {"other programs", {"explorer.exe", "steam.exe", "season.exe"}, ""},
        {"boxed or Steam edition", {"explorer.exe", "fsx.exe"}, "fsx.exe"},
        {"case differs", {"FSX.EXE"}, "FSX.EXE"},
        {"with a path",
         {"C:\\Program Files (x86)\\Steam\\steamapps\\common\\FSX\\fsx.exe"},
         "fsx.exe"},
        {"with a forward-slash path", {"/opt/games/Fsx.exe"}, "Fsx.exe"},
        {"a longer name", {"fsx.exe.bak", "myfsx.exe", "fsx"}, ""},
        {"a folder named like it", {"C:\\fsx.exe\\other.exe"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunningSimulator(c.processes), c.expected) << c.what;
}

TEST(SingleInstance, OneFolderWrittenInAnyWayGivesOneName) {
    const std::vector<std::vector<std::string>> sameFolder = {
        {"C:\\Games\\FSX\\Addon Scenery\\", "c:\\games\\fsx\\addon scenery",
         "C:/Games/FSX/Addon Scenery/", "C:\\GAMES\\FSX\\ADDON SCENERY\\\\"},
        {"D:\\", "d:\\", "d:/"},
        // Letters beyond ASCII fold too (UTF-8): ä/Ä, é/É, ł/Ł, я/Я, ω/Ω.
        {"C:\\M\xC3\xBCller \xC3\xA9t\xC3\xA9\\", "C:\\M\xC3\x9CLLER \xC3\x89T\xC3\x89"},
        {"C:\\\xC5\x82\xD1\x8F\xCF\x89", "C:\\\xC5\x81\xD0\xAF\xCE\xA9"},
        {"C:\\Ελληνικό ＦＳＸ", "c:\\ΕΛΛΗΝΙΚΌ ｆｓｘ"},
    };
    for (const auto& group : sameFolder) {
        for (const auto& folder : group)
            EXPECT_EQ(InstanceMutexName(folder), InstanceMutexName(group.front())) << folder;
    }
}

TEST(SingleInstance, DifferentFoldersGiveDifferentNames) {
    const std::vector<std::string> folders = {
        "C:\\Games\\FSX\\",
        "C:\\Games\\FSX\\Addon Scenery\\",
        "C:\\Games\\FSX2\\",
        "D:\\Games\\FSX\\",
        "C:\\",
        "D:\\",
        "C:\\M\xC3\xBCller",
        "C:\\Muller",
        "C:\\Games\\FSX SE\\",
        "\\\\server\\share\\FSX\\",
        "C:\\\xC3\x9F",
        "C:\\SS", // ß has no single upper letter: it stays
    };
    for (size_t i = 0; i < folders.size(); ++i) {
        for (size_t j = i + 1; j < folders.size(); ++j)
            EXPECT_NE(InstanceMutexName(folders[i]), InstanceMutexName(folders[j]))
                << folders[i] << " / " << folders[j];
    }
}

TEST(SingleInstance, TheNameIsAValidSessionObjectNameWhateverTheFolder) {
    const std::string longFolder = "C:\\" + std::string(2000, 'x') + "\\";
    for (const std::string& folder : {std::string("C:\\Games\\FSX\\"), longFolder,
                                      std::string("\\\\?\\C:\\a\\b"), std::string()}) {
        const std::string name = InstanceMutexName(folder);
        EXPECT_EQ(name.rfind("Local\\", 0), 0u) << name;
        EXPECT_EQ(name.find('\\', 6), std::string::npos) << "only the namespace's backslash";
        EXPECT_LT(name.size(), 64u);
    }
}

TEST(SingleInstance, FolderIdentityKeepsADriveRootAndFoldsSeparators) {
    EXPECT_EQ(FolderIdentity("c:\\"), "C:\\");
    EXPECT_EQ(FolderIdentity("c:/games//"), "C:\\GAMES");
    EXPECT_EQ(FolderIdentity("\\\\server\\share\\"), "\\\\SERVER\\SHARE");
    // A byte that starts no UTF-8 sequence passes unchanged (ANSI text).
    EXPECT_EQ(FolderIdentity("c:\\m\xFCller"), "C:\\M\xFCLLER");
}

TEST(SingleInstance, AStartEndsOnlyWhenAnotherSwitcherWindowCameForward) {
    struct Case {
        bool markTaken, broughtForward, ends;
    } cases[] = {
        {false, false, false}, // the first switcher on its folder
        {true, true, true},    // a second start: the first one's window comes forward
        {true, false, false},  // the mark is taken by another program: open anyway
    };
    for (const Case& c : cases)
        EXPECT_EQ(season::StartEndsAtOnce(c.markTaken, c.broughtForward), c.ends)
            << c.markTaken << c.broughtForward;
}
