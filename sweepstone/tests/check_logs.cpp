#include "check_logs.h"

#include "pe_exports.h"

#include "platform/registry.h"
#include "test_folder.h"

#include <gtest/gtest.h>

namespace check_logs {
namespace {

// The tree's scenery library: the simulator's own areas (below its Scenery folder,
// written relative to it or in full) and two products' areas.
const char* const kScenery =
    "[General]\r\nTitle=FS9 World Scenery\r\n\r\n"
    "[Area.001]\r\nTitle=Default Terrain\r\nLocal=Scenery\\World\r\n\r\n"
    "[Area.002]\r\nTitle=Sample Airport X\r\nLocal=Addon Scenery\\S\r\n\r\n"
    "[Area.003]\r\nTitle=Other Field\r\nLocal=Addon Scenery\\O\r\n\r\n"
    "[Area.004]\r\nTitle=Reno\r\nLocal=$Sim/Scenery/Cities/Reno\r\n";

} // namespace

Places StandIns(const std::string& tree) {
    return {tree, tree + "Protected", tree + "sys/"};
}

std::string Expand(const std::string& text, const Places& places) {
    std::string out;
    for (const char c : text) {
        if (c == '$')
            out += places.tree;
        else if (c == '#')
            out += KeyFor(places.tree);
        else if (c == '%')
            out += places.system;
        else if (c == '&')
            out += places.libraries;
        else
            out += c;
    }
    return out;
}

std::string KeyFor(const std::string& tree) {
    const std::string folder = tree.substr(0, tree.size() - 1);
    return "SOFTWARE\\BrightmereCheckTest\\" + folder.substr(folder.find_last_of("\\/") + 1);
}

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

void MakeTree(const testing_support::TestFolder& t) {
    t.Write("Product/readme.txt", "read me");
    t.Write("Product/Uninstall.exe", "wizard");
    t.Write("Protected/system.sys", "system");
    t.Write("Sim/Scenery.cfg", Expand(kScenery, StandIns(t.Base())));
    t.MakeFolder("Sim/Addon Scenery/Sample");
    t.Write("Sim/Scenery/switched.bgl.off", "off");
    t.Write("lib/plain.dll", TinyLibrary(OwnMachine(), {"Cleanup", "_Decorated@12"}));
    t.Write("lib/other.dll", TinyLibrary(OtherMachine(), {"Cleanup"}));
    t.Write("lib/text.dll", "not a library");
    t.Write("sys/system.dll", TinyLibrary(OwnMachine(), {"Cleanup"}));
    t.Write("sys/kernel32.dll", TinyLibrary(OwnMachine(), {"GetTickCount"}));
    t.Write("run.txt", "run");
    ASSERT_FALSE(platform::CreateMachineKey(KeyFor(t.Base()) + "\\Product"));
}

// One log per kind of finding, and clean ones: the exact report and exit code.
const std::vector<LogCase> kLogs = {
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
     "D4=kernel32.dll@Cleanup\r\nD5=$lib/gone.dll@Cleanup\r\nD6=$lib/text.dll@Cleanup\r\n"
     "D7=$lib/other.dll@Cleanup\r\nD8=$lib/plain.dll@Decorated\r\nD9=$lib/plain@Cleanup@x\r\n",
     {"Uninstall.log:2: error: [DLL_RUN] D1=$lib/plain.dll@Cleanup@a@b@c@d: more than five "
      "fields: the call is skipped",
      "Uninstall.log:3: error: [DLL_RUN] D2=@Cleanup: no library named: the call is skipped",
      "Uninstall.log:4: error: [DLL_RUN] D3=$lib/plain.dll@: no entry point named: the call "
      "is skipped",
      "Uninstall.log:5: warning: [DLL_RUN] D4=kernel32.dll@Cleanup: a bare library name: "
      "looked for in the system folder only (&kernel32.dll)",
      "Uninstall.log:5: error: [DLL_RUN] D4=kernel32.dll@Cleanup: the library exports no entry "
      "point \"Cleanup\": the call is skipped",
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
      "Uninstall.log: 7 errors, 2 warnings, 0 notes"},
     2,
     true},
    // The safety rules, and what is not there.
    {"[Registry]\r\nR1=SOFTWARE\r\nR2=#\\Gone\r\n[Path]\r\n"
     "P1=%\r\nP2=$Sim\r\nP3=$Gone\r\n[File]\r\nF1=%/system.sys\r\n"
     "F2=$Sim/Scenery.cfg\r\nF3=$Product/gone.txt\r\n[ShortCut]\r\nS1=$\r\n"
     "[Scenery.cfg]\r\nPath=$Sim/Scenery.cfg\r\n[Rename_File]\r\nN1=%/system\r\n"
     "[Rename_File_DEX]\r\nN1=Scenery\\switched\r\n",
     {"Uninstall.log:2: error: [Registry] R1=SOFTWARE: refused: a hive or top-level key",
      "Uninstall.log:3: warning: [Registry] R2=#\\Gone: does not "
      "exist here",
      "Uninstall.log:5: error: [Path] P1=%: refused: the Windows folder",
      "Uninstall.log:6: error: [Path] P2=$Sim: refused: the simulator's folder",
      "Uninstall.log:7: warning: [Path] P3=$Gone: does not exist here",
      "Uninstall.log:9: error: [File] F1=%/system.sys: refused: below the Windows folder",
      "Uninstall.log:10: error: [File] F2=$Sim/Scenery.cfg: refused: the simulator's scenery "
      "library",
      "Uninstall.log:11: warning: [File] F3=$Product/gone.txt: does not exist here",
      "Uninstall.log:13: error: [ShortCut] S1=$: refused: holds the simulator's folder",
      "Uninstall.log:17: error: [Rename_File] N1=%/system: refused: below the Windows folder",
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
    // What lies below a folder that nothing may leave, and a product's own folder
    // below one of the simulator's standard folders, which may go.
    {"[Path]\r\nP1=%/Inner\r\n[ShortCut]\r\nS1=$Sim/Addon Scenery/Sample\r\n",
     {"Uninstall.log:2: error: [Path] P1=%/Inner: refused: below the Windows folder",
      "Uninstall.log: 1 error, 0 warnings, 0 notes"},
     2},
    // While another product uses the shared folders, their sections are not acted on.
    {"[Shared-Folder-Option]\r\nO1=$Product\r\n[Shared-Folder]\r\nS1=%\r\n",
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
     2,
     true},
    {"\xEF\xBB\xBF[General]\r\nName=M\xC3\xBCller\r\n",
     {"Uninstall.log: 0 errors, 0 warnings, 0 notes"},
     0},
    // A library call's arguments reach the entry point in the ANSI code page.
    {"\xEF\xBB\xBF[DLL_RUN]\r\nD1=$lib/plain.dll@Cleanup@\xCE\xA9 Field\r\n",
     {"Uninstall.log:2: error: [DLL_RUN] D1=$lib/plain.dll@Cleanup@\xCE\xA9 Field: characters of "
      "\"\xCE\xA9 Field\" that the ANSI code page lacks reach the entry point as \"?\"",
      "Uninstall.log: 1 error, 0 warnings, 0 notes"},
     2,
     true},
};

} // namespace check_logs
