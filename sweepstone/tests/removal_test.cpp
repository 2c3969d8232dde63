#include "removal.h"

#include "command_line.h"
#include "safety.h"

#include "platform/deletion.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#ifdef _WIN32
#include "scoped_win32.h"
#else
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using sweepstone::Reach;
using sweepstone::WizardState;
using testing_support::MakeFolderLink;
using testing_support::TestFolder;

namespace {

// Notes every window operation as one line of text.
class RecordingWindow : public sweepstone::RemovalWindow {
public:
    std::vector<std::string> events;

    void SetMessageText(const std::string& t) override { events.push_back("message:" + t); }
    void HideMessage() override { events.push_back("hide-message"); }
    // Called as each value comes up, before it is judged: another program's moment.
    std::function<void(const std::string& status)> onStatus;

    void SetStatusText(const std::string& t) override {
        events.push_back("status:" + t);
        if (onStatus)
            onStatus(t);
    }
    void ShowProgress() override { events.push_back("show-progress"); }
    void SetProgress(int p) override { events.push_back("progress:" + std::to_string(p)); }
    void HideProgress() override { events.push_back("hide-progress"); }
    void StopTimer() override { events.push_back("stop-timer"); }
    void SetFinishButtonCaption(const std::string& t) override { events.push_back("caption:" + t); }
    void RestoreCursor() override { events.push_back("cursor"); }
    void ShowInformation(const std::string& caption, const std::string& text) override {
        events.push_back("info:" + caption + "|" + text);
    }

    std::vector<int> Positions() const {
        std::vector<int> out;
        for (const auto& e : events) {
            if (e.rfind("progress:", 0) == 0)
                out.push_back(std::stoi(e.substr(9)));
        }
        return out;
    }
    std::vector<std::string> Statuses() const {
        std::vector<std::string> out;
        for (const auto& e : events) {
            if (e.rfind("status:", 0) == 0)
                out.push_back(e.substr(7));
        }
        return out;
    }
    std::string Information() const {
        for (const auto& e : events) {
            if (e.rfind("info:", 0) == 0)
                return e.substr(5);
        }
        return {};
    }
};

namespace {

// The report as text, for failure messages.
std::string Dump(const sweepstone::RemovalReport& report) {
    std::string out;
    for (const auto& item : report.items)
        out += std::to_string(static_cast<int>(item.outcome)) + " " + item.item + " | " +
               item.reason + "\n";
    return out;
}

} // namespace

#ifdef _WIN32
// What record_run_file.exe, started by the desktop's shell, recorded beside the
// test's folder: the folder, its parameter text.
void ExpectRunRecord(const TestFolder& t) {
    const std::string record = platform::ParentOf(t.Path("x")) + ".run-record.txt";
    std::string text;
    std::error_code failure = platform::ReadWholeFile(record, text);
    for (int i = 0; i < 150 && failure; ++i) {
        Sleep(100);
        failure = platform::ReadWholeFile(record, text);
    }
    platform::RemoveFile(record);
    EXPECT_EQ(failure ? "<missing>" : text, t.Base());
}
#endif

class Removal : public ::testing::Test {
protected:
    void SetUp() override {
        state.BaseFolder = t.Base();
        state.LogFileName = "Uninstall.log";
        state.PictureFileName = "Uninstall.jpg";
        state.CheckReportFileName = "Uninstall-check.txt";
        state.ProductName = "Sample Airport X";
#ifdef _WIN32
        // A key of this test's own, named after its folder.
        keyRoot = "SOFTWARE\\BrightmereTest\\" + platform::NameOf(platform::ParentOf(t.Path("x")));
#else
        setenv("BRIGHTMERE_REGISTRY_ROOT", t.Path("registry").c_str(), 1);
        setenv("BRIGHTMERE_SHELL_RECORD", t.Path("shell.txt").c_str(), 1);
        keyRoot = "SOFTWARE\\BrightmereTest";
#endif
        safety.folders.Add({t.Path("Protected"), Reach::ItselfAndAbove, "a system folder"});
    }
    void TearDown() override {
        platform::DeleteMachineKeyTree(keyRoot);
    }

    void Log(const std::string& text) {
        t.Write("Uninstall.log", text);
    }

    sweepstone::RemovalReport Run() {
        return sweepstone::Timer1Timer(state, window, safety);
    }

    TestFolder t;
    WizardState state;
    RecordingWindow window;
    sweepstone::RemovalSafety safety;
    std::string keyRoot;
};

// A scenery library of four areas. A removed area's blank line stays behind, as
// the profile functions leave it.
const std::string kHead = "[General]\r\nTitle=FS Scenery\r\nLocal=Scenery\r\n\r\n";
const std::string kArea1 = "[Area.001]\r\nTitle=Default Terrain\r\nLayer=1\r\n";
const std::string kArea2 = "[Area.002]\r\nTitle=Sample Airport X\r\nLayer=2\r\n";
const std::string kArea3 = "[Area.003]\r\nTitle=Other Field\r\nLayer=3\r\n";
const std::string kArea4 = "[Area.004]\r\nTitle=Sample Airport X Mesh\r\nLayer=4\r\n";
const std::string kScenery = kHead + kArea1 + "\r\n" + kArea2 + "\r\n" + kArea3 + "\r\n" + kArea4;
const std::string kSceneryWithout2 = kHead + kArea1 + "\r\n" + "\r\n" + kArea3 + "\r\n" + kArea4;

} // namespace

namespace {

void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

// Beside a Windows test program, the sandbox runner puts the test library and the
// run file into its data folder.
[[maybe_unused]] std::string HelperFolder() {
    const std::string exe = platform::ProgramPath();
    return platform::FolderOf(exe) + "data\\";
}

std::string TestLibrary() {
#ifdef BRIGHTMERE_TEST_ENTRY_LIBRARY
    return BRIGHTMERE_TEST_ENTRY_LIBRARY;
#else
    return HelperFolder() + "sweepstone_test_entry.dll";
#endif
}

} // namespace

TEST_F(Removal, ALogWithoutSectionsStepsThroughEveryPosition) {
    Log("[General]\r\nName=Sample Airport X\r\n");
    t.Write("Uninstall.jpg", "picture");
    const auto report = Run();
    const auto left = sweepstone::LeftItemLines(report);
    EXPECT_TRUE(left.empty());
    const std::vector<std::string> start = {
        "message:The Install Wizard is moving Sample Airport X.",
        "status:Deleting files...pleas wait", "show-progress", "stop-timer"};
    ASSERT_GE(window.events.size(), start.size());
    EXPECT_TRUE(std::equal(start.begin(), start.end(), window.events.begin()));
    EXPECT_EQ(window.Positions(), (std::vector<int>{5, 10, 15, 20, 40, 50, 60, 80, 90, 95, 100}));
    const std::vector<std::string> finish = {
        "cursor",
        "caption:Finish",
        "progress:100",
        "hide-progress",
        "status:The Sample Airport X are removed from your system! Click Finish to exit the "
        "Uninstall wizard.",
        "hide-message"};
    EXPECT_TRUE(std::equal(finish.rbegin(), finish.rend(), window.events.rbegin()));
    EXPECT_FALSE(t.Has("Uninstall.log"));
    EXPECT_FALSE(t.Has("Uninstall.jpg"));
    EXPECT_TRUE(state.RemovalDone);
}

TEST_F(Removal, AMissingLogOnlyFinishes) {
    t.Write("Uninstall.jpg", "picture");
    t.Write("Error", "a file named like the old default run file");
    const auto report = Run();
    const auto left = sweepstone::LeftItemLines(report);
    EXPECT_TRUE(left.empty());
    EXPECT_EQ(window.Positions(), (std::vector<int>{5, 10, 15, 20, 40, 50, 60, 80, 90, 95, 100}));
    EXPECT_FALSE(t.Has("Uninstall.jpg"));
    EXPECT_TRUE(t.Has("Error"));
    EXPECT_EQ(t.Read("shell.txt"), "<missing>");
}

