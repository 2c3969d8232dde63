#include "check.h"

#include "decisions.h"
#include "profile_file.h"
#include "removal.h"
#include "safety.h"

#include "platform/files.h"
#include "platform/registry.h"
#include "test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <set>

using sweepstone::CheckOptions;
using sweepstone::Finding;
using testing_support::TestFolder;

namespace {

// A library as the linker lays it out, small enough to write by hand: the headers,
// one section holding the export directory, its name table and the names.
std::string TinyLibrary(std::uint16_t machine, const std::vector<std::string>& names) {
    std::string image(0x200, '\0');
    auto put = [&image](size_t at, std::uint32_t value, size_t width) {
        for (size_t i = 0; i < width; ++i)
            image[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    const bool wide = machine == sweepstone::kMachineX64;
    const size_t optional = 0x58;
    const std::uint32_t optionalSize = wide ? 240 : 224;
    image[0] = 'M';
    image[1] = 'Z';
    put(0x3C, 0x40, 4);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    put(0x44, machine, 2);
    put(0x46, 1, 2); // one section
    put(0x54, optionalSize, 2);
    put(optional, wide ? 0x20B : 0x10B, 2);
    put(optional + (wide ? 108 : 92), 16, 4); // data directories
    const std::uint32_t address = 0x1000;
    put(optional + (wide ? 112 : 96), address, 4); // the export table first
    std::string data(40, '\0');
    const std::uint32_t table = address + 40;
    std::uint32_t text = table + static_cast<std::uint32_t>(4 * names.size());
    std::string strings;
    for (size_t i = 0; i < names.size(); ++i) {
        std::string entry(4, '\0');
        for (size_t b = 0; b < 4; ++b)
            entry[b] = static_cast<char>(((text + strings.size()) >> (8 * b)) & 0xFF);
        data += entry;
        strings += names[i] + '\0';
    }
    data += strings;
    auto putData = [&data](size_t at, std::uint32_t value) {
        for (size_t i = 0; i < 4; ++i)
            data[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    putData(24, static_cast<std::uint32_t>(names.size()));
    putData(32, table);
    const size_t section = optional + optionalSize;
    image.replace(section, 6, ".edata");
    put(section + 8, static_cast<std::uint32_t>(data.size()), 4);
    put(section + 12, address, 4);
    put(section + 16, static_cast<std::uint32_t>(data.size()), 4);
    put(section + 20, 0x200, 4);
    (void)text;
    return image + data;
}

std::uint16_t OwnMachine() {
    return sizeof(void*) == 8 ? sweepstone::kMachineX64 : sweepstone::kMachineX86;
}
std::uint16_t OtherMachine() {
    return sizeof(void*) == 8 ? sweepstone::kMachineX86 : sweepstone::kMachineX64;
}

// The registry key of one test folder's product, named after the folder, so that
// tests running at once never share one.
std::string KeyFor(const std::string& base) {
    const std::string folder = base.substr(0, base.size() - 1);
    return "SOFTWARE\\BrightmereCheckTest\\" + folder.substr(folder.find_last_of("\\/") + 1);
}

// "$" in a table's texts stands for the test folder (with its closing separator), "#"
// for its registry key.
std::string Expand(const std::string& text, const std::string& base) {
    std::string out;
    for (const char c : text) {
        if (c == '$')
            out += base;
        else if (c == '#')
            out += KeyFor(base);
        else
            out += c;
    }
    return out;
}

std::vector<std::string> Lines(const std::string& report) {
    std::vector<std::string> lines;
    std::string text = report.rfind("\xEF\xBB\xBF", 0) == 0 ? report.substr(3) : report;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

const char* const kScenery =
    "[General]\r\nTitle=FS9 World Scenery\r\n\r\n"
    "[Area.001]\r\nTitle=Default Terrain\r\nLocal=Scenery\\World\r\n\r\n"
    "[Area.002]\r\nTitle=Sample Airport X\r\nLocal=Addon Scenery\\S\r\n\r\n"
    "[Area.003]\r\nTitle=Other Field\r\nLocal=Addon Scenery\\O\r\n\r\n"
    "[Area.004]\r\nTitle=Reno\r\nLocal=$Sim/Scenery/Cities/Reno\r\n";

// A product beside a simulator, a system folder of the test's own, and libraries.
void MakeTree(const TestFolder& t) {
    t.Write("Product/readme.txt", "read me");
    t.Write("Product/Uninstall.exe", "wizard");
    t.Write("Protected/system.sys", "system");
    t.Write("Sim/Scenery.cfg", Expand(kScenery, t.Base()));
    t.MakeFolder("Sim/Addon Scenery/Sample");
    t.Write("Sim/Scenery/switched.bgl.off", "off");
    t.Write("lib/plain.dll", TinyLibrary(OwnMachine(), {"Cleanup", "_Decorated@12"}));
    t.Write("lib/other.dll", TinyLibrary(OtherMachine(), {"Cleanup"}));
    t.Write("lib/text.dll", "not a library");
    t.Write("sys/system.dll", TinyLibrary(OwnMachine(), {"Cleanup"}));
    t.Write("run.txt", "run");
    ASSERT_FALSE(platform::CreateMachineKey(KeyFor(t.Base()) + "\\Product"));
}

CheckOptions OptionsFor(const TestFolder& t) {
    CheckOptions options = CheckOptions::ForThisSystem();
    // The system's own folders, and one of the test's that stands for them.
    const sweepstone::RemovalSafety system = sweepstone::RemovalSafety::ForThisSystem();
    options.safety = system;
    options.safety.protectedFolders.push_back(t.Path("Protected"));
    options.safety.simulatorFolders = sweepstone::SimulatorFolders({t.Path("Sim")});
    options.safety.simulatorRoots = {t.Path("Sim")};
    options.safety.systemFileFolders.push_back(t.Path("Protected"));
    options.systemFolder = t.Path("sys/");
    return options;
}

class Check : public ::testing::Test {
protected:
    void SetUp() override { MakeTree(t); }
    void TearDown() override { (void)platform::DeleteMachineKeyTree(KeyFor(t.Base())); }

    std::vector<std::string> Report(const std::string& log) {
        const std::vector<Finding> findings =
            sweepstone::CheckLog(sweepstone::ProfileDocument(Expand(log, t.Base())), options);
        return Lines(sweepstone::CheckReportText("Uninstall.log", findings));
    }

    TestFolder t;
    CheckOptions options = OptionsFor(t);
};

struct LogCase {
    const char* log;
    std::vector<std::string> report; // "$" is the test folder
    int exitCode;
};

// One log per kind of finding, and clean ones: the exact report and exit code.
const LogCase kLogs[] = {
    {"[General]\r\nName=Sample\r\n[Path]\r\nP1=$Product\r\n[File]\r\nF1=$Product/readme.txt\r\n"
     "[Registry]\r\nR1=#\\Product\r\n; a comment\r\n\r\n",
     {"Uninstall.log: 0 errors, 0 warnings, 0 notes"},
     0},
    {"[Scenery.cfg]\r\nPath=$Sim/Scenery.cfg\r\nTitle1=Sample Airport X\r\n"
     "[Rename_File]\r\nR1=$Sim/Scenery/switched.bgl\r\n[Run]\r\nRun-File=$run.txt\r\n",
     {"Uninstall.log:3: note: [Scenery.cfg] Title1=Sample Airport X: removes [Area.002] "
      "Title=Sample Airport X",
      "Uninstall.log: 0 errors, 0 warnings, 1 note"},
     0},
    // Sections it does not know, with the nearest known name when one is near.
    {"[Shared_Folder]\r\nS1=$Product\r\n[Scenery_cfg]\r\n[Fonts]\r\nx=1\r\n[PATH]\r\nP1=$"
     "Product\r\n",
     {"Uninstall.log:1: error: unknown section [Shared_Folder]: never read; did you mean "
      "[Shared-Folder]?",
      "Uninstall.log:3: error: unknown section [Scenery_cfg]: never read; did you mean "
      "[Scenery.cfg]?",
      "Uninstall.log:4: error: unknown section [Fonts]: never read",
      "Uninstall.log: 3 errors, 0 warnings, 0 notes"},
     2},
    // A repeated key and a repeated section: the first wins, the rest is never read.
    {"[Path]\r\nP1=$Product\r\np1=$Gone\r\n[File]\r\n[Path]\r\nP2=$Gone\r\n",
     {"Uninstall.log:3: error: [Path] p1=$Gone: repeated key: the value of line 2 wins, this one "
      "is never read",
      "Uninstall.log:5: error: [Path] repeated section: only the copy of line 1 is read, this "
      "one never",
      "Uninstall.log: 2 errors, 0 warnings, 0 notes"},
     2},
    // Lines the reader passes over, empty values, quotes and blanks it drops.
    {"P0=$Product\r\n[Path]\r\n$Product\r\nP1=\r\nP2=\" \"\r\nP3=\"$Product\"\r\n"
     "P4=$Product \t\r\n",
     {"Uninstall.log:1: error: P0=$Product: before the first section, never read",
      "Uninstall.log:3: error: [Path] $Product: no \"=\": no entry, never read",
      "Uninstall.log:4: error: [Path] P1=: empty value: names nothing",
      "Uninstall.log:5: error: [Path] P2=\" \": empty value: names nothing",
      "Uninstall.log:6: note: [Path] P3=\"$Product\": quotation marks dropped: read as $Product",
      "Uninstall.log:7: note: [Path] P4=$Product: blanks at the end of the line are dropped",
      "Uninstall.log: 4 errors, 0 warnings, 2 notes"},
     2},
    // The scenery library: titles before its Path, a "path" that is a title, a title
    // that matches nothing, the simulator's own areas (written relative to it or in
    // full), a library that is not there.
    {"[Scenery.cfg]\r\nTitle0=Other Field\r\npath=$Sim/Scenery.cfg\r\nPath=$Sim/Scenery.cfg\r\n"
     "Title1=Nothing Like It\r\nTitle2=Reno Field X\r\n[Shared_Scenery.cfg]\r\n"
     "Shared1=Default Terrain\r\n",
     {"Uninstall.log:2: error: [Scenery.cfg] Title0=Other Field: a title before the first "
      "Path entry: no scenery library is known yet, the title is not removed",
      "Uninstall.log:3: error: [Scenery.cfg] path=$Sim/Scenery.cfg: read as a title, not as "
      "the library's path (the key is \"Path\", spelt so)",
      "Uninstall.log:3: error: [Scenery.cfg] path=$Sim/Scenery.cfg: a title before the first "
      "Path entry: no scenery library is known yet, the title is not removed",
      "Uninstall.log:4: error: [Scenery.cfg] Path=$Sim/Scenery.cfg: repeated key: the value "
      "of line 3 wins, this one is never read",
      "Uninstall.log:5: warning: [Scenery.cfg] Title1=Nothing Like It: the title matches no "
      "area of $Sim/Scenery.cfg",
      "Uninstall.log:6: warning: [Scenery.cfg] Title2=Reno Field X: leaves [Area.004] "
      "Title=Reno of $Sim/Scenery.cfg: default area of the simulator",
      "Uninstall.log:8: warning: [Shared_Scenery.cfg] Shared1=Default Terrain: leaves "
      "[Area.001] Title=Default Terrain of $Sim/Scenery.cfg: default area of the simulator",
      "Uninstall.log: 4 errors, 3 warnings, 0 notes"},
     2},
    // A repeated title key after the Path entry acts again on its first line's title,
    // which came too early to act.
    {"[Scenery.cfg]\r\nT1=Sample Airport X\r\nPath=$Sim/Scenery.cfg\r\nt1=Other Field\r\n",
     {"Uninstall.log:2: error: [Scenery.cfg] T1=Sample Airport X: a title before the first "
      "Path entry: no scenery library is known yet, the title is not removed",
      "Uninstall.log:4: error: [Scenery.cfg] t1=Other Field: repeated key: the value of line 2 "
      "wins, this one is never read",
      "Uninstall.log:4: note: [Scenery.cfg] t1=Other Field: removes [Area.002] Title=Sample "
      "Airport X",
      "Uninstall.log: 2 errors, 0 warnings, 1 note"},
     2},
    {"[Scenery.cfg]\r\nPath=$Gone/Scenery.cfg\r\nTitle1=Sample Airport X\r\n",
     {"Uninstall.log:2: warning: [Scenery.cfg] Path=$Gone/Scenery.cfg: the scenery library "
      "does not exist here",
      "Uninstall.log:3: warning: [Scenery.cfg] Title1=Sample Airport X: no scenery library "
      "was found, the title is not removed",
      "Uninstall.log: 0 errors, 2 warnings, 0 notes"},
     1},
    // Library calls: fields, names, the file and its export table.
    {"[DLL_RUN]\r\nD1=$lib/plain.dll@Cleanup@a@b@c@d\r\nD2=@Cleanup\r\nD3=$lib/plain.dll@\r\n"
     "D4=system.dll@Cleanup\r\nD5=$lib/gone.dll@Cleanup\r\nD6=$lib/text.dll@Cleanup\r\n"
     "D7=$lib/other.dll@Cleanup\r\nD8=$lib/plain.dll@Decorated\r\nD9=$lib/plain@Cleanup@x\r\n",
     {"Uninstall.log:2: error: [DLL_RUN] D1=$lib/plain.dll@Cleanup@a@b@c@d: more than five "
      "fields: the call is skipped",
      "Uninstall.log:3: error: [DLL_RUN] D2=@Cleanup: no library named: the call is skipped",
      "Uninstall.log:4: error: [DLL_RUN] D3=$lib/plain.dll@: no entry point named: the call "
      "is skipped",
      "Uninstall.log:5: warning: [DLL_RUN] D4=system.dll@Cleanup: a bare library name: "
      "looked for in the system folder only ($sys/system.dll)",
      "Uninstall.log:6: warning: [DLL_RUN] D5=$lib/gone.dll@Cleanup: the library does not "
      "exist here: the call is skipped",
      "Uninstall.log:7: error: [DLL_RUN] D6=$lib/text.dll@Cleanup: not a Windows library: the "
      "call is skipped",
      std::string("Uninstall.log:8: error: [DLL_RUN] D7=$lib/other.dll@Cleanup: a library "
                  "for ") +
          (sizeof(void*) == 8 ? "x86, which this wizard (x86-64)"
                              : "x86-64, which this "
                                "wizard (x86)") +
          " cannot load: the call is skipped",
      "Uninstall.log:9: error: [DLL_RUN] D8=$lib/plain.dll@Decorated: the library exports no "
      "entry point \"Decorated\" (only the decorated \"_Decorated@12\"): the call is skipped",
      "Uninstall.log: 6 errors, 2 warnings, 0 notes"},
     2},
    // The safety rules, and what is not there.
    {"[Registry]\r\nR1=SOFTWARE\r\nR2=#\\Gone\r\n[Path]\r\n"
     "P1=$Protected\r\nP2=$Sim\r\nP3=$Gone\r\n[File]\r\nF1=$Protected/system.sys\r\n"
     "F2=$Sim/Scenery.cfg\r\nF3=$Product/gone.txt\r\n[ShortCut]\r\nS1=$\r\n"
     "[Scenery.cfg]\r\nPath=$Sim/Scenery.cfg\r\n[Rename_File]\r\nN1=$Protected/system\r\n"
     "[Rename_File_DEX]\r\nN1=Scenery\\switched\r\n",
     {"Uninstall.log:2: error: [Registry] R1=SOFTWARE: refused: a hive or top-level key",
      "Uninstall.log:3: warning: [Registry] R2=#\\Gone: does not "
      "exist here",
      "Uninstall.log:5: error: [Path] P1=$Protected: refused: a system folder",
      "Uninstall.log:6: error: [Path] P2=$Sim: refused: a simulator folder",
      "Uninstall.log:7: warning: [Path] P3=$Gone: does not exist here",
      "Uninstall.log:9: error: [File] F1=$Protected/system.sys: refused: a system file",
      "Uninstall.log:10: error: [File] F2=$Sim/Scenery.cfg: refused: a system file",
      "Uninstall.log:11: warning: [File] F3=$Product/gone.txt: does not exist here",
      "Uninstall.log:13: error: [ShortCut] S1=$: refused: a system folder",
      "Uninstall.log:17: error: [Rename_File] N1=$Protected/system: refused: a system file",
      "Uninstall.log:19: error: [Rename_File_DEX] N1=Scenery\\switched: refused: a relative "
      "path",
      "Uninstall.log: 8 errors, 3 warnings, 0 notes"},
     2},
    // Keys: the root as installers write it, another root, the system's classes and
    // what lies below SOFTWARE\Microsoft beside the places made for products.
    {"[Registry]\r\nR1=HKLM\\#\\Product\r\nR2=HKEY_CURRENT_USER\\Software\\Sample\r\n"
     "R3=SOFTWARE\\Classes\\CLSID\r\nR4=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
     "NT\\CurrentVersion\\Winlogon\r\nR5=SOFTWARE\\Classes\\exefile\\shell\r\n",
     {"Uninstall.log:3: error: [Registry] R2=HKEY_CURRENT_USER\\Software\\Sample: refused: a key "
      "of another root than HKEY_LOCAL_MACHINE",
      "Uninstall.log:4: error: [Registry] R3=SOFTWARE\\Classes\\CLSID: refused: protected key "
      "SOFTWARE\\Classes\\CLSID",
      "Uninstall.log:5: error: [Registry] R4=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
      "NT\\CurrentVersion\\Winlogon: refused: below protected key SOFTWARE\\Microsoft",
      "Uninstall.log:6: error: [Registry] R5=SOFTWARE\\Classes\\exefile\\shell: refused: below "
      "protected key SOFTWARE\\Classes\\exefile",
      "Uninstall.log: 4 errors, 0 warnings, 0 notes"},
     2},
    // While another product uses the shared folders, their sections are not acted on.
    {"[Shared-Folder-Option]\r\nO1=$Product\r\n[Shared-Folder]\r\nS1=$Protected\r\n",
     {"Uninstall.log:2: note: [Shared-Folder-Option] O1=$Product: another product uses the "
      "shared folders: [Shared-Folder], [Shared_Scenery.cfg] and [DLL_RUN_SHARED] stay",
      "Uninstall.log: 0 errors, 0 warnings, 1 note"},
     0},
    // Renames, the run file and its key.
    {"[Rename_File_DEX]\r\nR1=$Sim/Scenery/switched\r\n[Run]\r\nRun-File=$gone.txt\r\n"
     "RunFile=$run.txt\r\n",
     {"Uninstall.log:2: warning: [Rename_File_DEX] R1=$Sim/Scenery/switched: "
      "$Sim/Scenery/switched.bgl.off_dex does not exist here",
      "Uninstall.log:4: warning: [Run] Run-File=$gone.txt: the file does not exist here, "
      "nothing is opened",
      "Uninstall.log:5: error: [Run] RunFile=$run.txt: never read; the key is Run-File",
      "Uninstall.log: 1 error, 2 warnings, 0 notes"},
     2},
    // UTF-8 without a mark is read in the ANSI code page; with its mark it is fine.
    {"[General]\r\nName=M\xC3\xBCller\r\n",
     {"Uninstall.log:2: error: UTF-8 text in a log without a byte-order mark: read in the "
      "ANSI code page as \"Name=M\xC3\x83\xC2\xBCller\"",
      "Uninstall.log: 1 error, 0 warnings, 0 notes"},
     2},
    {"\xEF\xBB\xBF[General]\r\nName=M\xC3\xBCller\r\n",
     {"Uninstall.log: 0 errors, 0 warnings, 0 notes"},
     0},
};

} // namespace

TEST_F(Check, ReportsEveryKindOfFindingWithItsLineAndExitCode) {
    for (const LogCase& c : kLogs) {
        std::vector<std::string> expected;
        for (const std::string& line : c.report)
            expected.push_back(Expand(line, t.Base()));
        EXPECT_EQ(Report(c.log), expected) << c.log;
        const std::vector<Finding> findings =
            sweepstone::CheckLog(sweepstone::ProfileDocument(Expand(c.log, t.Base())), options);
        EXPECT_EQ(sweepstone::CheckExitCode(findings), c.exitCode) << c.log;
    }
}

TEST(ReadPeExports, ReadsTheNamesOfEitherKindOfImageAndRefusesOtherBytes) {
    const std::string x86 = TinyLibrary(sweepstone::kMachineX86, {"Cleanup", "_Remove@12"});
    const std::optional<sweepstone::PeExports> read = sweepstone::ReadPeExports(x86);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->machine, sweepstone::kMachineX86);
    EXPECT_EQ(read->names, (std::vector<std::string>{"Cleanup", "_Remove@12"}));
    const auto wide = sweepstone::ReadPeExports(TinyLibrary(sweepstone::kMachineX64, {"A"}));
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->machine, sweepstone::kMachineX64);
    EXPECT_EQ(wide->names, std::vector<std::string>{"A"});
    const auto none = sweepstone::ReadPeExports(TinyLibrary(sweepstone::kMachineX86, {}));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->names.empty());
    // Cut anywhere inside its headers or tables, or not a library at all: no answer,
    // and no read beyond the bytes.
    for (size_t size : {size_t{0}, size_t{2}, size_t{0x40}, size_t{0x60}, size_t{0x150},
                        size_t{0x210}, x86.size() - 3})
        EXPECT_FALSE(sweepstone::ReadPeExports(x86.substr(0, size))) << size;
    EXPECT_FALSE(sweepstone::ReadPeExports("MZ not a library"));
#ifdef _WIN32
    // The library the removal tests call, as the linker made it.
    const std::string exe = platform::ProgramPath();
    std::string bytes;
    ASSERT_FALSE(platform::ReadWholeFile(
        exe.substr(0, exe.find_last_of("\\/") + 1) + "data\\sweepstone_test_entry.dll", bytes));
    const auto real = sweepstone::ReadPeExports(bytes);
    ASSERT_TRUE(real);
    EXPECT_EQ(real->machine, OwnMachine());
    for (const char* name : {"Unregister", "Cleanup"})
        EXPECT_NE(std::find(real->names.begin(), real->names.end(), name), real->names.end());
#endif
}

namespace {

// Every file below a folder with its bytes, and every folder.
void Snapshot(const std::string& folder, std::map<std::string, std::string>& out) {
    std::error_code error;
    for (const platform::FolderEntry& entry : platform::ListFolder(folder, error)) {
        const std::string path = folder + "/" + entry.name;
        if (entry.directory) {
            out[path] = "<folder>";
            Snapshot(path, out);
        } else {
            std::string bytes;
            (void)platform::ReadWholeFile(path, bytes);
            out[path] = bytes;
        }
    }
}

sweepstone::Arguments CheckArguments(const std::vector<std::string>& args) {
    const sweepstone::ParsedArguments parsed = sweepstone::ParseArguments(args);
    EXPECT_TRUE(parsed.Accepted()) << parsed.error;
    EXPECT_TRUE(parsed.arguments.check);
    return parsed.arguments;
}

} // namespace

// The program's run: the log beside the wizard, or another one; the report beside
// the wizard, or at /LOG; what the window shows; exit codes, and no change at all.
TEST_F(Check, RunsFromTheCommandLineAndChangesNothing) {
    const std::string program = t.Path("Product/Uninstall.exe");
    // A log that names the test's own system folder, the tree's root and the system's.
    t.Write("Product/Uninstall.log",
            Expand("[Path]\r\nP1=$Protected\r\nP2=$\r\nP3=C:\\Windows\r\nP4=/\r\n[File]\r\n"
                   "F1=$Product/readme.txt\r\n[Registry]\r\nR1=#\r\n"
                   "[Scenery.cfg]\r\nPath=$Sim/Scenery.cfg\r\nT1=Sample Airport X\r\n",
                   t.Base()));
    std::map<std::string, std::string> before;
    Snapshot(t.Path(""), before);
    const sweepstone::CheckRun own =
        sweepstone::RunCheck(CheckArguments({"/CHECK"}), program, options);
    EXPECT_EQ(own.exitCode, sweepstone::kCheckErrors);
    EXPECT_EQ(own.reportFile, t.Path("Product/Uninstall-check.txt"));
    const std::vector<std::string> lines = Lines(t.Read("Product/Uninstall-check.txt"));
    ASSERT_FALSE(lines.empty());
#ifdef _WIN32
    EXPECT_EQ(lines.back(), "Uninstall.log: 4 errors, 0 warnings, 1 note");
#else
    // No C:\Windows here.
    // A POSIX side refuses C:\\Windows as a relative path, as an error.
    EXPECT_EQ(lines.back(), "Uninstall.log: 4 errors, 0 warnings, 1 note");
#endif
    EXPECT_EQ(own.message.substr(0, own.message.find("\r\n")), lines.back());
    EXPECT_NE(own.message.find("\r\n" + lines[0] + "\r\n"), std::string::npos) << own.message;
    EXPECT_EQ(own.message.substr(own.message.rfind("\r\n") + 2), "The report: " + own.reportFile);
    EXPECT_EQ(t.Read("Product/Uninstall-check.txt").rfind("\xEF\xBB\xBF", 0), 0u);
    (void)platform::RemoveFile(own.reportFile);
    std::map<std::string, std::string> after;
    Snapshot(t.Path(""), after);
    EXPECT_EQ(after, before) << "the check changed the tree";
    EXPECT_TRUE(platform::MachineKeyExists(KeyFor(t.Base()) + "\\Product"));

    // Another log, for another machine: what depends on this one only warns.
    t.Write("build/Other.log", Expand("[DLL_RUN]\r\nD1=$lib/text.dll@Cleanup\r\n", t.Base()));
    const sweepstone::CheckRun other =
        sweepstone::RunCheck(CheckArguments({"/CHECK=" + t.Path("build/Other.log"), "/VERYSILENT",
                                             "/LOG=" + t.Path("build/report.txt")}),
                             program, options);
    EXPECT_EQ(other.exitCode, sweepstone::kCheckWarnings);
    EXPECT_EQ(
        Lines(t.Read("build/report.txt")),
        (std::vector<std::string>{t.Path("build/Other.log") +
                                      ":2: warning: [DLL_RUN] D1=" + t.Path("lib/text.dll") +
                                      "@Cleanup: not a Windows library: the call is skipped",
                                  t.Path("build/Other.log") + ": 0 errors, 1 warning, 0 notes"}));

    // No log, and a report that cannot be written.
    const sweepstone::CheckRun missing = sweepstone::RunCheck(
        CheckArguments({"/CHECK=" + t.Path("nothing.log"), "/LOG=" + t.Path("r.txt")}), program,
        options);
    EXPECT_EQ(missing.exitCode, sweepstone::kCheckErrors);
    EXPECT_EQ(Lines(t.Read("r.txt")).front(),
              t.Path("nothing.log") + ": error: no uninstall log at " + t.Path("nothing.log"));
    const sweepstone::CheckRun unwritable = sweepstone::RunCheck(
        CheckArguments({"/CHECK", "/LOG=" + t.Path("no/such/folder/r.txt")}), program, options);
    EXPECT_EQ(unwritable.exitCode, sweepstone::kExitCancelled);
    EXPECT_NE(unwritable.message.find("The report cannot be written: "), std::string::npos);
}

namespace {

class QuietWindow : public sweepstone::RemovalWindow {
public:
    void SetMessageText(const std::string&) override {}
    void HideMessage() override {}
    void SetStatusText(const std::string&) override {}
    void ShowProgress() override {}
    void SetProgress(int) override {}
    void HideProgress() override {}
    void StopTimer() override {}
    void SetFinishButtonCaption(const std::string&) override {}
    void RestoreCursor() override {}
    void* OwnerWindow() override { return nullptr; }
    void ShowInformation(const std::string&, const std::string&) override {}
};

// Logs put together at random from values of every verdict, spelt in several ways,
// under keys that repeat and in sections that repeat.
std::vector<std::string> GeneratedLogs(size_t count) {
    const std::vector<std::pair<const char*, std::vector<const char*>>> pools = {
        {"Path",
         {"$Product", "$Gone", "$Protected", "$Sim", "$Sim/Addon Scenery/Sample", "\"$Product\"",
          " ", "$", "$Sim/Addon Scenery/Sample/", "$lib"}},
        {"File",
         {"$Product/readme.txt", "$Protected/system.sys", "$Sim/Scenery.cfg", "$gone.txt",
          "$run.txt", "'$run.txt'", "$Sim/Scenery/switched.bgl.off"}},
        {"ShortCut", {"$sys", "$Gone", "$Protected"}},
        {"Shared-Folder", {"$lib", "$Gone", "$Sim"}},
        {"Registry",
         {"SOFTWARE", "#\\Product", "\\#", "#\\Gone", "SOFTWARE\\Microsoft", "HKLM\\#\\Product",
          "HKCU\\Software\\Sample", "SOFTWARE\\Classes\\CLSID"}},
        {"Scenery.cfg",
         {"Sample Airport X", "Other", "Nothing", "$Sim/Scenery.cfg", "Default Terrain X",
          "Reno Field X"}},
        {"Shared-Folder-Option", {"$Gone", "$Product"}},
    };
    std::mt19937 random(20261209);
    std::vector<std::string> logs;
    for (size_t n = 0; n < count; ++n) {
        std::string log;
        const size_t sections = 1 + random() % 6;
        for (size_t s = 0; s < sections; ++s) {
            const auto& [name, values] = pools[random() % pools.size()];
            log += std::string("[") + name + "]\r\n";
            const size_t entries = 1 + random() % 4;
            for (size_t e = 0; e < entries; ++e) {
                const std::string value = values[random() % values.size()];
                std::string key = "K" + std::to_string(random() % 3);
                if (std::string(name) == "Scenery.cfg" && value[0] == '$')
                    key = random() % 4 == 0 ? "path" : "Path";
                log += key + "=" + value + "\r\n";
            }
        }
        logs.push_back(log);
    }
    return logs;
}

// A finding's value and verdict: "[Path] P1=<value>: refused: <rule>".
struct Verdicts {
    std::set<std::string> refused; // "item\trule"
    std::set<std::string> absent;
    std::set<std::string> areas; // areas predicted to go
    bool sharedStay = false;
};

std::string ItemOf(const std::string& section, const std::string& value) {
    if (section == "Rename_File" || section == "Rename_File_DEX") // the switched-off file
        return value + (section == "Rename_File" ? ".off" : ".bgl.off_dex");
    return section == "Registry" ? sweepstone::RegistryItemOf(value) : value;
}

// `library` is the scenery library as the logs name it.
Verdicts Predicted(const std::vector<Finding>& findings, const std::string& library) {
    const std::string kept = " of " + library + ": default area of the simulator";
    Verdicts v;
    for (const Finding& f : findings) {
        const std::string& text = f.text;
        const size_t close = text.find("] ");
        const std::string section = text.rfind("[", 0) == 0 ? text.substr(1, close - 1) : "";
        const size_t equals = text.find('=', close);
        const auto value = [&](size_t end) {
            return ItemOf(section, std::string(sweepstone::ProfileDocument::LookupValue(
                                       text.substr(equals + 1, end - equals - 1))));
        };
        if (const size_t at = text.rfind(": refused: "); at != std::string::npos)
            v.refused.insert(value(at) + "\t" + text.substr(at + 11));
        else if (const size_t left = text.find(": leaves [");
                 left != std::string::npos && text.ends_with(kept)) {
            const size_t title = text.find("] Title=", left) + 8;
            v.refused.insert(library + ": " +
                             text.substr(title, text.size() - kept.size() - title) +
                             "\tdefault area of the simulator");
        } else if (const size_t gone = text.rfind(": does not exist here");
                   gone != std::string::npos && gone + 21 == text.size())
            v.absent.insert(value(gone));
        else if (const size_t area = text.rfind(": removes ["); area != std::string::npos)
            v.areas.insert(text.substr(area + 11, text.find(']', area) - area - 11));
        v.sharedStay = v.sharedStay || text.find("another product uses") != std::string::npos;
    }
    return v;
}

std::set<std::string> SectionsOf(const std::string& path) {
    const sweepstone::ProfileDocument document = sweepstone::ProfileFile(path).Load();
    std::set<std::string> names;
    for (size_t i = 0; i < document.SectionCount(); ++i)
        names.emplace(document.SectionName(i));
    return names;
}

} // namespace

// What the check predicts is what the removal then does: every refusal with its rule,
// every item that is not there, every item removed, every area of the scenery library.
TEST(CheckAndRemoval, AgreeOnEveryValueOfTheFaultyAndTheGeneratedLogs) {
    std::vector<std::string> corpus;
    for (const LogCase& c : kLogs) {
        if (std::string(c.log).find("[Run]") == std::string::npos) // nothing is opened
            corpus.push_back(c.log);
    }
    for (const std::string& log : GeneratedLogs(40))
        corpus.push_back(log);
    for (const std::string& raw : corpus) {
        const TestFolder t;
        MakeTree(t);
        const CheckOptions options = OptionsFor(t);
        const std::string log = Expand(raw, t.Base());
        const sweepstone::ProfileDocument document(log);
        const Verdicts predicted = Predicted(sweepstone::CheckLog(document, options),
                                             Expand("$Sim/Scenery.cfg", t.Base()));
        const std::set<std::string> areasBefore = SectionsOf(t.Path("Sim/Scenery.cfg"));

        t.Write("wizard/Uninstall.log", log);
        sweepstone::WizardState state;
        state.BaseFolder = t.Path("wizard/");
        state.LogFileName = "Uninstall.log";
        QuietWindow window;
        const sweepstone::RemovalReport report =
            sweepstone::Timer1Timer(state, window, options.safety);

        std::set<std::string> refused;
        std::set<std::string> touched;
        for (const sweepstone::ReportItem& item : report.items) {
            touched.insert(item.item);
            if (item.outcome == sweepstone::Outcome::Refused)
                refused.insert(item.item + "\t" + item.reason);
        }
        EXPECT_EQ(refused, predicted.refused) << raw;
        for (const std::string& item : predicted.absent)
            EXPECT_EQ(touched.count(item), 0u) << item << "\n" << raw;
        // Every value the check passes without a finding is removed.
        for (const sweepstone::DeleteSection& step : sweepstone::DeleteSections()) {
            if (step.shared && predicted.sharedStay)
                continue;
            for (const std::string& entry : document.EntryTexts(step.section)) {
                const std::string value = entry.substr(entry.find('=') + 1);
                const std::string item = ItemOf(step.section, value);
                if (value.find_first_not_of(" \t") == std::string::npos ||
                    predicted.absent.count(item) ||
                    std::any_of(
                        predicted.refused.begin(), predicted.refused.end(),
                        [&item](const std::string& r) { return r.rfind(item + "\t", 0) == 0; }))
                    continue;
                // Unless a folder removed before took it with it.
                const std::string comparable = sweepstone::ComparablePath(item);
                const bool takenAlong =
                    std::any_of(report.items.begin(), report.items.end(), [&](const auto& removed) {
                        const std::string folder = sweepstone::ComparablePath(removed.item);
                        return removed.outcome == sweepstone::Outcome::Removed &&
                               (comparable == folder || comparable.rfind(folder + "\\", 0) == 0);
                    });
                EXPECT_TRUE(touched.count(item) || takenAlong) << item << "\n" << log;
            }
        }
        if (!platform::FilePresent(t.Path("Sim/Scenery.cfg")))
            continue; // a [File] value deleted the whole library, as predicted above
        std::set<std::string> gone;
        const std::set<std::string> areasAfter = SectionsOf(t.Path("Sim/Scenery.cfg"));
        for (const std::string& area : areasBefore) {
            if (!areasAfter.count(area))
                gone.insert(area);
        }
        EXPECT_EQ(gone, predicted.areas) << raw;
        (void)platform::DeleteMachineKeyTree(KeyFor(t.Base()));
    }
}