TEST_F(Removal, RemovesWhatALogOfEverySectionNames) {
    t.Write("Product\\Scenery\\a.bgl", "a");
    t.Write("Product\\Texture\\b.bmp", "b");
    t.Write("Shared Library\\lib.bgl", "shared");
    t.Write("Effects\\sample_lights.fx", "fx");
    t.Write("Effects\\other.fx", "keep");
    t.Write("Menu\\Sample Airport X\\Manual.lnk", "lnk");
    t.Write("Sim\\Scenery.cfg", kScenery);
    t.Write("World\\APX45170.off", "off");
    t.Write("World\\APX45171.bgl.off_dex", "dex");
    t.Write("Uninstall.jpg", "picture");
    t.Write("Uninstall-check.txt", "a check of the log");
    ASSERT_FALSE(platform::CreateMachineKey(keyRoot + "\\Sample\\Sub\\Deeper"));
    ASSERT_FALSE(platform::CreateMachineKey(keyRoot + "\\Sample\\Other Sub"));
    ASSERT_FALSE(platform::CreateMachineKey(keyRoot + "\\Other"));
    const std::string lib = TestLibrary();
    ASSERT_TRUE(platform::FilePresent(lib)) << lib;
    SetEnvironment("BRIGHTMERE_TEST_ENTRY_RECORD", t.Path("calls.txt"));
#ifdef _WIN32
    const std::string runFile = HelperFolder() + "record_run_file.exe";
#else
    const std::string runFile = t.Path("Readme.txt");
    t.Write("Readme.txt", "thanks");
#endif
    Log("[General]\r\nName=Sample Airport X\r\n"
        "[Run]\r\nRun-File=" +
        runFile +
        "\r\n"
        "[Path]\r\nP1=" +
        t.Path("Product") +
        "\r\n"
        "[File]\r\nF1=" +
        t.Path("Effects\\sample_lights.fx") +
        "\r\n"
        "[ShortCut]\r\nS1=" +
        t.Path("Menu\\Sample Airport X") +
        "\r\n"
        "[Registry]\r\nR1=\\" +
        keyRoot +
        "\\Sample\r\n"
        "[Scenery.cfg]\r\nPath=" +
        t.Path("Sim\\Scenery.cfg") +
        "\r\nT1=Sample Airport X\r\n"
        "[Rename_File]\r\nN1=" +
        t.Path("World\\APX45170") +
        "\r\n"
        "[Rename_File_DEX]\r\nN1=" +
        t.Path("World\\APX45171") +
        "\r\n"
        "[Shared-Folder-Option]\r\nO1=" +
        t.Path("No Other Product") +
        "\r\n"
        "[Shared-Folder]\r\nS1=" +
        t.Path("Shared Library") +
        "\r\n"
        "[Shared_Scenery.cfg]\r\nT1=Sample Airport X Mesh\r\n"
        "[DLL_RUN]\r\nD1=" +
        lib +
        "@Unregister@Sample Airport X@@\r\n"
        "[DLL_RUN_SHARED]\r\nD1=" +
        lib + "@Cleanup@shared\r\n");
    const auto report = Run();
    const auto left = sweepstone::LeftItemLines(report);
    SetEnvironment("BRIGHTMERE_TEST_ENTRY_RECORD", "");

    EXPECT_TRUE(left.empty()) << left.front();
    // Every item acted on is recorded as removed, in the order of the steps.
    using sweepstone::Outcome;
    const std::string library = t.Path("Sim\\") + "Scenery.cfg";
    const std::vector<sweepstone::ReportItem> removed = {
        {Outcome::Removed, library + ": Sample Airport X", ""},
        {Outcome::Removed, library + ": Sample Airport X Mesh", ""},
        {Outcome::Removed, "HKEY_LOCAL_MACHINE\\" + keyRoot + "\\Sample", ""},
        {Outcome::Removed, t.Canonical("Product"), ""},
        {Outcome::Removed, t.Canonical("Shared Library"), ""},
        {Outcome::Removed, t.Canonical("Effects\\sample_lights.fx"), ""},
        {Outcome::Removed, t.Canonical("Menu\\Sample Airport X"), ""},
        {Outcome::Removed, t.Canonical("Menu"), "empty parent"},
        {Outcome::Removed, t.Canonical("World\\APX45170.off"), ""},
        {Outcome::Removed, t.Canonical("World\\APX45171.bgl.off_dex"), ""},
        {Outcome::Removed, t.Base() + "Uninstall.log", ""},
        {Outcome::Removed, t.Base() + "Uninstall.jpg", ""},
        {Outcome::Removed, t.Base() + "Uninstall-check.txt", ""},
        {Outcome::Opened, platform::CanonicalFullPath(runFile).path, ""}};
    EXPECT_EQ(report.items, removed);
    EXPECT_FALSE(platform::FolderPresent(t.Path("Product")));
    EXPECT_FALSE(platform::FolderPresent(t.Path("Shared Library")));
    EXPECT_FALSE(t.Has("Effects\\sample_lights.fx"));
    EXPECT_TRUE(t.Has("Effects\\other.fx"));
    EXPECT_FALSE(platform::FolderPresent(t.Path("Menu\\Sample Airport X")));
    EXPECT_FALSE(platform::FolderPresent(t.Path("Menu"))) << "emptied, so it goes too";
    EXPECT_FALSE(platform::MachineKeyExists(keyRoot + "\\Sample"));
    EXPECT_TRUE(platform::MachineKeyExists(keyRoot + "\\Other"));
    EXPECT_EQ(t.Read("Sim\\Scenery.cfg"), kHead + kArea1 + "\r\n" + "\r\n" + kArea3 + "\r\n");
    EXPECT_EQ(t.Read("Sim\\Backup_of_scenery_cfg_(Sample Airport X).cfg"), kScenery);
    EXPECT_EQ(t.Read("World\\APX45170.bgl"), "off");
    EXPECT_EQ(t.Read("World\\APX45171.bgl"), "dex");
    EXPECT_FALSE(t.Has("World\\APX45170.off"));
    EXPECT_FALSE(t.Has("Uninstall.log"));
    EXPECT_FALSE(t.Has("Uninstall-check.txt"));
    EXPECT_FALSE(t.Has("Uninstall.jpg"));
    EXPECT_EQ(t.Read("calls.txt"), "Unregister|Sample Airport X|<null>|<null>\n"
                                   "Cleanup|shared|<null>|<null>\n");
#ifdef _WIN32
    ExpectRunRecord(t);
#else
    EXPECT_EQ(t.Read("shell.txt"), runFile + "\t" + t.Base() + "\n");
#endif

    // Every listed value is shown before it is handled, in the order of the steps.
    const std::vector<std::string> expected = {
        "Deleting files...pleas wait",
        "Checking scenery.cfg...",
        "Checking scenery.cfg...",
        "Checking scenery.cfg...",
        "\\" + keyRoot + "\\Sample",
        t.Path("Product"),
        t.Path("Shared Library"),
        t.Path("Effects\\sample_lights.fx"),
        t.Path("Menu\\Sample Airport X"),
        t.Path("World\\APX45170"),
        t.Path("World\\APX45171"),
        "The Sample Airport X are removed from your system! Click Finish to exit the "
        "Uninstall wizard."};
    EXPECT_EQ(window.Statuses(), expected);
    EXPECT_EQ(window.Positions(), (std::vector<int>{5, 10, 15, 20, 40, 50, 60, 80, 90, 95, 100}));
    EXPECT_EQ(window.Information(), "");
}

TEST_F(Removal, KeepsSharedItemsWhileAnotherProductUsesThem) {
    for (bool inUse : {true, false}) {
        TestFolder u;
        state.BaseFolder = u.Base();
        window.events.clear();
        u.Write("Shared\\lib.bgl", "shared");
        u.Write("Mine\\own.bgl", "mine");
        u.Write("Sim\\Scenery.cfg", kScenery);
        if (inUse)
            u.MakeFolder("Other Product");
        u.Write("Uninstall.log", "[General]\r\nName=Sample Airport X\r\n"
                                 "[Shared-Folder-Option]\r\nO1=" +
                                     u.Path("Other Product") +
                                     "\r\n"
                                     "[Shared-Folder]\r\nS1=" +
                                     u.Path("Shared") +
                                     "\r\n"
                                     "[Path]\r\nP1=" +
                                     u.Path("Mine") +
                                     "\r\n"
                                     "[Scenery.cfg]\r\nPath=" +
                                     u.Path("Sim\\Scenery.cfg") +
                                     "\r\n"
                                     "[Shared_Scenery.cfg]\r\nT1=Sample Airport X\r\n");
        EXPECT_TRUE(sweepstone::LeftItemLines(Run()).empty());
        EXPECT_EQ(platform::FolderPresent(u.Path("Shared")), inUse);
        EXPECT_FALSE(platform::FolderPresent(u.Path("Mine")));
        EXPECT_EQ(u.Read("Sim\\Scenery.cfg"), inUse ? kScenery : kSceneryWithout2);
        const std::vector<int> positions =
            inUse ? std::vector<int>{5, 10, 20, 40, 60, 80, 90, 95, 100}
                  : std::vector<int>{5, 10, 15, 20, 40, 50, 60, 80, 90, 95, 100};
        EXPECT_EQ(window.Positions(), positions) << "in use: " << inUse;
    }
}

TEST_F(Removal, LeavesWhatIsNotOfTheNamedKind) {
    t.Write("NotAFolder.txt", "file");
    t.MakeFolder("NotAFile");
    t.Write("NotAFile\\inside.txt", "x");
    Log("[Path]\r\nP1=" + t.Path("NotAFolder.txt") +
        "\r\n[ShortCut]\r\nS1=" + t.Path("NotAFolder.txt") +
        "\r\n[File]\r\nF1=" + t.Path("NotAFile") + "\r\nF2=\r\n[Path]\r\nP9=\r\n");
    EXPECT_TRUE(sweepstone::LeftItemLines(Run()).empty());
    EXPECT_TRUE(t.Has("NotAFolder.txt"));
    EXPECT_TRUE(t.Has("NotAFile\\inside.txt"));
}

TEST_F(Removal, ReportsARenameWhoseNameIsTaken) {
    t.Write("World\\APX.off", "off");
    t.Write("World\\APX.bgl", "bgl");
    Log("[General]\r\nName=Sample Airport X\r\n[Rename_File]\r\nN1=" + t.Path("World\\APX") +
        "\r\n");
    const auto report = Run();
    const auto left = sweepstone::LeftItemLines(report);
    ASSERT_EQ(left, std::vector<std::string>{t.Canonical("World\\APX.off") + " (" +
                                             t.Canonical("World\\APX.bgl") +
                                             " is taken or cannot be written)"});
    EXPECT_EQ(report.Count(sweepstone::Outcome::Left), 1u);
    EXPECT_EQ(t.Read("World\\APX.off"), "off");
    EXPECT_EQ(t.Read("World\\APX.bgl"), "bgl");
    EXPECT_EQ(window.Statuses().back(),
              "The Sample Airport X could not be removed completely: 1 items are left. Click "
              "Finish to exit the Uninstall wizard.");
    EXPECT_EQ(window.Information(), "Information|These items could not be removed:\r\n" + left[0]);
    // The message box comes after the labels are drawn.
    EXPECT_EQ(window.events.back().rfind("info:", 0), 0u);
    EXPECT_TRUE(state.RemovalDone);
}

TEST_F(Removal, RefusesValuesThatNameSystemFoldersOrWholeHives) {
    t.Write("Protected\\precious.txt", "keep");
    t.Write("Protected\\Inner\\deep.txt", "keep");
    t.Write("Protected\\switched.off", "off");
    t.Write("Protected\\dex.bgl.off_dex", "dex");
    safety.folders.Add({t.Path("Protected"), Reach::Everything, "a system folder"});
    ASSERT_FALSE(platform::CreateMachineKey(keyRoot + "\\Keep"));
    Log("[General]\r\nName=Sample Airport X\r\n"
        "[Path]\r\nP1=" +
        t.Path("Protected") + "\r\nP2=\\??\\" + t.Path("Protected") +
        "\r\n"
        "[Shared-Folder]\r\nS1=" +
        t.Base() +
        "\r\n"
        "[ShortCut]\r\nS1=" +
        t.Path("Protected\\Inner\\..") +
        "\r\n"
        "[Registry]\r\nR1=SOFTWARE\r\nR2=\\SOFTWARE\\\r\n"
        // Spellings that the system may read otherwise than the rules do: refused by
        // their form, whatever they name.
        "[File]\r\nF1=\\??\\" +
        t.Path("Protected\\precious.txt") + "\r\nF2=" + t.Path("Protected\\precious.txt::$DATA") +
        "\r\nF3=" + t.Path("Protected\\NUL") +
        "\r\nF4=Protected\\precious.txt\r\nF5=" + t.Path("Protected\\...\\precious.txt") +
        "\r\n"
        // Renames in a system folder, and by spellings that the rules refuse.
        "[Rename_File]\r\nN1=" +
        t.Path("Protected\\switched") + "\r\nN2=\\??\\" + t.Path("Protected\\switched") +
        "\r\n[Rename_File_DEX]\r\nN1=" + t.Path("Protected\\dex") + "\r\nN2=Protected\\dex\r\n");
    const auto report = Run();
    const auto left = sweepstone::LeftItemLines(report);
    EXPECT_TRUE(t.Has("Protected\\precious.txt"));
    EXPECT_TRUE(t.Has("Protected\\Inner\\deep.txt"));
    EXPECT_TRUE(platform::MachineKeyExists(keyRoot + "\\Keep"));
    EXPECT_EQ(t.Read("Protected\\switched.off"), "off");
    EXPECT_EQ(t.Read("Protected\\dex.bgl.off_dex"), "dex");
    EXPECT_FALSE(t.Has("Protected\\switched.bgl"));
    EXPECT_FALSE(t.Has("Protected\\dex.bgl"));
    ASSERT_EQ(left.size(), 15u) << Dump(report);
    EXPECT_EQ(report.Count(sweepstone::Outcome::Refused), 15u);
    for (const auto& item : left)
        EXPECT_NE(item.find(" (refused: "), std::string::npos) << item;
    EXPECT_NE(window.Information().find("HKEY_LOCAL_MACHINE\\SOFTWARE (refused: "),
              std::string::npos);
}

TEST_F(Removal, EditsTheSceneryLibraryOnlyAfterItsBackup) {
    t.Write("Sim\\Scenery.cfg", kScenery);
    // A folder where the backup should go: the copy cannot be made.
    t.MakeFolder("Sim\\Backup_of_scenery_cfg_(Sample Airport X).cfg");
    Log("[General]\r\nName=Sample Airport X\r\n"
        "[Scenery.cfg]\r\nT0=Sample Airport X\r\nPath=" +
        t.Path("Sim\\Scenery.cfg") + "\r\nT1=Sample Airport X\r\n");
    const auto report = Run();
    const auto left = sweepstone::LeftItemLines(report);
    EXPECT_EQ(t.Read("Sim\\Scenery.cfg"), kScenery);
    ASSERT_EQ(left.size(), 2u); // the title before "Path", and the one without a backup
    EXPECT_NE(left[0].find("no scenery library"), std::string::npos) << left[0];
    EXPECT_NE(left[1].find("no backup"), std::string::npos) << left[1];
    EXPECT_EQ(window.Positions().at(1), 10);
}

// Titles that hold a default area's title ("Las Vegas" in "Las Vegas Airport X")
// leave that area, which is listed as refused, however its Local folder is written;
// a title that no area has is listed as not found, never as removed.
TEST_F(Removal, KeepsTheSimulatorsAreasAndSaysWhichTitlesWereNotFound) {
    const std::string vegas =
        "[Area.005]\r\nTitle=Las Vegas\r\nLocal=Scenery\\Cities\\LasVegas\r\n";
    const std::string reno =
        "[Area.006]\r\nTitle=Reno\r\nLocal=" + t.Path("Sim\\Scenery\\Cities\\Reno") + "\r\n";
    const std::string own = "[Area.007]\r\nTitle=Las Vegas Airport X\r\nLocal=Addon "
                            "Scenery\\Las Vegas Airport X\r\n";
    t.Write("Sim\\Scenery.cfg", kScenery + "\r\n" + vegas + reno + own);
    safety.simulatorRoots = {t.Path("Sim")};
    Log("[General]\r\nName=Las Vegas Airport X\r\n[Scenery.cfg]\r\nPath=" +
        t.Path("Sim\\Scenery.cfg") + "\r\nT1=Las Vegas Airport X at Reno\r\nT2=No Such Area\r\n");
    const auto report = Run();
    const std::string library = t.Path("Sim\\") + "Scenery.cfg";
    using sweepstone::Outcome;
    const std::vector<sweepstone::ReportItem> scenery(report.items.begin(),
                                                      report.items.begin() + 4);
    EXPECT_EQ(scenery,
              (std::vector<sweepstone::ReportItem>{
                  {Outcome::Refused, library + ": Las Vegas", "default area of the simulator"},
                  {Outcome::Refused, library + ": Reno", "default area of the simulator"},
                  {Outcome::Removed, library + ": Las Vegas Airport X at Reno", ""},
                  {Outcome::NotFound, library + ": No Such Area", "no area has this title"}}));
    EXPECT_EQ(t.Read("Sim\\Scenery.cfg"), kScenery + "\r\n" + vegas + reno);
    EXPECT_EQ(sweepstone::ExitCodeFor(report), sweepstone::kExitItemsLeft);
}

TEST_F(Removal, KeepsOneBackupPerProduct) {
    t.Write("Sim\\Scenery.cfg", kScenery);
    for (const char* product : {"Alpha: Field", "Beta \"Port\"", "Alpha: Field"}) {
        state.ProductName = product;
        Log("[Scenery.cfg]\r\nPath=" + t.Path("Sim\\Scenery.cfg") + "\r\nT1=" + product + "\r\n");
        EXPECT_TRUE(sweepstone::LeftItemLines(Run()).empty());
    }
    EXPECT_TRUE(t.Has("Sim\\Backup_of_scenery_cfg_(Alpha_ Field).cfg"));
    EXPECT_TRUE(t.Has("Sim\\Backup_of_scenery_cfg_(Beta _Port_).cfg"));
    // The second run of the same product keeps the first backup and adds its own.
    EXPECT_TRUE(t.Has("Sim\\Backup_of_scenery_cfg_(Alpha_ Field) (2).cfg"));
}

TEST_F(Removal, NeverOverwritesABackup) {
    t.Write("Sim\\Scenery.cfg", kScenery);
    const std::string titles[] = {"Sample Airport X", "Other Field", "Sample Airport X Mesh"};
    for (const std::string& title : titles) {
        Log("[Scenery.cfg]\r\nPath=" + t.Path("Sim\\Scenery.cfg") + "\r\nT1=" + title + "\r\n");
        Run();
    }
    const std::string stem = "Sim\\Backup_of_scenery_cfg_(Sample Airport X)";
    EXPECT_EQ(t.Read(stem + ".cfg"), kScenery); // the untouched library
    EXPECT_EQ(t.Read(stem + " (2).cfg"), kSceneryWithout2);
    EXPECT_EQ(t.Read(stem + " (3).cfg"), kHead + kArea1 + "\r\n" + "\r\n" + "\r\n" + kArea4);
    EXPECT_FALSE(t.Has(stem + " (4).cfg"));
}

TEST_F(Removal, AnUnwritableSceneryLibraryEndsItsStep) {
    t.Write("Sim\\Scenery.cfg", kScenery);
    ASSERT_FALSE(platform::SetReadOnly(t.Path("Sim\\Scenery.cfg"), true));
    t.Write("Product\\a.bgl", "a");
    Log("[Scenery.cfg]\r\nPath=" + t.Path("Sim\\Scenery.cfg") +
        "\r\nT1=Sample Airport X\r\nT2=Other Field\r\n[Path]\r\nP1=" + t.Path("Product") + "\r\n");
    const auto report = Run();
    const auto left = sweepstone::LeftItemLines(report);
    platform::SetReadOnly(t.Path("Sim\\Scenery.cfg"), false);
    EXPECT_EQ(t.Read("Sim\\Scenery.cfg"), kScenery);
    // The failed title and the one the step no longer reached.
    const std::string library = t.Path("Sim\\") + "Scenery.cfg";
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].rfind(
                  library + ": Sample Airport X (the library could not be read or written: ", 0),
              0u)
        << left[0];
    EXPECT_EQ(left[1], library + ": Other Field (not reached)");
    // The step ended before its position; the steps after it ran.
    EXPECT_EQ(window.Positions(), (std::vector<int>{5, 15, 20, 40, 50, 60, 80, 90, 95, 100}));
    EXPECT_FALSE(platform::FolderPresent(t.Path("Product")));
}

TEST(FinalListText, ListsAtMostTwentyItems) {
    sweepstone::RemovalReport report;
    for (int i = 1; i <= 21; ++i)
        report.Add(sweepstone::Outcome::Left, "item " + std::to_string(i));
    const std::string text = sweepstone::FinalListText(report);
    EXPECT_EQ(text.rfind("These items could not be removed:\r\nitem 1\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\nitem 20\r\n..."), std::string::npos);
    EXPECT_EQ(text.find("item 21"), std::string::npos);
}

TEST(SceneryBackupName, ReplacesCharactersWindowsForbids) {
    EXPECT_EQ(sweepstone::SceneryBackupName("Sample Airport X"),
              "Backup_of_scenery_cfg_(Sample Airport X).cfg");
    EXPECT_EQ(sweepstone::SceneryBackupName("a\\b/c:d*e?f\"g<h>i|j"),
              "Backup_of_scenery_cfg_(a_b_c_d_e_f_g_h_i_j).cfg");
}

#ifndef _WIN32
TEST_F(Removal, OpensTheRunFileWithTheWizardsFolder) {
    t.Write("Readme.txt", "thanks");
    Log("[Run]\r\nRun-File=" + t.Path("Readme.txt") + "\r\n");
    Run();
    EXPECT_EQ(t.Read("shell.txt"),
              platform::FullPathName(t.Path("Readme.txt")) + "\t" + t.Base() + "\n");
}
#endif

// The [Run] file: what is opened, and the reason in the report when it is not.
TEST_F(Removal, OpensTheRunFileOnlyThroughTheDesktopShellOfAWindowRun) {
    using sweepstone::Outcome;
    safety.folders.Add({t.Path("System"), Reach::Everything, "a system file"});
    t.Write("Readme.txt", "thanks");
    t.Write("System\\notepad.exe", "system");
    t.MakeFolder("Folder");
    const std::error_code denied = std::make_error_code(std::errc::permission_denied);
    enum class Shell { Present, Absent, AbsentWithReason, Fails };
    struct Case {
        const char* value; // relative to the test folder unless it starts with "="
        bool windowShown;
        Shell shell;
        Outcome outcome;
        std::string reason; // "refused: ..." is matched as a prefix
    };
    const Case cases[] = {
        {"Readme.txt", true, Shell::Present, Outcome::Opened, ""},
        {"Readme.txt", false, Shell::Present, Outcome::NotOpened, "quiet run"},
        {"Readme.txt", false, Shell::Absent, Outcome::NotOpened, "quiet run"},
        {"Readme.txt", true, Shell::Absent, Outcome::NotOpened, "no desktop shell"},
        {"Readme.txt", true, Shell::AbsentWithReason, Outcome::NotOpened,
         "no desktop shell: " + platform::ErrorText(denied)},
        {"Readme.txt", true, Shell::Fails, Outcome::NotOpened, platform::ErrorText(denied)},
        {"System\\notepad.exe", true, Shell::Present, Outcome::NotOpened, "refused: "},
        {"System\\notepad.exe", false, Shell::Present, Outcome::NotOpened, "refused: "},
        {"=Readme.txt", true, Shell::Present, Outcome::NotOpened, "refused: "}, // relative
        {"Gone.txt", true, Shell::Present, Outcome::NotOpened, "not an existing file"},
        {"Gone.txt", false, Shell::Absent, Outcome::NotOpened, "not an existing file"},
        {"Folder", true, Shell::Present, Outcome::NotOpened, "not an existing file"},
    };
    for (const Case& c : cases) {
        const std::string value = c.value[0] == '=' ? std::string(c.value + 1) : t.Path(c.value);
        std::vector<std::string> asked;
        const auto open = [&](const std::string& file, const std::string& parameters) {
            asked.push_back(file + "|" + parameters);
            if (c.shell == Shell::Present)
                return platform::DesktopOpen{true, {}};
            if (c.shell == Shell::Fails)
                return platform::DesktopOpen{true, denied};
            return platform::DesktopOpen{false,
                                         c.shell == Shell::Absent ? std::error_code() : denied};
        };
        const std::optional<sweepstone::ReportItem> item =
            sweepstone::OpenRunFile(value, t.Base(), c.windowShown, safety, "", open);
        ASSERT_TRUE(item) << value;
        EXPECT_EQ(item->outcome, c.outcome) << value;
        EXPECT_EQ(
            item->reason.substr(0, c.reason.rfind("refused: ", 0) == 0 ? 9 : std::string::npos),
            c.reason)
            << value;
        const bool reachesTheShell = c.windowShown && c.reason.rfind("refused", 0) != 0 &&
                                     c.reason != "not an existing file";
        EXPECT_EQ(asked, reachesTheShell
                             ? std::vector<std::string>{t.Canonical(c.value) + "|" + t.Base()}
                             : std::vector<std::string>{})
            << value;
    }
    EXPECT_FALSE(sweepstone::OpenRunFile(" ", t.Base(), true, safety, "", nullptr));
}

TEST_F(Removal, CallsLibraryEntryPointsWithTheirOwnFieldsOnly) {
    SetEnvironment("BRIGHTMERE_TEST_ENTRY_RECORD", t.Path("calls.txt"));
    const std::string lib = TestLibrary();
    ASSERT_TRUE(platform::FilePresent(lib)) << lib;
    Log("[DLL_RUN]\r\n"
        "D1=" +
        lib +
        "@Unregister@Sample Airport X@second@third\r\n"
        "D2=" +
        lib +
        "@Unregister\r\n" // no text fields: three nulls
        "D3=" +
        lib +
        "@Cleanup@@only second@\r\n" // empty fields are nulls
        "D4=" +
        lib +
        "@Unregister@a@b@c@too many\r\n" // malformed: skipped
        "D5=" +
        lib +
        "@NoSuchEntry@a\r\n" // missing entry point: passed over
        "D6=" +
        t.Path("missing.so") +
        "@Unregister@a\r\n"
        "D7=" +
        lib +
        "@Cleanup@last\r\n"
        "[DLL_RUN_SHARED]\r\nD1=" +
        lib + "@Cleanup@shared\r\n");
    const auto report = Run();
    const auto left = sweepstone::LeftItemLines(report);
    EXPECT_TRUE(left.empty()); // library calls are not counted
    EXPECT_EQ(t.Read("calls.txt"), "Unregister|Sample Airport X|second|third\n"
                                   "Unregister|<null>|<null>|<null>\n"
                                   "Cleanup|<null>|only second|<null>\n"
                                   "Cleanup|last|<null>|<null>\n"
                                   "Cleanup|shared|<null>|<null>\n");
}

#ifndef _WIN32
TEST_F(Removal, AFaultInALibraryEndsOnlyItsStep) {
    SetEnvironment("BRIGHTMERE_TEST_ENTRY_RECORD", t.Path("calls.txt"));
    const std::string lib = TestLibrary();
    Log("[DLL_RUN]\r\nD1=" + lib + "@Fault@first\r\nD2=" + lib +
        "@Cleanup@skipped\r\n"
        "[DLL_RUN_SHARED]\r\nD1=" +
        lib + "@Cleanup@shared\r\n");
    Run();
    EXPECT_EQ(t.Read("calls.txt"), "Fault|first|<null>|<null>\nCleanup|shared|<null>|<null>\n");
    EXPECT_EQ(window.Positions().front(), 5);
    SetEnvironment("BRIGHTMERE_TEST_ENTRY_RECORD", "");
}
#endif

// Every kind of fault inside a called entry point ends only the library step: the
// call after it in [DLL_RUN] does not run, [DLL_RUN_SHARED] and every later step do,
// the removal finishes, and the fault is listed with its code. The cases run one
// after the other in this one process; the stack overflow comes twice, so the
// second is caught only when the first left the stack's guard in place again.
TEST_F(Removal, AFaultOfAnyKindInsideALibraryEndsOnlyItsStep) {
#ifdef _WIN32
    const char* const overflow = "fault 0xC00000FD, stack overflow";
#else
    const char* const overflow = "fault 0xC0000005, access violation"; // SIGSEGV
#endif
    const struct {
        const char* entry;
        std::string fault;
    } cases[] = {
        {"AccessViolation", "fault 0xC0000005, access violation"},
        {"IllegalInstruction", "fault 0xC000001D, illegal instruction"},
        {"StackOverflow", overflow},
        {"DivideByZero", "fault 0xC0000094, division by zero"},
        {"CppException", "fault 0xE06D7363, C++ exception"},
        {"StackOverflow", overflow},
        {"AccessViolation", "fault 0xC0000005, access violation"},
    };
#if defined(_WIN64)
    // Wine ends a 64-bit process whose stack overflows before any handler runs (it
    // leaves the handler too little stack), so that the cases after it would
    // silently never run; Windows runs the guard's handler on the stack's reserve.
    const bool overflowEndsTheProcess =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
#else
    const bool overflowEndsTheProcess = false;
#endif
    const std::string lib = TestLibrary();
    SetEnvironment("BRIGHTMERE_TEST_ENTRY_RECORD", t.Path("calls.txt"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        if (overflowEndsTheProcess && std::string(c.entry) == "StackOverflow")
            continue;
        t.Write("Product\\file.txt", "product");
        Log("[DLL_RUN]\r\nD1=" + lib + "@" + c.entry + "@first\r\nD2=" + lib +
            "@Cleanup@skipped\r\n[DLL_RUN_SHARED]\r\nD1=" + lib +
            "@Cleanup@shared\r\n[Path]\r\nP1=" + t.Path("Product") + "\r\n");
        state.RemovalDone = false;
        window.events.clear();
        const sweepstone::RemovalReport report = Run();
        EXPECT_EQ(t.Read("calls.txt"),
                  std::string(c.entry) + "|first|<null>|<null>\nCleanup|shared|<null>|<null>\n");
        EXPECT_EQ(report.Count(sweepstone::Outcome::Left), 1u);
        EXPECT_NE(std::find(report.items.begin(), report.items.end(),
                            sweepstone::ReportItem{sweepstone::Outcome::Left,
                                                   "library call " + lib + "@" + c.entry, c.fault}),
                  report.items.end());
        EXPECT_FALSE(platform::FolderPresent(t.Path("Product")));
        EXPECT_TRUE(state.RemovalDone);
        EXPECT_EQ(window.Positions().back(), 100);
        platform::RemoveFile(t.Path("calls.txt"));
    }
    SetEnvironment("BRIGHTMERE_TEST_ENTRY_RECORD", "");
}

TEST(FaultText, NamesTheKnownCodesAndShowsAnyOther) {
    EXPECT_EQ(sweepstone::FaultText(0xC0000005), "fault 0xC0000005, access violation");
    EXPECT_EQ(sweepstone::FaultText(0xE06D7363), "fault 0xE06D7363, C++ exception");
    EXPECT_EQ(sweepstone::FaultText(0x80000003), "fault 0x80000003");
}

#ifdef _WIN32
TEST_F(Removal, StartsTheRunFileWithTheWizardsFolderAsItsParameters) {
    const std::string runFile = HelperFolder() + "record_run_file.exe";
    ASSERT_TRUE(platform::FilePresent(runFile)) << runFile;
    Log("[Run]\r\nRun-File=" + runFile + "\r\n");
    Run();
    // The shell starts the program and returns at once.
    ExpectRunRecord(t);
}
#endif

TEST(FinalText, SaysWhatTheNextRestartCompletes) {
    using sweepstone::Outcome;
    sweepstone::RemovalReport report;
    report.Add(Outcome::Removed, "C:\\Sim\\Product");
    EXPECT_EQ(sweepstone::FinalText("X", report), sweepstone::RemovedText("X"));
    EXPECT_EQ(sweepstone::FinalListText(report), "");
    report.Add(Outcome::AtRestart, "C:\\Sim\\Modules\\x.dll", "in use");
    EXPECT_EQ(sweepstone::FinalText("X", report),
              "The X are removed from your system, except for 1 items in use are removed at the "
              "next restart of Windows, which completes the removal. Click Finish to exit the "
              "Uninstall wizard.");
    EXPECT_EQ(sweepstone::FinalListText(report),
              "These items are removed at the next restart:\r\nC:\\Sim\\Modules\\x.dll");
    report.Add(Outcome::Refused, "C:\\Windows", "a folder of the system");
    report.Add(Outcome::Left, "C:\\Sim\\y.txt", "access denied");
    EXPECT_EQ(sweepstone::FinalText("X", report)
                  .rfind("The X could not be removed completely: 2 "
                         "items are left, and 1 items in use are ",
                         0),
              0u);
    EXPECT_EQ(sweepstone::FinalListText(report),
              "These items could not be removed:\r\nC:\\Windows (refused: a folder of the "
              "system)\r\nC:\\Sim\\y.txt (access denied)\r\n\r\nThese items are removed at the "
              "next restart:\r\nC:\\Sim\\Modules\\x.dll");
    // The run file is no item left: it changes no count, only the list says it.
    report.Add(Outcome::NotOpened, "C:\\Sim\\Readme.txt", "no desktop shell");
    EXPECT_EQ(sweepstone::FinalText("X", report).find("2 items are left"), 39u);
    EXPECT_EQ(sweepstone::FinalListText(report).substr(
                  sweepstone::FinalListText(report).find("\r\n\r\nThis file")),
              "\r\n\r\nThis file was not opened:\r\nC:\\Sim\\Readme.txt (no desktop shell)");
}

TEST_F(Removal, RefusesKeysOfTheSystemAndTheSimulatorAndNeverFollowsALink) {
    const std::string simKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
#ifndef _WIN32
    // The stand-in registry holds what every Windows registry holds.
    for (const char* key : {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other",
                            "SOFTWARE\\Classes\\.txt", "SYSTEM\\ControlSet001\\Services"})
        ASSERT_FALSE(platform::CreateMachineKey(key));
    ASSERT_FALSE(
        platform::CreateMachineKeyLink("SYSTEM\\CurrentControlSet", "SYSTEM\\ControlSet001"));
    ASSERT_FALSE(platform::WriteMachineString(simKey, "SetupPath", t.Path("FSX")));
#endif
    // A product key holding a link to a key of someone else's, and links to walk through.
    ASSERT_FALSE(platform::CreateMachineKey(keyRoot + "\\Target\\Precious"));
    ASSERT_FALSE(platform::CreateMachineKey(keyRoot + "\\Product\\Own"));
    ASSERT_FALSE(
        platform::CreateMachineKeyLink(keyRoot + "\\Product\\ToTarget", keyRoot + "\\Target"));
    ASSERT_FALSE(platform::CreateMachineKeyLink(keyRoot + "\\Alias", keyRoot + "\\Target"));
    ASSERT_TRUE(platform::MachineKeyIsLink(keyRoot + "\\Alias"));
    ASSERT_FALSE(platform::MachineKeyIsLink(keyRoot + "\\Target"));
    ASSERT_TRUE(platform::MachineKeyExists(keyRoot + "\\Alias\\Precious"));
    // Each value, and the key it names (as the report names it, below the machine's
    // root), or the value itself when it names another root.
    const struct {
        std::string value;
        std::string key;
    } system[] = {
        {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", ""},
        {"\\software\\classes", "software\\classes"},
        {"SYSTEM\\CurrentControlSet", ""},
        {"SYSTEM\\CurrentControlSet\\Services", ""},
        {simKey, ""},
        {"SOFTWARE\\Microsoft\\Microsoft Games", ""},
        {keyRoot + "\\Alias", ""},
        {keyRoot + "\\Alias\\Precious", ""},
        {"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
         "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID", "SOFTWARE\\Classes\\CLSID"},
        {"SOFTWARE\\Classes\\exefile\\shell\\open\\command", ""},
        {"HKCU\\Software\\Sample Maker", "HKCU\\Software\\Sample Maker"},
    };
    std::string log = "[Registry]\r\n";
    for (size_t i = 0; i < std::size(system); ++i)
        log += "R" + std::to_string(i) + "=" + system[i].value + "\r\n";
    // The product's own key, and its own entries in the places made for them, the
    // first named with the machine's root as installers often write it.
    const std::string uninstall =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brightmere Removal Test";
    const std::string classId = "SOFTWARE\\Classes\\CLSID\\{B0D5E1F2-0000-4000-8000-5357454550AB}";
    ASSERT_FALSE(platform::CreateMachineKey(uninstall + "\\Sub"));
    ASSERT_FALSE(platform::CreateMachineKey(classId + "\\InprocServer32"));
    log += "R97=HKLM\\" + uninstall + "\r\nR98=" + classId + "\r\nR99=" + keyRoot + "\\Product\r\n";
    Log(log);
    std::vector<bool> existed;
    for (const auto& key : system)
        existed.push_back(platform::MachineKeyExists(key.key.empty() ? key.value : key.key));
    const auto report = Run();

    for (size_t i = 0; i < std::size(system); ++i) {
        const std::string& plain = system[i].key.empty() ? system[i].value : system[i].key;
        EXPECT_EQ(platform::MachineKeyExists(plain), existed[i]) << plain;
        const std::string item =
            plain.rfind("HKCU", 0) == 0 ? plain : "HKEY_LOCAL_MACHINE\\" + plain;
        const bool refused =
            std::any_of(report.items.begin(), report.items.end(), [&](const auto& reported) {
                return reported.outcome == sweepstone::Outcome::Refused && reported.item == item &&
                       !reported.reason.empty();
            });
        EXPECT_TRUE(refused) << item << "\n" << Dump(report);
    }
    EXPECT_FALSE(platform::MachineKeyExists(uninstall));
    EXPECT_FALSE(platform::MachineKeyExists(classId));
    EXPECT_EQ(report.Count(sweepstone::Outcome::Refused), std::size(system));
    // The product's key went; the link inside it went as a link, its target stays.
    EXPECT_FALSE(platform::MachineKeyExists(keyRoot + "\\Product"));
    EXPECT_TRUE(platform::MachineKeyExists(keyRoot + "\\Target\\Precious"));
    // The product's three keys and the log.
    EXPECT_EQ(report.Count(sweepstone::Outcome::Removed), 4u) << Dump(report);
#ifndef _WIN32
    EXPECT_TRUE(platform::MachineKeyExists("SYSTEM\\ControlSet001\\Services"));
    EXPECT_TRUE(platform::MachineKeyExists("SOFTWARE\\Classes\\.txt"));
    EXPECT_TRUE(platform::MachineKeyExists(
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"));
#endif
}

#ifndef _WIN32
// A key inside the product's tree that cannot be deleted is named with its own
// reason, then the tree that stays for it; the rest of the tree still goes. The
// stand-in's key is made undeletable as Windows' ACLs would: its folder is left
// unwritable (and, for an administrator, who passes over that, immutable).
TEST_F(Removal, NamesEveryKeyOfAProductsTreeThatStays) {
    ASSERT_FALSE(platform::CreateMachineKey(keyRoot + "\\Sample\\Locked\\Inner"));
    ASSERT_FALSE(platform::CreateMachineKey(keyRoot + "\\Sample\\Free\\Deep"));
    const std::string folder =
        platform::ResolvedPathName(t.Path("registry/" + keyRoot + "\\Sample\\Locked"));
    const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(handle, 0) << folder;
    int flags = 0;
    const bool immutable =
        ::ioctl(handle, FS_IOC_GETFLAGS, &flags) == 0 &&
        (flags |= FS_IMMUTABLE_FL, ::ioctl(handle, FS_IOC_SETFLAGS, &flags) == 0);
    ::chmod(folder.c_str(), 0555);
    if (::geteuid() == 0 && !immutable) {
        ::close(handle);
        ::chmod(folder.c_str(), 0755);
        GTEST_SKIP() << "no way to make a folder undeletable for this account here";
    }
    Log("[Registry]\r\nR1=HKLM\\" + keyRoot + "\\Sample\r\n");
    const auto report = Run();
    if (immutable) {
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(handle, FS_IOC_SETFLAGS, &flags);
    }
    ::close(handle);
    ::chmod(folder.c_str(), 0755);

    const std::string reason = platform::ErrorText(std::make_error_code(
        immutable ? std::errc::operation_not_permitted : std::errc::permission_denied));
    using sweepstone::Outcome;
    const std::vector<sweepstone::ReportItem> expected = {
        {Outcome::Left, "HKEY_LOCAL_MACHINE\\" + keyRoot + "\\Sample\\Locked\\Inner", reason},
        {Outcome::Left, "HKEY_LOCAL_MACHINE\\" + keyRoot + "\\Sample",
         "keys below it could not be deleted"},
        {Outcome::Removed, t.Base() + "Uninstall.log", ""}};
    EXPECT_EQ(report.items, expected) << Dump(report);
    EXPECT_FALSE(platform::MachineKeyExists(keyRoot + "\\Sample\\Free"));
    EXPECT_TRUE(platform::MachineKeyExists(keyRoot + "\\Sample\\Locked\\Inner"));
}
#endif

TEST_F(Removal, RefusesTheSimulatorsFoldersHoweverTheyAreSpelled) {
    t.Write("FSX\\fsx.exe", "sim");
    t.Write("FSX\\Addon Scenery\\Sample Airport\\a.bgl", "a");
    t.Write("FSX\\Addon Scenery\\Other Field\\b.bgl", "b");
    t.Write("FSX\\SimObjects\\Airplanes\\Jet\\aircraft.cfg", "jet");
    t.Write("Data\\Scenery.cfg", kScenery);
    t.MakeFolder("Product");
#ifdef _WIN32
    safety.folders.Add(sweepstone::SimulatorFolders({t.Path("FSX")}));
#else
    // Where the simulator lies comes from its registry key.
    ASSERT_FALSE(platform::WriteMachineString(
        "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator - Steam Edition\\10.0", "SetupPath",
        t.Path("FSX") + "\\"));
    safety.folders = sweepstone::RemovalSafety::ForThisSystem().folders;
#endif
    const bool linked = MakeFolderLink(t.Path("FSX"), t.Path("Product") + "\\ToSim");
    std::string log = "[Scenery.cfg]\r\nPath=" + t.Path("Data\\Scenery.cfg") +
                      "\r\n[Path]\r\nP1=" + t.Path("FSX") +
                      "\r\nP2=" + t.Path("fsx\\ADDON SCENERY\\") +
                      "\r\nP3=" + t.Path("FSX\\SimObjects\\..\\SimObjects\\Airplanes") +
                      "\r\nP4=" + t.Path("FSX\\Effects. ") + "\r\nP5=" + t.Path("Data") +
                      "\r\nP6=   \r\nP7=" + t.Path("FSX\\Addon Scenery\\Sample Airport") + "\r\n";
    if (linked)
        log += "[ShortCut]\r\nS1=" + t.Path("Product\\ToSim\\Addon Scenery") + "\r\n";
    log += "[File]\r\nF1=" + t.Path("Data\\Scenery.cfg") + "\r\n";
    Log(log);
    const auto report = Run();
    EXPECT_TRUE(t.Has("FSX\\fsx.exe"));
    EXPECT_TRUE(t.Has("FSX\\Addon Scenery\\Other Field\\b.bgl"));
    EXPECT_TRUE(t.Has("FSX\\SimObjects\\Airplanes\\Jet\\aircraft.cfg"));
    EXPECT_EQ(t.Read("Data\\Scenery.cfg"), kScenery);
    // The product's own folder below them goes.
    EXPECT_FALSE(t.Has("FSX\\Addon Scenery\\Sample Airport\\a.bgl"));
    EXPECT_EQ(report.Count(sweepstone::Outcome::Refused), linked ? 7u : 6u) << Dump(report);
    EXPECT_EQ(report.Count(sweepstone::Outcome::Removed), 1u + 1u); // the folder and the log
    for (const auto& item : report.items)
        EXPECT_NE(item.item, "   "); // blanks only name nothing
}

TEST_F(Removal, DeletesALinkAsALinkAndNeverWhatItLeadsTo) {
    t.Write("Shared\\keep.txt", "keep");
    t.Write("Elsewhere\\keep.txt", "keep");
    t.Write("Product\\a.bgl", "a");
    if (!MakeFolderLink(t.Path("Shared"), t.Path("Product") + "\\ToShared") ||
        !MakeFolderLink(t.Path("Elsewhere"), t.Path("ProductLink")))
        GTEST_SKIP() << "this system makes no symbolic links here";
    Log("[Path]\r\nP1=" + t.Path("Product") + "\r\nP2=" + t.Path("ProductLink") + "\r\n");
    const auto report = Run();
    EXPECT_FALSE(platform::FolderPresent(t.Path("Product")));
    EXPECT_FALSE(platform::IsLink(t.Path("ProductLink")));
    EXPECT_EQ(t.Read("Shared\\keep.txt"), "keep");
    EXPECT_EQ(t.Read("Elsewhere\\keep.txt"), "keep");
    EXPECT_EQ(report.Count(sweepstone::Outcome::Removed), 3u)
        << Dump(report); // two folders, the log
}

TEST_F(Removal, RemovesEmptyParentsUpToTheFirstThatStays) {
    // Each case below a folder of its own ("" is that folder); a Registry case's
    // names are below this test's key, where "=" makes a value.
    struct Case {
        const char* name;
        const char* section;
        const char* value;
        std::vector<std::string> made;         // files, "x\\" empty folders, keys
        std::vector<std::string> emptyParents; // as the report lists them, in order
        std::vector<std::string> stays;
        const char* link = nullptr; // "Link" made to lead to "Real\\Maker"
    };
    const Case cases[] = {
        {"chain",
         "Path",
         "A\\B\\C\\Product",
         {"A\\keep.txt", "A\\B\\C\\Product\\a.bgl"},
         {"A\\B\\C", "A\\B"},
         {"A"}},
        {"file",
         "File",
         "Maker\\Effects\\x.fx",
         {"Maker\\Effects\\x.fx", "Maker\\Sub\\"},
         {"Maker\\Effects"},
         {"Maker\\Sub"}},
        {"shortcut",
         "ShortCut",
         "Menu\\Maker\\Product",
         {"Menu\\Maker\\Product\\x.lnk"},
         {"Menu\\Maker"},
         {"Menu"}}, // "Menu" is protected
        {"shared", "Shared-Folder", "Maker\\Library", {"Maker\\Library\\l.bgl"}, {"Maker", ""}, {}},
        {"link",
         "Path",
         "Link\\Product",
         {"Real\\Maker\\Product\\a.bgl"},
         {},
         {"Real\\Maker"},
         "Link"},
        {"registry",
         "Registry",
         "Maker\\Suite\\Product",
         {"Maker\\Suite\\Product\\Deep", "Maker=value"},
         {"Maker\\Suite"},
         {"Maker"}},
    };
    safety.folders.Add({t.Path("shortcut\\Menu"), Reach::ItselfAndAbove, "a system folder"});
    for (const Case& c : cases) {
        const std::string sub = std::string(c.name) + "\\";
        const bool key = std::string(c.section) == "Registry";
        const std::string base = key ? keyRoot + "\\" + c.name + "\\" : t.Path(sub);
        auto named = [&](const std::string& relative) {
            // As the removal names what it acted on: in its canonical spelling.
            std::string path = key ? base + relative : t.Canonical(sub + relative);
            while (path.back() == '\\')
                path.pop_back();
            return key ? "HKEY_LOCAL_MACHINE\\" + path : path;
        };
        for (const std::string& item : c.made) {
            if (key && item.find('=') != std::string::npos)
                ASSERT_FALSE(platform::WriteMachineString(base + item.substr(0, item.find('=')),
                                                          "v", item.substr(item.find('=') + 1)));
            else if (key)
                ASSERT_FALSE(platform::CreateMachineKey(base + item));
            else if (item.back() == '\\')
                t.MakeFolder(sub + item);
            else
                t.Write(sub + item, "x");
        }
        if (c.link && !MakeFolderLink(t.Path(sub + "Real\\Maker"), t.Path(sub + c.link)))
            continue; // this system makes no symbolic links here
        Log(std::string("[") + c.section + "]\r\nV1=" + base + c.value + "\r\n");
        const auto report = Run();

        std::vector<std::string> emptyParents;
        for (const auto& item : report.items) {
            if (item.reason == "empty parent") {
                EXPECT_EQ(item.outcome, sweepstone::Outcome::Removed) << c.name;
                emptyParents.push_back(item.item);
            }
        }
        std::vector<std::string> expected;
        for (const std::string& parent : c.emptyParents)
            expected.push_back(named(parent));
        EXPECT_EQ(emptyParents, expected) << c.name << "\n" << Dump(report);
        for (const std::string& parent : c.emptyParents)
            EXPECT_FALSE(key ? platform::MachineKeyExists(base + parent)
                             : platform::FolderPresent(t.Path(sub + parent)))
                << c.name << ": " << parent;
        for (const std::string& stays : c.stays)
            EXPECT_TRUE(key ? platform::MachineKeyExists(base + stays)
                            : platform::FolderPresent(t.Path(sub + stays)))
                << c.name << ": " << stays;
        if (c.link) {
            EXPECT_TRUE(platform::IsLink(t.Path(sub + c.link))) << "a link stops the climb";
        }
    }
    EXPECT_TRUE(platform::MachineKeyExists(keyRoot)) << "it holds the registry case's key";
}

// The [File] step asks the disk about each folder once and holds it until the step
// ends: whatever happens to a folder between two of its values, the second is judged
// and deleted as it would be if nothing had been asked before. Each row changes
// Product\Sub when its second value comes up; System is a system-file folder with its
// own b.txt.
TEST_F(Removal, JudgesTheSecondFileOfAFolderByTheFolderAsItIsThen) {
    struct Case {
        const char* what;
        bool folderThere; // Product\\Sub holds a.txt and b.txt, or is not there
        bool (*change)(const TestFolder& t, const std::string& sub);
        bool refused; // the second value once changed; else it is deleted
    };
    const Case cases[] = {
        {"the missing folder appears with the file", false,
         [](const TestFolder& t, const std::string& sub) {
             t.Write(sub + "Product\\Sub\\b.txt", "b");
             return true;
         },
         false},
        {"a link to the system folder appears where the folder was missing", false,
         [](const TestFolder& t, const std::string& sub) {
             return MakeFolderLink(t.Canonical(sub + "System"), t.Path(sub + "Product\\Sub"));
         },
         true},
        // Windows refuses to rename the folder the step holds; POSIX cannot hold it.
        {"the folder renamed away and a link to the system folder put in its place", true,
         [](const TestFolder& t, const std::string& sub) {
             return !platform::RenameNoReplace(t.Path(sub + "Product\\Sub"),
                                               t.Path(sub + "Moved")) &&
                    MakeFolderLink(t.Canonical(sub + "System"), t.Path(sub + "Product\\Sub"));
         },
         true},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string sub = "row" + std::to_string(++row) + "\\";
        t.Write(sub + "System\\b.txt", "keep");
        t.MakeFolder(sub + "Product");
        if (c.folderThere) {
            t.Write(sub + "Product\\Sub\\a.txt", "a");
            t.Write(sub + "Product\\Sub\\b.txt", "b");
        }
        safety.folders.Add({t.Path(sub + "System"), Reach::Everything, "a system folder"});
        const std::string second = t.Path(sub + "Product\\Sub\\b.txt");
        bool changed = false;
        bool asked = false;
        window.onStatus = [&](const std::string& status) {
            if (status == second && !asked) {
                asked = true;
                changed = c.change(t, sub);
            }
        };
        Log("[File]\r\nF1=" + t.Path(sub + "Product\\Sub\\a.txt") + "\r\nF2=" + second + "\r\n");
        const auto report = Run();
        window.onStatus = nullptr;
        EXPECT_EQ(t.Read(sub + "System\\b.txt"), "keep") << Dump(report);
#ifdef _WIN32
        if (c.folderThere) {
            EXPECT_FALSE(platform::FolderPresent(t.Path(sub + "Moved"))) << "a held folder moved";
        }
#endif
        if (!changed && !c.folderThere)
            continue; // no links on this system (Wine 8)
        const bool refused = changed && c.refused;
        EXPECT_EQ(report.Count(sweepstone::Outcome::Refused), refused ? 1u : 0u) << Dump(report);
        if (!refused) {
            EXPECT_FALSE(t.Has(sub + "Product\\Sub\\b.txt")) << Dump(report);
        }
    }
}

#ifdef _WIN32
namespace {

// Holds a file open with no sharing at all, as a running program holds its files.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : h_(CreateFileW(platform::win32::Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    bool Held() const { return h_.Valid(); }

private:
    platform::win32::ScopedFileHandle h_;
};

// The paths Windows deletes at the next restart, as MoveFileExW recorded them.
std::wstring PendingDeletions() {
    platform::win32::ScopedRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return {};
    DWORD size = 0;
    RegQueryValueExW(key.Get(), L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size);
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    RegQueryValueExW(key.Get(), L"PendingFileRenameOperations", nullptr, nullptr,
                     reinterpret_cast<BYTE*>(value.data()), &size);
    for (wchar_t& c : value) {
        if (c == L'\0')
            c = L'|';
    }
    return value;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace

TEST_F(Removal, SchedulesWhatIsInUseForTheNextRestart) {
    t.Write("Product\\Modules\\sample.dll", "dll");
    t.Write("Product\\readme.txt", "r");
    t.Write("Effects\\sample.fx", "fx");
    HeldOpen dll(t.Path("Product\\Modules\\sample.dll"));
    HeldOpen fx(t.Path("Effects\\sample.fx"));
    ASSERT_TRUE(dll.Held() && fx.Held());
    Log("[General]\r\nName=Sample Airport X\r\n[Path]\r\nP1=" + t.Path("Product") +
        "\r\n[File]\r\nF1=" + t.Path("Effects\\sample.fx") + "\r\n");
    const auto report = Run();
    using sweepstone::Outcome;
    EXPECT_EQ(report.Count(Outcome::AtRestart), 2u);
    EXPECT_EQ(report.Count(Outcome::Left), 0u);
    EXPECT_FALSE(t.Has("Product\\readme.txt")); // what was not in use went at once
    const std::wstring pending = PendingDeletions();
    for (const char* path :
         {"Product\\Modules\\sample.dll", "Product\\Modules", "Product", "Effects\\sample.fx"}) {
        EXPECT_NE(pending.find(Wide(t.Path(path)) + L"|"), std::wstring::npos) << path;
    }
    // Contents before their folders.
    EXPECT_LT(pending.find(Wide(t.Path("Product\\Modules\\sample.dll"))),
              pending.find(Wide(t.Path("Product")) + L"|"));
    EXPECT_EQ(window.Statuses().back(),
              "The Sample Airport X are removed from your system, except for 2 items in use are "
              "removed at the next restart of Windows, which completes the removal. Click Finish "
              "to exit the Uninstall wizard.");
    EXPECT_EQ(window.Information(), "Information|These items are removed at the next restart:\r\n" +
                                        t.Path("Product") + "\r\n" + t.Path("Effects\\sample.fx"));
}

TEST_F(Removal, ALockedSceneryLibraryEndsItsStepAndIsListed) {
    t.Write("Sim\\Scenery.cfg", kScenery);
    t.Write("Product\\a.bgl", "a");
    HeldOpen library(t.Path("Sim\\Scenery.cfg"));
    ASSERT_TRUE(library.Held());
    Log("[General]\r\nName=Sample Airport X\r\n[Scenery.cfg]\r\nPath=" +
        t.Path("Sim\\Scenery.cfg") +
        "\r\nT1=Sample Airport X\r\n[Path]\r\nP1=" + t.Path("Product") + "\r\n");
    const auto left = sweepstone::LeftItemLines(Run());
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].rfind(t.Path("Sim\\Scenery.cfg") + " (cannot be read: ", 0), 0u) << left[0];
    EXPECT_EQ(left[1], t.Path("Sim\\") + "Scenery.cfg: Sample Airport X (not reached)");
    EXPECT_EQ(window.Statuses().back().rfind(
                  "The Sample Airport X could not be removed completely: 2 items", 0),
              0u);
    EXPECT_FALSE(platform::FolderPresent(t.Path("Product"))); // the later steps ran
    EXPECT_FALSE(t.Has("Sim\\Backup_of_scenery_cfg_(Sample Airport X).cfg"));
}

TEST_F(Removal, ALockedLogIsListedAndKept) {
    t.Write("Product\\a.bgl", "a");
    Log("[Path]\r\nP1=" + t.Path("Product") + "\r\n");
    HeldOpen log(t.Path("Uninstall.log"));
    ASSERT_TRUE(log.Held());
    const auto left = sweepstone::LeftItemLines(Run());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].rfind(t.Path("Uninstall.log") + " (cannot be read: ", 0), 0u) << left[0];
    EXPECT_TRUE(t.Has("Product\\a.bgl"));
    EXPECT_TRUE(t.Has("Uninstall.log"));
}
#endif
