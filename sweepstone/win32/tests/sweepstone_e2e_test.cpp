// End-to-end tests of sweepstone.exe: each test builds a sample product in a fresh
// tree (folders, files, shortcuts, registry keys, a scenery library, switched-off
// scenery files), copies the real program beside it with an uninstall log, starts
// it and drives its window as a user would: texts of the labels and buttons, clicks,
// answers to its question box, the effects on disk and in the registry, and after
// "Finish" the program deleting itself and its folder.
//
// The program, the test library, the run-file program and a picture lie in "data\"
// beside this driver. Screenshots of the wizard before and after the removal are
// written to "sweepstone-before.bmp" and "sweepstone-after.bmp" beside the driver.
#include "check_logs.h"
#include "components.h"
#include "test_folder.h"
#include "window_driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using sweepstone::win32::Component;
using namespace window_driver;
using platform::win32::ScopedFileHandle;
using platform::win32::ScopedFindHandle;
using platform::win32::ScopedKernelHandle;
using platform::win32::ScopedRegistryKey;

namespace {

std::wstring Data(const wchar_t* name) {
    return DriverFolder() + L"data\\" + name;
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << bytes;
}

// Makes a folder with every missing folder above it.
void MakeFolders(const std::wstring& path) {
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\')
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    }
}

// The wizard reaches the 32-bit view of the registry, where 32-bit installers
// write, also when it is built for 64 bits; the driver looks at the same view, and
// at the 64-bit one (KEY_WOW64_64KEY) to show which it is.
constexpr REGSAM kView = KEY_WOW64_32KEY;

bool Is64BitSystem() {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    return sizeof(void*) == 8 || wow64;
}

bool KeyExists(const std::wstring& key, REGSAM view = kView) {
    ScopedRegistryKey h;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, h.Receive()) ==
           ERROR_SUCCESS;
}

void MakeKey(const std::wstring& key, const wchar_t* value, REGSAM view = kView) {
    ScopedRegistryKey h;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                              nullptr, h.Receive(), nullptr),
              ERROR_SUCCESS)
        << Narrow(key);
    RegSetValueExW(h.Get(), L"Value", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
}

void DeleteKeyTree(const std::wstring& key, REGSAM view = kView) {
    ScopedRegistryKey h;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS | view, h.Receive()) !=
        ERROR_SUCCESS)
        return;
    RegDeleteTreeW(h.Get(), nullptr);
    h.Reset();
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), view, 0);
}

// Sets a string value of an existing key; with an empty text, deletes the value.
void SetKeyValue(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    ScopedRegistryKey h;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | kView, h.Receive()),
              ERROR_SUCCESS)
        << Narrow(key);
    if (text.empty())
        RegDeleteValueW(h.Get(), name);
    else
        RegSetValueExW(h.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Entries of a folder that match a pattern (the self-deletion's folders).
std::set<std::wstring> FilesIn(const std::wstring& temp, const wchar_t* pattern) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const ScopedFindHandle h(FindFirstFileW((temp + pattern).c_str(), &found));
    if (!h)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.insert(temp + name);
    } while (FindNextFileW(h.Get(), &found));
    return names;
}

// A sample product installed below trees\<name>\: what its installer put in place
// and the log that names it.
struct Product {
    std::wstring root;        // trees\<name>\ with its closing backslash
    std::wstring folder;      // the product's folder, where the wizard lies
    std::wstring program;     // the wizard's program file
    std::wstring registryKey; // SOFTWARE\BrightmereE2E\<name>
    std::wstring entryRecord; // what the test library records
    std::wstring runRecord;   // what the run file records
    std::wstring temp;        // the wizard's temporary folder: its path holds blanks
};

const char* const kSceneryCfg = "[General]\r\n"
                                "Title=FS9 World Scenery\r\n"
                                "Description=FS9 Scenery Data\r\n"
                                "Clean_on_Exit=TRUE\r\n"
                                "\r\n"
                                "[Area.001]\r\n"
                                "Title=Default Terrain\r\n"
                                "Local=Scenery\\World\r\n"
                                "Layer=1\r\n"
                                "Active=TRUE\r\n"
                                "Required=TRUE\r\n"
                                "\r\n"
                                "[Area.002]\r\n"
                                "Title=Sample Airport X\r\n"
                                "Local=Addon Scenery\\Sample Airport\r\n"
                                "Layer=2\r\n"
                                "Active=TRUE\r\n"
                                "Required=FALSE\r\n"
                                "\r\n"
                                "[Area.003]\r\n"
                                "Title=Other Field\r\n"
                                "Local=Addon Scenery\\Other Field\r\n"
                                "Layer=3\r\n"
                                "Active=TRUE\r\n"
                                "Required=FALSE\r\n"
                                "\r\n"
                                "[Area.004]\r\n"
                                "Title=Sample Airport X Scenery\r\n"
                                "Local=Addon Scenery\\Sample Airport\\Objects\r\n"
                                "Layer=4\r\n"
                                "Active=TRUE\r\n"
                                "Required=FALSE\r\n"
                                "\r\n"
                                "[Area.005]\r\n"
                                "Title=Brightmere Shared Library\r\n"
                                "Local=Addon Scenery\\Brightmere Library\r\n"
                                "Layer=5\r\n"
                                "Active=TRUE\r\n"
                                "Required=FALSE\r\n";

// The sections of a scenery library file, in file order.
std::vector<std::string> SectionsOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[')
            out.push_back(line.substr(1, line.find(']') - 1));
    }
    return out;
}

// How a log or a scenery library file is stored.
enum class Encoding { Ansi, Utf8WithMark, Utf16WithMark };

std::wstring Wide(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// UTF-8 text stored in an encoding: ANSI is the system's code page (1252 here),
// which must hold every character of the text.
std::string Encode(const std::string& utf8, Encoding encoding) {
    const std::wstring wide = Wide(utf8);
    switch (encoding) {
    case Encoding::Utf8WithMark:
        return "\xEF\xBB\xBF" + utf8;
    case Encoding::Utf16WithMark:
        return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()),
                                        wide.size() * sizeof(wchar_t));
    case Encoding::Ansi:
        break;
    }
    return InCodePage(wide, CP_ACP);
}

// The names a product uses, and the encodings of its log and scenery library.
struct Naming {
    std::wstring productName = L"Sample Airport X"; // the log's [General] Name
    std::wstring folderName = L"Sample Airport X";  // the wizard's folder below Program Files
    std::wstring areaTitle = L"Sample Airport X Scenery";
    Encoding log = Encoding::Ansi;
    Encoding scenery = Encoding::Ansi;
    std::wstring tempName = L"Local Temp"; // the temporary folder below the tree
};

// Builds the product. `programName` is the wizard's file name; the log is named by
// its stem. `logText` replaces the full log when given; `withLog` false leaves the
// log out.
Product MakeProduct(const std::wstring& name, const std::wstring& programName, bool withLog = true,
                    const Naming& naming = {}) {
    Product p;
    p.root = DriverFolder() + L"trees\\" + name + L"\\";
    DeleteTree(p.root.substr(0, p.root.size() - 1));
    p.folder = p.root + L"Program Files\\" + naming.folderName + L"\\";
    p.program = p.folder + programName;
    p.registryKey = L"SOFTWARE\\BrightmereE2E\\" + name;
    p.entryRecord = p.root + L"entry-record.txt";
    p.runRecord = p.root + L"run-record.txt";
    p.temp = p.root + naming.tempName + L"\\";
    DeleteKeyTree(p.registryKey);

    MakeFolders(p.folder);
    MakeFolders(p.temp.substr(0, p.temp.size() - 1));
    CopyFileW(Data(L"sweepstone.exe").c_str(), p.program.c_str(), FALSE);
    MakeFolders(p.root + L"Sim\\Addon Scenery\\Sample Airport\\scenery");
    MakeFolders(p.root + L"Sim\\Addon Scenery\\Sample Airport\\texture");
    MakeFolders(p.root + L"Sim\\Addon Scenery\\Other Field"); // another product's
    WriteFile(p.root + L"Sim\\Addon Scenery\\Sample Airport\\scenery\\APX45170.bgl", "bgl");
    WriteFile(p.root + L"Sim\\Addon Scenery\\Sample Airport\\texture\\ground.dds", "dds");
    MakeFolders(p.root + L"Sim\\Effects");
    WriteFile(p.root + L"Sim\\Effects\\sample_lights.fx", "fx");
    WriteFile(p.root + L"Sim\\Effects\\other_lights.fx", "fx");
    MakeFolders(p.root + L"Start Menu\\Programs\\Sample Airport X");
    WriteFile(p.root + L"Start Menu\\Programs\\Sample Airport X\\Uninstall.lnk", "lnk");
    WriteFile(p.root + L"Start Menu\\Programs\\Sample Airport X\\Manual.lnk", "lnk");
    WriteFile(p.root + L"Start Menu\\Programs\\Other Field.lnk", "lnk");
    MakeFolders(p.root + L"ProgramData\\Sim");
    std::string scenery = kSceneryCfg;
    const std::string defaultTitle = "Title=Sample Airport X Scenery\r\n";
    scenery.replace(scenery.find(defaultTitle), defaultTitle.size(),
                    "Title=" + Utf8(naming.areaTitle) + "\r\n");
    WriteFile(p.root + L"ProgramData\\Sim\\Scenery.cfg", Encode(scenery, naming.scenery));
    MakeFolders(p.root + L"Sim\\Scenery\\World\\scenery");
    WriteFile(p.root + L"Sim\\Scenery\\World\\scenery\\APX45170.off", "switched off");
    WriteFile(p.root + L"Sim\\Scenery\\World\\scenery\\APX45180.bgl.off_dex", "switched off dex");
    MakeFolders(p.root + L"Sim\\Shared\\Brightmere Library");
    WriteFile(p.root + L"Sim\\Shared\\Brightmere Library\\library.bgl", "shared");
    MakeKey(p.registryKey + L"\\Sample Airport X\\Settings\\Deep", L"deep");
    MakeKey(p.registryKey + L"\\Sample Airport X\\Paths", L"paths");
    MakeKey(p.registryKey + L"\\Brightmere Tools\\Sample Tools", L"tools");
    MakeKey(p.registryKey + L"\\Other Product", L"stays");

    if (!withLog)
        return p;
    const std::string r = Utf8(p.root);
    const std::string log = "[General]\r\n"
                            "Name=" +
                            Utf8(naming.productName) +
                            "\r\n"
                            "[Run]\r\n"
                            "Run-File=" +
                            Utf8(Data(L"record_run_file.exe")) +
                            "\r\n"
                            "[DLL_RUN]\r\n"
                            "D1=" +
                            Utf8(Data(L"sweepstone_test_entry.dll")) +
                            "@Unregister@Sample Airport X@second@\r\n"
                            "[DLL_RUN_SHARED]\r\n"
                            "D1=" +
                            Utf8(Data(L"sweepstone_test_entry.dll")) +
                            "@Cleanup@shared@@\r\n"
                            "[Scenery.cfg]\r\n"
                            "Path=" +
                            r +
                            "ProgramData\\Sim\\Scenery.cfg\r\n"
                            "T1=" +
                            Utf8(naming.areaTitle) +
                            "\r\n"
                            "[Shared_Scenery.cfg]\r\n"
                            "T1=Brightmere Shared Library\r\n"
                            "[Registry]\r\n"
                            "R1=" +
                            Utf8(p.registryKey) +
                            "\\Sample Airport X\r\n"
                            "R2=\\" +
                            Utf8(p.registryKey) +
                            "\\Brightmere Tools\\Sample Tools\r\n"
                            "[Path]\r\n"
                            "P1=" +
                            r +
                            "Sim\\Addon Scenery\\Sample Airport\r\n"
                            "[Shared-Folder-Option]\r\n"
                            "O1=" +
                            r +
                            "Other Product\r\n"
                            "[Shared-Folder]\r\n"
                            "S1=" +
                            r +
                            "Sim\\Shared\\Brightmere Library\r\n"
                            "[File]\r\n"
                            "F1=" +
                            r +
                            "Sim\\Effects\\sample_lights.fx\r\n"
                            "[ShortCut]\r\n"
                            "S1=" +
                            r +
                            "Start Menu\\Programs\\Sample Airport X\r\n"
                            "[Rename_File]\r\n"
                            "N1=" +
                            r +
                            "Sim\\Scenery\\World\\scenery\\APX45170\r\n"
                            "[Rename_File_DEX]\r\n"
                            "N1=" +
                            r + "Sim\\Scenery\\World\\scenery\\APX45180\r\n";
    const std::wstring stem = programName.substr(0, programName.find(L'.') + 1);
    WriteFile(p.folder + stem + L"log", Encode(log, naming.log));
    return p;
}

// sweepstone.exe running beside a product.
class Wizard {
public:
    explicit Wizard(const Product& product, const std::wstring& arguments = L"") {
        SetEnvironmentVariableW(L"BRIGHTMERE_TEST_ENTRY_RECORD", product.entryRecord.c_str());
        SetEnvironmentVariableW(L"BRIGHTMERE_RUN_RECORD", product.runRecord.c_str());
        SetEnvironmentVariableW(L"TMP", product.temp.c_str());
        SetEnvironmentVariableW(L"TEMP", product.temp.c_str());
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        std::wstring command = L"\"" + product.program + L"\"";
        if (!arguments.empty())
            command += L" " + arguments;
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            product.root.c_str(), &si, &started))
            return;
        process_.Reset(started.hProcess);
        thread_.Reset(started.hThread);
        processId_ = started.dwProcessId;
        WaitForInputIdle(process_.Get(), 20000);
        WaitFor([this] { return (form_ = FindOwnWindow(sweepstone::win32::kFormClassName)); });
    }

    ~Wizard() {
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.Get(), 1);
    }

    HWND Form() const { return form_; }
    HWND Control(Component c) const { return GetDlgItem(form_, sweepstone::win32::ControlId(c)); }
    std::wstring Text(Component c) const { return TextOf(Control(c)); }
    bool Visible(Component c) const { return IsWindowVisible(Control(c)) != FALSE; }
    bool Enabled(Component c) const { return IsWindowEnabled(Control(c)) != FALSE; }
    HWND Tooltips() const { return FindOwnWindow(L"tooltips_class32", false); }

    // Rests the pointer on a control and returns the tip that shows there.
    std::wstring TipOver(Component c) const {
        HWND tips = Tooltips();
        if (!tips)
            return L"<no tooltips>";
        RECT r;
        GetWindowRect(Control(c), &r);
        SetCursorPos(r.left + 5, r.top + 5);
        Sleep(50);
        SetCursorPos(r.left + 10, r.top + 8);
        std::wstring tip;
        WaitFor(
            [&] {
                tip = IsWindowVisible(tips) ? TextOf(tips) : L"";
                return !tip.empty();
            },
            5);
        SetCursorPos(0, 0); // away, so that the tip goes
        WaitFor([&] { return !IsWindowVisible(tips); }, 5);
        return tip.empty() ? L"<no tip shown>" : tip;
    }

    // A click that may open a modal box or end the program: posted, so that the
    // driver stays free.
    void Click(Component c) const { PostMessageW(Control(c), BM_CLICK, 0, 0); }

    MessageBoxSeen WaitForMessageBox(double seconds = 20) const {
        return window_driver::WaitForMessageBox(processId_, seconds);
    }
    HWND MessageBoxNow() const { return FindOwnWindow(L"#32770"); }

    static void Answer(const MessageBoxSeen& box, int button) { AnswerMessageBox(box, button); }

    // Waits for the process to end; false when it is still running.
    bool Exited(DWORD* code, DWORD milliseconds = 15000) const {
        if (WaitForSingleObject(process_.Get(), milliseconds) != WAIT_OBJECT_0)
            return false;
        GetExitCodeProcess(process_.Get(), code);
        return true;
    }

    // "Next >", the question answered with OK, and the wait for "Finish". A box
    // that lists items left behind fails the test with its text, unless the test
    // expects one; its text is returned.
    std::wstring RunRemoval(bool itemsLeftExpected = false) const {
        Click(Component::BitBtn1);
        const MessageBoxSeen question = WaitForMessageBox();
        if (!question.hwnd) {
            ADD_FAILURE() << "no question box";
            return {};
        }
        EXPECT_EQ(question.caption, L"Information");
        EXPECT_EQ(question.text, L"Do you want to completely remove the selected application "
                                 L"and all of its features?");
        Answer(question, IDOK);
        HWND left = nullptr;
        WaitFor(
            [&] {
                left = MessageBoxNow();
                return left || Text(Component::BitBtn2) == L"Finish";
            },
            60);
        // "Finish" shows before the box that lists what is left.
        if (!left && itemsLeftExpected)
            WaitFor([&] { return (left = MessageBoxNow()) != nullptr; }, 20);
        std::wstring leftText;
        if (left) {
            const MessageBoxSeen box = ReadMessageBox(left);
            if (!itemsLeftExpected)
                ADD_FAILURE() << "items left behind: " << Narrow(box.text);
            leftText = box.text;
            Answer(box, IDOK);
        } else if (itemsLeftExpected) {
            ADD_FAILURE() << "no box lists the items left";
        }
        EXPECT_TRUE(WaitFor([&] { return Text(Component::BitBtn2) == L"Finish"; }, 10));
        return leftText;
    }

    bool SaveScreenshot(const std::wstring& path) const {
        return window_driver::SaveScreenshot(form_, path);
    }

private:
    HWND FindOwnWindow(const wchar_t* className, bool mustBeVisible = true) const {
        return FindProcessWindow(processId_, className, mustBeVisible);
    }

    ScopedKernelHandle process_;
    ScopedKernelHandle thread_;
    DWORD processId_ = 0;
    HWND form_ = nullptr;
};

// Programs planted in the temporary folder under the name of the program that the
// batch waits with: each would leave a mark beside itself if the interpreter ran it.
void PlantPing(const Product& p) {
    for (const wchar_t* name : {L"ping.bat", L"ping.cmd"})
        WriteFile(p.temp + name, "@echo ran>\"%~dp0planted ping ran.txt\"\r\n");
}

// "Finish": the process ends, then its batch deletes the program file, the then
// empty folder, and the interpreter its batch with the batch's own folder; nothing
// stays in the temporary folder. The program file is held open (without sharing
// its deletion) for three seconds after the end, so the batch must wait and try
// again, which it does without running the ping.bat and ping.cmd planted in the
// temporary folder. The temporary folder's path holds a blank, so the batch's
// lines need their quotes.
// `exitCode`: 0 without arguments; with arguments (/LOG) the code says what was left.
void FinishAndExpectSelfDeletion(const Wizard& w, const Product& p, DWORD exitCode = 0) {
    PlantPing(p);
    const std::set<std::wstring> before = FilesIn(p.temp, L"*");
    // Shared for reading and writing (as the running program's own image is), not
    // for deletion.
    ScopedFileHandle held(CreateFileW(p.program.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(held) << "the program file cannot be held: " << GetLastError();
    w.Click(Component::BitBtn2);
    DWORD code = 99;
    const bool exited = w.Exited(&code);
    if (exited) {
        Sleep(3000);
        EXPECT_TRUE(FileExists(p.program)) << "deleted while held open";
    }
    held.Reset();
    ASSERT_TRUE(exited) << "Finish did not end the program";
    EXPECT_EQ(code, exitCode);
    EXPECT_TRUE(WaitFor([&] { return !FileExists(p.program); }, 30))
        << "the program file is still there";
    EXPECT_TRUE(WaitFor([&] { return !FolderExists(p.folder); }, 30))
        << "the program's folder is still there";
    EXPECT_TRUE(WaitFor([&] { return FilesIn(p.temp, L"*") == before; }, 30))
        << "the batch or its folder is still there";
    EXPECT_FALSE(FileExists(p.temp + L"planted ping ran.txt")) << "a planted ping ran";
}

// The log's registry keys, folders, files, shortcut folder and renamed scenery
// files are gone or switched off, and so are the folders and keys that held them
// and are empty now; what other products own stays.
void ExpectKeysFoldersAndFilesRemoved(const Product& p) {
    EXPECT_FALSE(KeyExists(p.registryKey + L"\\Sample Airport X"));
    EXPECT_FALSE(KeyExists(p.registryKey + L"\\Brightmere Tools")) << "an empty parent";
    EXPECT_TRUE(KeyExists(p.registryKey + L"\\Other Product"));
    EXPECT_FALSE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
    EXPECT_FALSE(FolderExists(p.root + L"Sim\\Shared")) << "an empty parent";
    EXPECT_FALSE(FileExists(p.root + L"Sim\\Effects\\sample_lights.fx"));
    EXPECT_TRUE(FileExists(p.root + L"Sim\\Effects\\other_lights.fx"));
    EXPECT_FALSE(FolderExists(p.root + L"Start Menu\\Programs\\Sample Airport X"));
    EXPECT_EQ(ReadFile(p.root + L"Sim\\Scenery\\World\\scenery\\APX45170.bgl"), "switched off");
    EXPECT_EQ(ReadFile(p.root + L"Sim\\Scenery\\World\\scenery\\APX45180.bgl"), "switched off dex");
}

// Everything the log names is gone, the scenery library's backup (holding
// `sceneryBefore`) included, and the run file has been opened.
void ExpectProductRemoved(const Product& p, const std::string& sceneryBefore = kSceneryCfg) {
    EXPECT_EQ(ReadFile(p.entryRecord),
              "Unregister|Sample Airport X|second|<null>\nCleanup|shared|<null>|<null>\n");
    EXPECT_EQ(SectionsOf(ReadFile(p.root + L"ProgramData\\Sim\\Scenery.cfg")),
              (std::vector<std::string>{"General", "Area.001", "Area.003"}));
    EXPECT_EQ(ReadFile(p.root + L"ProgramData\\Sim\\Backup_of_scenery_cfg_(Sample Airport X).cfg"),
              sceneryBefore);
    ExpectKeysFoldersAndFilesRemoved(p);
    EXPECT_TRUE(WaitFor([&] { return FileExists(p.runRecord); }, 20));
}

// The report's lines, without the byte-order mark.
std::vector<std::string> ReportLines(const std::wstring& file) {
    std::string text = ReadFile(file);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u) << "a UTF-8 report starts with its mark";
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

const std::wstring kRemovedText =
    L"The Sample Airport X are removed from your system! Click Finish to exit the Uninstall "
    L"wizard.";

} // namespace

TEST(Wizard, RemovesTheWholeProductAndThenItself) {
    const Product p = MakeProduct(L"full", L"Uninstall.exe");
    // The product's own entries in the places made for them, named with the
    // machine's root as installers often write it.
    const std::wstring uninstallEntry =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample Airport X E2E";
    const std::wstring classEntry =
        L"SOFTWARE\\Classes\\CLSID\\{B0D5E1F2-0000-4000-8000-5357454550AB}";
    MakeKey(uninstallEntry, L"entry");
    MakeKey(classEntry + L"\\InprocServer32", L"server");
    std::string log = ReadFile(p.folder + L"Uninstall.log");
    log.insert(log.find("[Registry]\r\n") + 12, "R3=HKLM\\" + Narrow(uninstallEntry) +
                                                    "\r\nR4=HKEY_LOCAL_MACHINE\\" +
                                                    Narrow(classEntry) + "\r\n");
    WriteFile(p.folder + L"Uninstall.log", log);
    // On 64-bit Windows the 32-bit view's SOFTWARE\X is SOFTWARE\WOW6432Node\X of the
    // 64-bit view, which also has a SOFTWARE\X of its own that no 32-bit installer
    // wrote: the wizard removes the first and never sees the second.
    const std::wstring own64 = L"SOFTWARE\\WOW6432Node\\" + p.registryKey.substr(9);
    const bool system64 = Is64BitSystem();
    if (system64) {
        EXPECT_TRUE(KeyExists(own64 + L"\\Sample Airport X", KEY_WOW64_64KEY));
        MakeKey(p.registryKey + L"\\Sample Airport X", L"64-bit view", KEY_WOW64_64KEY);
    }
    const std::string sceneryBefore = ReadFile(p.root + L"ProgramData\\Sim\\Scenery.cfg");
    Wizard w(p);
    ASSERT_NE(w.Form(), nullptr) << "sweepstone.exe did not show its window";

    // The window as laid out.
    RECT client;
    GetClientRect(w.Form(), &client);
    EXPECT_EQ(client.right, 690);
    EXPECT_EQ(client.bottom, 498);
    EXPECT_EQ(GetWindowLongW(w.Form(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER), 0)
        << "frameless";
    RECT window;
    GetWindowRect(w.Form(), &window);
    EXPECT_NEAR(window.left + 690 / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred";
    EXPECT_NEAR(window.top + 498 / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1) << "centred";
    EXPECT_EQ(TextOf(w.Form()), L"Uninstaller by brightmere");
    struct Expected {
        Component component;
        const wchar_t* cls;
        int left, top, width, height;
        bool visible;
    };
    const Expected layout[] = {
        {Component::Image_background, L"Static", 0, 0, 690, 498, true},
        {Component::Label_Message, L"Static", 197, 85, 476, 44, true},
        {Component::BitBtn1, L"Button", 437, 463, 113, 25, true},
        {Component::BitBtn2, L"Button", 557, 463, 113, 25, true},
        {Component::StatusBar1, L"Static", 265, 171, 3, 13, true},
        {Component::ProgressBar1, L"msctls_progress32", 200, 267, 449, 16, false},
        {Component::Label_Uninstall, L"Static", 200, 181, 412, 44, true},
        {Component::Label_status, L"Static", 200, 288, 448, 33, false},
    };
    for (const Expected& e : layout) {
        HWND h = w.Control(e.component);
        ASSERT_NE(h, nullptr) << static_cast<int>(e.component);
        EXPECT_EQ(ClassOf(h), e.cls) << static_cast<int>(e.component);
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, w.Form(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, e.left) << static_cast<int>(e.component);
        EXPECT_EQ(r.top, e.top) << static_cast<int>(e.component);
        EXPECT_EQ(r.right - r.left, e.width) << static_cast<int>(e.component);
        EXPECT_EQ(r.bottom - r.top, e.height) << static_cast<int>(e.component);
        EXPECT_EQ(w.Visible(e.component), e.visible) << static_cast<int>(e.component);
    }
    // Tab order: the two buttons, then the progress bar; the picture lies below all.
    EXPECT_EQ(GetWindow(w.Form(), GW_CHILD), w.Control(Component::BitBtn1));
    EXPECT_EQ(GetWindow(w.Control(Component::BitBtn1), GW_HWNDNEXT), w.Control(Component::BitBtn2));
    EXPECT_EQ(GetWindow(w.Control(Component::BitBtn2), GW_HWNDNEXT),
              w.Control(Component::ProgressBar1));
    EXPECT_EQ(GetWindow(w.Form(), GW_CHILD) ? GetWindow(GetWindow(w.Form(), GW_CHILD), GW_HWNDLAST)
                                            : nullptr,
              w.Control(Component::Image_background));
    EXPECT_TRUE(GetWindowLongW(w.Control(Component::BitBtn1), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageW(w.Control(Component::ProgressBar1), PBM_GETRANGE, FALSE, 0), 100);
    ASSERT_NE(w.Tooltips(), nullptr);
    EXPECT_EQ(w.TipOver(Component::BitBtn1), L"Uninstall the Sample Airport X from you system!");
    EXPECT_EQ(w.TipOver(Component::BitBtn2),
              L"Exit program - whithout uninstalling Sample Airport X!");

    // The greeting.
    EXPECT_EQ(w.Text(Component::Label_Message),
              L"Welcome to the Maintenace program. This program lets you modify the current "
              L"installation.");
    EXPECT_EQ(w.Text(Component::Label_Uninstall),
              L"Remove all installed features of Sample Airport X now?");
    EXPECT_EQ(w.Text(Component::BitBtn1), L"Next >");
    EXPECT_TRUE(w.Enabled(Component::BitBtn1));
    EXPECT_EQ(w.Text(Component::BitBtn2), L"Cancel");
    Sleep(500); // let the window finish painting
    EXPECT_TRUE(w.SaveScreenshot(DriverFolder() + L"sweepstone-before.bmp"));

    // Enter presses the default button "Next >". The question answered with Cancel
    // changes nothing, and "Next >" stays usable.
    PostMessageW(w.Control(Component::BitBtn1), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(w.Control(Component::BitBtn1), WM_KEYUP, VK_RETURN, 0);
    const MessageBoxSeen question = w.WaitForMessageBox();
    ASSERT_NE(question.hwnd, nullptr);
    EXPECT_EQ(question.caption, L"Information");
    EXPECT_EQ(GetDlgItem(question.hwnd, IDOK) != nullptr, true);
    EXPECT_EQ(GetDlgItem(question.hwnd, IDCANCEL) != nullptr, true);
    Wizard::Answer(question, IDCANCEL);
    Sleep(1500); // longer than the timer's second
    EXPECT_TRUE(w.Visible(Component::Label_Uninstall));
    EXPECT_FALSE(w.Visible(Component::Label_status));
    EXPECT_TRUE(w.Enabled(Component::BitBtn1));
    EXPECT_EQ(w.Text(Component::BitBtn2), L"Cancel");
    EXPECT_TRUE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
    EXPECT_EQ(ReadFile(p.entryRecord), "<missing>");

    w.RunRemoval();
    Sleep(300);
    EXPECT_TRUE(w.SaveScreenshot(DriverFolder() + L"sweepstone-after.bmp"));

    // The final texts.
    EXPECT_EQ(w.Text(Component::Label_status), kRemovedText);
    EXPECT_TRUE(w.Visible(Component::Label_status));
    EXPECT_FALSE(w.Visible(Component::Label_Message));
    EXPECT_FALSE(w.Visible(Component::Label_Uninstall));
    EXPECT_FALSE(w.Visible(Component::ProgressBar1));
    EXPECT_EQ(SendMessageW(w.Control(Component::ProgressBar1), PBM_GETPOS, 0, 0), 100);
    EXPECT_FALSE(w.Enabled(Component::BitBtn1));
    EXPECT_TRUE(w.Enabled(Component::BitBtn2));

    // Every effect of the log, and what stays beside it.
    ExpectProductRemoved(p, sceneryBefore);
    EXPECT_FALSE(KeyExists(uninstallEntry));
    EXPECT_FALSE(KeyExists(classEntry));
    EXPECT_TRUE(KeyExists(L"SOFTWARE\\Classes\\CLSID"));
    if (system64) {
        EXPECT_FALSE(KeyExists(own64 + L"\\Sample Airport X", KEY_WOW64_64KEY));
        EXPECT_TRUE(KeyExists(p.registryKey + L"\\Sample Airport X", KEY_WOW64_64KEY));
        DeleteKeyTree(p.registryKey, KEY_WOW64_64KEY);
    }
    EXPECT_TRUE(FolderExists(p.root + L"Sim\\Addon Scenery"));
    EXPECT_TRUE(FolderExists(p.root + L"Start Menu\\Programs"));
    EXPECT_FALSE(FileExists(p.root + L"Sim\\Scenery\\World\\scenery\\APX45170.off"));
    EXPECT_FALSE(FileExists(p.root + L"Sim\\Scenery\\World\\scenery\\APX45180.bgl.off_dex"));
    EXPECT_FALSE(FileExists(p.folder + L"Uninstall.log"));
    EXPECT_TRUE(FileExists(p.program)) << "the program stays until Finish";
    // The run file was opened with the wizard's folder as its parameter text.
    EXPECT_EQ(ReadFile(p.runRecord), Narrow(p.folder));

    FinishAndExpectSelfDeletion(w, p);
}

// Names beyond the prefix's ANSI code page (1252): the wizard's own folder always,
// and, where the log's encoding can hold them, the product's name, its paths, its
// registry keys, its scenery title and so the backup's name. Only the wide calls and
// the log's decoding by its mark find them.
TEST(Wizard, RemovesAProductNamedInAnyScriptWhateverTheLogsEncoding) {
    struct Case {
        const wchar_t* tree;
        Naming naming;
    };
    const Case cases[] = {
        {L"Łódź Жуковский 東京 utf8",
         {L"Łódź Жуковский 東京", L"Łódź 東京 Uninstall", L"Łódź Жуковский 東京 Scenery",
          Encoding::Utf8WithMark, Encoding::Utf16WithMark}},
        {L"Łódź Жуковский 東京 utf16",
         {L"Жуковский 東京 Łódź", L"Жуковский Uninstall", L"Жуковский 東京 Łódź Scenery",
          Encoding::Utf16WithMark, Encoding::Utf8WithMark}},
        // Text without a mark holds only what code page 1252 holds; the wizard's own
        // folder, which the log never names, still lies beyond it.
        {L"Zürich Genève ansi",
         {L"Zürich Genève Ü", L"東京 Łódź Жуковский", L"Zürich Genève Ü Scenery", Encoding::Ansi,
          Encoding::Utf16WithMark}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.tree));
        Product p = MakeProduct(c.tree, L"Uninstall.exe", true, c.naming);
        // The test library and the run file find their record files through the
        // environment in the ANSI code page: those stay on plain paths.
        p.entryRecord = DriverFolder() + L"records-" + std::to_wstring(&c - cases) + L"-entry.txt";
        p.runRecord = DriverFolder() + L"records-" + std::to_wstring(&c - cases) + L"-run.txt";
        DeleteFileW(p.entryRecord.c_str());
        DeleteFileW(p.runRecord.c_str());
        const std::wstring sceneryPath = p.root + L"ProgramData\\Sim\\Scenery.cfg";
        const std::string sceneryBefore = ReadFile(sceneryPath);
        Wizard w(p);
        ASSERT_NE(w.Form(), nullptr);
        EXPECT_EQ(w.Text(Component::Label_Uninstall),
                  L"Remove all installed features of " + c.naming.productName + L" now?");
        EXPECT_EQ(w.TipOver(Component::BitBtn1),
                  L"Uninstall the " + c.naming.productName + L" from you system!");

        w.RunRemoval();
        EXPECT_EQ(w.Text(Component::Label_status),
                  L"The " + c.naming.productName +
                      L" are removed from your system! Click Finish to exit the Uninstall "
                      L"wizard.");
        // The area whose title the log names is gone; every other line keeps its
        // bytes in the library's own encoding.
        const std::string scenery = ReadFile(sceneryPath);
        std::string expected = sceneryBefore;
        const std::string unit = c.naming.scenery == Encoding::Utf16WithMark
                                     ? std::string("\r\0\n\0", 4)
                                     : std::string("\r\n");
        const size_t area4Skip = c.naming.scenery == Encoding::Utf16WithMark ? 2
                                 : c.naming.scenery == Encoding::Ansi        ? 0
                                                                             : 3;
        const std::string area4 = Encode("[Area.004]", c.naming.scenery).substr(area4Skip);
        const size_t from = expected.find(area4);
        ASSERT_NE(from, std::string::npos);
        const size_t to = expected.find(unit + unit, from); // the blank line after the area
        ASSERT_NE(to, std::string::npos);
        expected.erase(from, to + unit.size() - from);
        // The shared library's area goes too: no other product uses its folder.
        const std::string area5 = Encode("[Area.005]", c.naming.scenery).substr(area4Skip);
        ASSERT_NE(expected.find(area5), std::string::npos);
        expected.erase(expected.find(area5));
        EXPECT_EQ(scenery, expected) << "only the two areas removed, nothing re-encoded";
        EXPECT_EQ(ReadFile(p.root + L"ProgramData\\Sim\\Backup_of_scenery_cfg_(" +
                           c.naming.productName + L").cfg"),
                  sceneryBefore);
        ExpectKeysFoldersAndFilesRemoved(p);
        EXPECT_FALSE(FileExists(p.folder + L"Uninstall.log"));
        EXPECT_EQ(ReadFile(p.entryRecord),
                  "Unregister|Sample Airport X|second|<null>\nCleanup|shared|<null>|<null>\n");
        // The run file gets the wizard's folder as its parameter text, any characters.
        EXPECT_TRUE(WaitFor([&] { return FileExists(p.runRecord); }, 20));
        EXPECT_EQ(ReadFile(p.runRecord), Utf8(p.folder));

        // "Finish" ends the program, and the batch deletes it and its folder.
        FinishAndExpectSelfDeletion(w, p);
    }
}

TEST(Wizard, SharedItemsStayWhileAnotherProductUsesThem) {
    Product p = MakeProduct(L"shared", L"Uninstall.exe");
    MakeFolders(p.root + L"Other Product");
    Wizard w(p);
    ASSERT_NE(w.Form(), nullptr);
    w.RunRemoval();
    EXPECT_EQ(w.Text(Component::Label_status), kRemovedText);

    // The shared library call, shared scenery area and shared folder stay ...
    EXPECT_EQ(ReadFile(p.entryRecord), "Unregister|Sample Airport X|second|<null>\n");
    EXPECT_EQ(SectionsOf(ReadFile(p.root + L"ProgramData\\Sim\\Scenery.cfg")),
              (std::vector<std::string>{"General", "Area.001", "Area.003", "Area.005"}));
    EXPECT_TRUE(FileExists(p.root + L"Sim\\Shared\\Brightmere Library\\library.bgl"));
    // ... while everything of the product's own goes.
    EXPECT_FALSE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
    EXPECT_FALSE(FileExists(p.root + L"Sim\\Effects\\sample_lights.fx"));
    EXPECT_FALSE(KeyExists(p.registryKey + L"\\Sample Airport X"));
    EXPECT_FALSE(FolderExists(p.root + L"Start Menu\\Programs\\Sample Airport X"));
    EXPECT_TRUE(FileExists(p.root + L"Sim\\Scenery\\World\\scenery\\APX45170.bgl"));

    FinishAndExpectSelfDeletion(w, p);
}

// A log naming the system's and the simulator's keys and folders, in every spelling
// that reaches them: none of them goes, each is listed, and the product's own items
// still go and the wizard still deletes itself.
TEST(Wizard, RemovesNothingOfTheSystemOrTheSimulatorHoweverTheLogSpellsIt) {
    Product p = MakeProduct(L"hostile", L"Uninstall.exe");
    const std::wstring simKey = L"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
    MakeKey(simKey, L"sim");
    MakeKey(p.registryKey + L"\\Target\\Precious", L"precious");
    // The simulator lies in the tree's "Sim" folder, as its registry key says.
    SetKeyValue(simKey, L"SetupPath", p.root + L"Sim\\");
    // A registry link from the product's key to another key.
    ScopedRegistryKey link;
    const std::wstring target = std::wstring(L"\\Registry\\Machine\\SOFTWARE\\") +
                                (Is64BitSystem() ? L"WOW6432Node\\" : L"") +
                                p.registryKey.substr(9) + L"\\Target";
    const bool keyLinked =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, (p.registryKey + L"\\Link").c_str(), 0, nullptr,
                        REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK | kView, nullptr, link.Receive(),
                        nullptr) == ERROR_SUCCESS &&
        RegSetValueExW(link.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                       reinterpret_cast<const BYTE*>(target.c_str()),
                       static_cast<DWORD>(target.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    link.Reset();
    // The Windows folder by its short name, where the system gives one.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    wchar_t shortWindows[MAX_PATH] = {};
    GetShortPathNameW(windows, shortWindows, MAX_PATH);
    wchar_t shortSim[MAX_PATH] = {};
    GetShortPathNameW((p.root + L"Sim\\Addon Scenery").c_str(), shortSim, MAX_PATH);
    const std::string win = Narrow(windows);

    const std::string r = Narrow(p.root);
    std::vector<std::string> paths = {
        win,
        "\\\\localhost\\C$\\" + win.substr(3),
        "\\\\?\\" + win + "\\System32",
        "\\\\127.0.0.1\\ADMIN$",
        shortWindows[0] ? Narrow(shortWindows) : win + "\\.",
        r + "Sim",
        r + "SIM\\Addon Scenery\\",
        shortSim[0] ? Narrow(shortSim) : r + "Sim\\Addon Scenery\\..\\Addon Scenery",
        r + "Sim\\Effects.", // Windows drops trailing dots
        r + "ProgramData\\Sim",
        // Device spellings of the drive root, and an NT path that the layers below
        // Win32 read as the Windows folder.
        "\\\\?\\" + win.substr(0, 2),
        "\\\\.\\" + win.substr(0, 2),
        "\\??\\" + win + "\\System32",
    };
    // Titles that hold the titles of the simulator's own areas: "Default Terrain"
    // (Local=Scenery\World) and "Reno", whose Local folder is written in full below
    // the simulator's folder; both stay, and the product's area still goes.
    const std::wstring sceneryFile = p.root + L"ProgramData\\Sim\\Scenery.cfg";
    WriteFile(sceneryFile, ReadFile(sceneryFile) + "\r\n[Area.009]\r\nTitle=Reno\r\nLocal=" + r +
                               "Sim\\Scenery\\Cities\\Reno\r\nLayer=9\r\n");
    // Files named by their NT path: the rules never see the file the system would
    // delete, so the spelling itself is refused.
    const std::wstring sentinel = std::wstring(windows) + L"\\sweepstone-sentinel.txt";
    WriteFile(sentinel, "keep");
    const std::vector<std::string> files = {"\\??\\" + Narrow(sentinel),
                                            "\\??\\" + r + "ProgramData\\Sim\\Scenery.cfg"};
    std::string log = "[General]\r\nName=Sample Airport X\r\n[Scenery.cfg]\r\nPath=" + r +
                      "ProgramData\\Sim\\Scenery.cfg\r\nT1=Sample Airport X on Default Terrain\r\n"
                      "T2=Reno Airport X\r\n[Path]\r\n";
    for (size_t i = 0; i < paths.size(); ++i)
        log += "P" + std::to_string(i) + "=" + paths[i] + "\r\n";
    log += "P90=   \r\nP99=" + r + "Sim\\Addon Scenery\\Sample Airport\r\n";
    // Sentinel keys below a class root and below SOFTWARE\Microsoft: the log names the
    // class root and keys below SOFTWARE\Microsoft with the machine's root, and none of
    // them is a product's own entry.
    const std::wstring classSentinel =
        L"SOFTWARE\\Classes\\CLSID\\{B0D5E1F2-0000-4000-8000-5357454550AA}";
    const std::wstring microsoftSentinel = L"SOFTWARE\\Microsoft\\Sweepstone Sentinel";
    MakeKey(classSentinel + L"\\InprocServer32", L"sentinel");
    MakeKey(microsoftSentinel, L"sentinel");
    const std::vector<std::string> keys = {
        "SOFTWARE\\Microsoft",
        "SOFTWARE\\Classes",
        "SYSTEM\\CurrentControlSet",
        "software\\microsoft\\windows\\currentversion\\uninstall",
        Narrow(simKey),
        "SOFTWARE\\Microsoft\\Microsoft Games"};
    // Past the twenty items the list shows: counted, and the keys checked below.
    const std::wstring winlogon = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
    const bool winlogonThere = KeyExists(winlogon);
    const std::vector<std::string> sentinelKeys = {"SOFTWARE\\Classes\\CLSID",
                                                   "HKLM\\" + Narrow(microsoftSentinel),
                                                   "HKEY_LOCAL_MACHINE\\" + Narrow(winlogon)};
    log += "[Registry]\r\n";
    for (size_t i = 0; i < keys.size(); ++i)
        log += "R" + std::to_string(i) + "=" + keys[i] + "\r\n";
    if (keyLinked)
        log += "R90=" + Narrow(p.registryKey) + "\\Link\r\n";
    log += "R99=" + Narrow(p.registryKey) + "\\Sample Airport X\r\n[File]\r\n";
    for (size_t i = 0; i < files.size(); ++i)
        log += "F" + std::to_string(i) + "=" + files[i] + "\r\n";
    std::string keyLog = log;
    for (size_t i = 0; i < sentinelKeys.size(); ++i) {
        const size_t at = keyLog.find("R99=");
        keyLog.insert(at, "R" + std::to_string(50 + i) + "=" + sentinelKeys[i] + "\r\n");
    }
    log = keyLog;
    WriteFile(p.folder + L"Uninstall.log", log);

    Wizard w(p, L"/LOG=report.txt");
    ASSERT_NE(w.Form(), nullptr);
    w.Click(Component::BitBtn1);
    const MessageBoxSeen question = w.WaitForMessageBox();
    ASSERT_NE(question.hwnd, nullptr);
    Wizard::Answer(question, IDOK);
    const MessageBoxSeen listed = w.WaitForMessageBox(60);
    ASSERT_NE(listed.hwnd, nullptr) << "no list of refused items";
    const std::string text = Narrow(listed.text);
    Wizard::Answer(listed, IDOK);
    EXPECT_EQ(text.rfind("These items could not be removed:", 0), 0u) << text;
    // The list shows the first twenty items (the report all of them): the simulator's
    // areas, then the keys.
    const std::string library = Narrow(sceneryFile);
    std::vector<std::string> shown = {library + ": Default Terrain", library + ": Reno"};
    for (const std::string& key : keys)
        shown.push_back("HKEY_LOCAL_MACHINE\\" + key);
    if (keyLinked)
        shown.push_back(Narrow(p.registryKey) + "\\Link");
    shown.push_back("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID");
    shown.push_back("HKEY_LOCAL_MACHINE\\" + Narrow(microsoftSentinel));
    shown.push_back("HKEY_LOCAL_MACHINE\\" + Narrow(winlogon));
    shown.insert(shown.end(), paths.begin(), paths.end());
    for (size_t i = 0; i < shown.size() && i < 20; ++i)
        EXPECT_NE(text.find(shown[i] + " (refused: "), std::string::npos) << shown[i] << "\n"
                                                                          << text;
    if (keyLinked) {
        EXPECT_NE(text.find("\\Link (refused: a registry link"), std::string::npos);
    }
    EXPECT_TRUE(text.ends_with("\r\n...")) << text;
    ASSERT_TRUE(WaitFor([&] { return w.Text(Component::BitBtn2) == L"Finish"; }, 10));
    const std::string scenery = ReadFile(sceneryFile);
    EXPECT_NE(scenery.find("Title=Default Terrain\r\n"), std::string::npos) << scenery;
    EXPECT_NE(scenery.find("Title=Reno\r\n"), std::string::npos) << scenery;
    EXPECT_EQ(scenery.find("Title=Sample Airport X\r\n"), std::string::npos) << scenery;
    const size_t refused =
        paths.size() + keys.size() + sentinelKeys.size() + files.size() + (keyLinked ? 1 : 0) + 2;
    EXPECT_EQ(Narrow(w.Text(Component::Label_status)),
              "The Sample Airport X could not be removed completely: " + std::to_string(refused) +
                  " items are left. Click Finish to exit the Uninstall wizard.");

    EXPECT_TRUE(FolderExists(std::wstring(windows) + L"\\System32"));
    EXPECT_TRUE(FileExists(p.root + L"Sim\\Effects\\other_lights.fx"));
    EXPECT_TRUE(FileExists(p.root + L"ProgramData\\Sim\\Scenery.cfg"));
    EXPECT_TRUE(FileExists(sentinel));
    EXPECT_TRUE(KeyExists(classSentinel + L"\\InprocServer32"));
    EXPECT_TRUE(KeyExists(microsoftSentinel));
    EXPECT_EQ(KeyExists(winlogon), winlogonThere);
    DeleteKeyTree(classSentinel);
    DeleteKeyTree(microsoftSentinel);
    DeleteFileW(sentinel.c_str());
    EXPECT_TRUE(KeyExists(simKey));
    EXPECT_TRUE(KeyExists(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    EXPECT_TRUE(KeyExists(L"SYSTEM\\CurrentControlSet\\Control"));
    EXPECT_TRUE(KeyExists(p.registryKey + L"\\Target\\Precious"));
    // The product's own folder and key still went.
    EXPECT_FALSE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
    EXPECT_FALSE(KeyExists(p.registryKey + L"\\Sample Airport X"));
    SetKeyValue(simKey, L"SetupPath", L"");
    FinishAndExpectSelfDeletion(w, p, 1);
    // Each refusal with its rule, in the report written once the run ended.
    const std::vector<std::string> lines = ReportLines(p.root + L"report.txt");
    const auto refusedLine = [&lines](const std::string& item, const std::string& rule) {
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.rfind("refused\t" + item + "\t" + rule, 0) == 0;
        });
    };
    for (const std::string& path : paths)
        EXPECT_TRUE(refusedLine(path, "")) << path << "\n" << ReadFile(p.root + L"report.txt");
    for (const std::string& file : files)
        EXPECT_TRUE(refusedLine(file, "")) << file;
    for (const std::string& key : keys)
        EXPECT_TRUE(refusedLine("HKEY_LOCAL_MACHINE\\" + key, "")) << key;
    if (keyLinked) {
        EXPECT_TRUE(refusedLine(Narrow(L"HKEY_LOCAL_MACHINE\\" + p.registryKey) + "\\Link",
                                "a registry link"));
    }
    for (const char* area : {"Default Terrain", "Reno"})
        EXPECT_TRUE(refusedLine(library + ": " + area, "default area of the simulator"))
            << area << "\n"
            << ReadFile(p.root + L"report.txt");
}

// A library entry point that faults ends only the library step: the call after it
// in [DLL_RUN] is skipped, [DLL_RUN_SHARED] and every later step run, the fault is
// listed, and "Finish" still deletes the wizard. Run for a fault of the processor
// and for a stack overflow of the window's own thread.
TEST(Wizard, ALibraryThatFaultsEndsOnlyItsStepAndTheWizardStillFinishes) {
    const struct {
        const wchar_t* product;
        const char* entry;
        const char* fault;
    } cases[] = {
        {L"fault-access", "AccessViolation", "fault 0xC0000005, access violation"},
#if !defined(__x86_64__)
        // Wine's 64-bit loader has too little stack left after an overflow inside a
        // window procedure to call the handler ("stack overflow 2000 bytes"), and ends
        // the process. The program is the 32-bit build; the removal's own tests
        // catch the overflow on 64-bit too.
        {L"fault-stack", "StackOverflow", "fault 0xC00000FD, stack overflow"},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        const Product p = MakeProduct(c.product, L"Uninstall.exe");
        const std::string lib = Narrow(Data(L"sweepstone_test_entry.dll"));
        WriteFile(p.folder + L"Uninstall.log",
                  "[General]\r\nName=Sample Airport X\r\n[DLL_RUN]\r\nD1=" + lib + "@" + c.entry +
                      "@first@@\r\nD2=" + lib + "@Cleanup@skipped@@\r\n[DLL_RUN_SHARED]\r\nD1=" +
                      lib + "@Cleanup@shared@@\r\n[Path]\r\nP1=" + Narrow(p.root) +
                      "Sim\\Addon Scenery\\Sample Airport\r\n");
        Wizard w(p);
        ASSERT_NE(w.Form(), nullptr);
        const std::wstring left = w.RunRemoval(true);
        const std::string listed =
            "library call " + lib + "@" + c.entry + " (" + std::string(c.fault) + ")";
        EXPECT_NE(Narrow(left).find(listed), std::string::npos) << Narrow(left);
        EXPECT_EQ(ReadFile(p.entryRecord),
                  std::string(c.entry) + "|first|<null>|<null>\nCleanup|shared|<null>|<null>\n");
        EXPECT_FALSE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
        FinishAndExpectSelfDeletion(w, p);
    }
}

// The self-deletion batch with names that the command interpreter would expand
// ("%"), take for syntax ("&") or read in another code page (an umlaut): the wizard
// still removes itself and its folder after "Finish".
TEST(Wizard, DeletesItselfFromFoldersWithPercentSignsAmpersandsAndUmlauts) {
    const struct {
        const wchar_t* product;
        const wchar_t* folder;
        const wchar_t* temp;
    } cases[] = {
        {L"percent", L"100% Sure Field", L"Local Temp"},
        {L"umlaut", L"M\u00fcller Flughafen", L"Local Temp"},
        {L"ampersand", L"Sample Airport X", L"Temp & Co"},
        {L"all", L"%PATH% M\u00fcller & (Co) ^@", L"Temp & Co (%TEMP%) ^@"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.folder) + " / " + Narrow(c.temp));
        Naming naming;
        naming.folderName = c.folder;
        naming.tempName = c.temp;
        const Product p = MakeProduct(c.product, L"Uninstall.exe", true, naming);
        Wizard w(p);
        ASSERT_NE(w.Form(), nullptr);
        w.RunRemoval();
        EXPECT_EQ(w.Text(Component::Label_status), kRemovedText);
        FinishAndExpectSelfDeletion(w, p);
    }
}

TEST(Wizard, CancelWhileWaitingForTheTimerEndsWithoutRemovingAnything) {
    // Cancel must land within the timer's one second after OK. On a loaded machine the
    // timer can win that race before the test gets to click; such a round proves
    // nothing either way, so it is tried again with a new product (at most three times).
    for (int round = 0; round < 3; ++round) {
        const Product p = MakeProduct(L"waiting" + std::to_wstring(round), L"Uninstall.exe");
        Wizard w(p);
        ASSERT_NE(w.Form(), nullptr);
        w.Click(Component::BitBtn1);
        const MessageBoxSeen question = w.WaitForMessageBox();
        ASSERT_NE(question.hwnd, nullptr);
        Wizard::Answer(question, IDOK);
        // The question is gone, the status label shows and is still empty: the timer
        // has not fired yet (sent messages are handled before its message).
        ASSERT_TRUE(WaitFor([&] { return !w.Visible(Component::Label_Uninstall); }, 10));
        if (w.Text(Component::Label_status) != L"")
            continue; // the timer won the race
        EXPECT_TRUE(w.Visible(Component::Label_status));
        EXPECT_FALSE(w.Enabled(Component::BitBtn1));
        w.Click(Component::BitBtn2);
        DWORD code = 99;
        ASSERT_TRUE(w.Exited(&code));
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(ReadFile(p.entryRecord), "<missing>");
        EXPECT_TRUE(FileExists(p.folder + L"Uninstall.log"));
        EXPECT_TRUE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
        EXPECT_TRUE(KeyExists(p.registryKey + L"\\Sample Airport X"));
        EXPECT_TRUE(FileExists(p.program));
        EXPECT_TRUE(FilesIn(p.temp, L"*").empty()) << "no self-deletion batch";
        return;
    }
    FAIL() << "the removal's timer fired before Cancel could be clicked in three rounds";
}

TEST(Wizard, WithoutALogOnlyCancelIsLeftAndNothingIsDeleted) {
    const Product p = MakeProduct(L"nolog", L"Uninstall.exe", false);
    WriteFile(p.folder + L"Readme.txt", "stays");
    // A picture that cannot be decoded is passed over: the built-in one stays.
    WriteFile(p.folder + L"Uninstall.jpg", "not a JPEG");
    Wizard w(p);
    ASSERT_NE(w.Form(), nullptr);
    RECT client;
    GetClientRect(w.Form(), &client);
    EXPECT_EQ(client.right, 690);
    EXPECT_EQ(client.bottom, 498);
    EXPECT_EQ(w.Text(Component::Label_Uninstall), L"ERROR: Missing uninstall log file!!");
    EXPECT_FALSE(w.Enabled(Component::BitBtn1));
    EXPECT_EQ(w.Text(Component::BitBtn2), L"Cancel");
    // No product name: two blanks in a row; the disabled button shows its tip too.
    EXPECT_EQ(w.TipOver(Component::BitBtn1), L"Uninstall the  from you system!");
    EXPECT_EQ(w.TipOver(Component::BitBtn2), L"Exit program - whithout uninstalling !");

    const std::set<std::wstring> reservedBefore = FilesIn(p.temp, L"uis*");
    w.Click(Component::BitBtn2);
    DWORD code = 99;
    ASSERT_TRUE(w.Exited(&code));
    EXPECT_EQ(code, 0u);
    Sleep(1000);
    EXPECT_TRUE(FileExists(p.program));
    EXPECT_TRUE(FileExists(p.folder + L"Readme.txt"));
    EXPECT_TRUE(FileExists(p.folder + L"Uninstall.jpg"));
    EXPECT_TRUE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
    EXPECT_TRUE(KeyExists(p.registryKey + L"\\Sample Airport X"));
    EXPECT_EQ(FilesIn(p.temp, L"uis*"), reservedBefore) << "no self-deletion batch";
}

TEST(Wizard, ReadsTheLogAndPictureNamedByTheStemUpToTheFirstDot) {
    const Product p = MakeProduct(L"stem", L"remove.me.exe");
    // The picture beside the program replaces the built-in one; the window takes
    // its size.
    CopyFileW(Data(L"picture.jpg").c_str(), (p.folder + L"remove.jpg").c_str(), FALSE);
    // Names that a wrong stem rule would read instead.
    WriteFile(p.folder + L"remove.me.log", "[General]\r\nName=Wrong Log\r\n");
    Wizard w(p);
    ASSERT_NE(w.Form(), nullptr);
    EXPECT_EQ(w.Text(Component::Label_Uninstall),
              L"Remove all installed features of Sample Airport X now?");
    RECT client;
    GetClientRect(w.Form(), &client);
    EXPECT_EQ(client.right, 787) << "the picture file was not shown";
    EXPECT_EQ(client.bottom, 538) << "the picture file was not shown";

    w.RunRemoval();
    EXPECT_FALSE(FileExists(p.folder + L"remove.log"));
    EXPECT_FALSE(FileExists(p.folder + L"remove.jpg"));
    EXPECT_FALSE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
    // The other log stays, so the folder is not empty and stays too.
    EXPECT_TRUE(FileExists(p.folder + L"remove.me.log"));
    const std::set<std::wstring> before = FilesIn(p.temp, L"*");
    w.Click(Component::BitBtn2);
    DWORD code = 99;
    ASSERT_TRUE(w.Exited(&code));
    EXPECT_TRUE(WaitFor([&] { return !FileExists(p.program); }, 30));
    EXPECT_TRUE(WaitFor([&] { return FilesIn(p.temp, L"*") == before; }, 30))
        << "the batch or its folder is still there";
    EXPECT_TRUE(FolderExists(p.folder)) << "a folder that still holds a file is not removed";
}

// The resources built into the program: its version record, icon and manifest.
TEST(Wizard, CarriesItsVersionRecordIconAndManifest) {
    const std::wstring program = Data(L"sweepstone.exe");
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> record(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, record.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (1u << 16) | 30u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    wchar_t* description = nullptr;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\StringFileInfo\\040904E4\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_EQ(std::wstring(description), L"Uninstaller - Brightmere GmbH");

    HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC icons = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_NE(icons, nullptr);
    // The icon directory: reserved, type, count, then one entry per size.
    const auto* directory = static_cast<const WORD*>(LockResource(LoadResource(module, icons)));
    EXPECT_GE(directory[2], 4) << "several sizes";
    HRSRC manifest =
        FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                           SizeofResource(module, manifest));
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("supportedOS"), std::string::npos);
    EXPECT_NE(text.find("dpiAware"), std::string::npos);
    FreeLibrary(module);
}

TEST(Wizard, TheBackgroundDragsTheWindowAndALabelDoesNot) {
    const Product p = MakeProduct(L"drag", L"Uninstall.exe", false);
    Wizard w(p);
    ASSERT_NE(w.Form(), nullptr);
    RECT before;
    GetWindowRect(w.Form(), &before);
    // Mere movement over the background, without a button held, moves nothing.
    SetCursorPos(before.left + 90, before.top + 380);
    Sleep(100);
    SetCursorPos(before.left + 60, before.top + 350);
    Sleep(300);
    RECT same;
    GetWindowRect(w.Form(), &same);
    EXPECT_EQ(same.left, before.left);
    EXPECT_EQ(same.top, before.top);
    // A press on the greeting label moves nothing either.
    DragWithPointer(POINT{before.left + 300, before.top + 92}, -40, -30);
    GetWindowRect(w.Form(), &same);
    EXPECT_EQ(same.left, before.left);
    EXPECT_EQ(same.top, before.top);
    // On the bare background the window follows the pointer.
    const RECT after = RectAfterDrag(w.Form(), POINT{before.left + 90, before.top + 380}, -40, -30);
    EXPECT_LT(after.left, before.left);
    EXPECT_LT(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    w.Click(Component::BitBtn2);
    DWORD code = 99;
    ASSERT_TRUE(w.Exited(&code));
    EXPECT_TRUE(FileExists(p.program));
}

// --- Command-line runs ---------------------------------------------------------

namespace {

// A run of the wizard from a command line, as an installer's uninstall string or a
// package manager starts it, watched until it ends: every window and message box
// of the process is noted (a box is answered, so that a faulty run still ends).
struct CommandLineRun {
    bool started = false;
    bool exited = false;
    DWORD code = 259;
    bool windowSeen = false;
    std::wstring boxText; // the first message box's text
};

CommandLineRun RunWithArguments(const Product& p, const std::wstring& arguments,
                                double seconds = 90) {
    SetEnvironmentVariableW(L"BRIGHTMERE_TEST_ENTRY_RECORD", p.entryRecord.c_str());
    SetEnvironmentVariableW(L"BRIGHTMERE_RUN_RECORD", p.runRecord.c_str());
    SetEnvironmentVariableW(L"TMP", p.temp.c_str());
    SetEnvironmentVariableW(L"TEMP", p.temp.c_str());
    CommandLineRun run;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + p.program + L"\" " + arguments;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        p.root.c_str(), &si, &pi))
        return run;
    run.started = true;
    const ScopedKernelHandle process(pi.hProcess);
    const ScopedKernelHandle thread(pi.hThread);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) {
            run.exited = true;
            break;
        }
        if (FindProcessWindow(pi.dwProcessId, sweepstone::win32::kFormClassName))
            run.windowSeen = true;
        if (HWND box = FindProcessWindow(pi.dwProcessId, L"#32770")) {
            const MessageBoxSeen seen = ReadMessageBox(box);
            if (run.boxText.empty())
                run.boxText = seen.text.empty() ? L"<empty box>" : seen.text;
            AnswerMessageBox(seen, IDOK);
        }
    }
    if (!run.exited)
        TerminateProcess(pi.hProcess, 1);
    GetExitCodeProcess(pi.hProcess, &run.code);
    return run;
}

// The product as MakeProduct left it: nothing removed.
void ExpectProductUntouched(const Product& p) {
    EXPECT_TRUE(FileExists(p.program));
    EXPECT_TRUE(FileExists(p.folder + L"Uninstall.log"));
    EXPECT_TRUE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
    EXPECT_TRUE(FileExists(p.root + L"Sim\\Effects\\sample_lights.fx"));
    EXPECT_TRUE(KeyExists(p.registryKey + L"\\Sample Airport X"));
    EXPECT_EQ(ReadFile(p.root + L"ProgramData\\Sim\\Scenery.cfg"), kSceneryCfg);
    EXPECT_EQ(ReadFile(p.entryRecord), "<missing>");
    EXPECT_TRUE(FilesIn(p.temp, L"uis*").empty()) << "no self-deletion batch";
}

// After the process has ended its batch deletes the program, its folder and itself.
void ExpectSelfDeleted(const Product& p) {
    EXPECT_TRUE(WaitFor([&] { return !FileExists(p.program); }, 30)) << "the program stays";
    EXPECT_TRUE(WaitFor([&] { return !FolderExists(p.folder); }, 30)) << "its folder stays";
    EXPECT_TRUE(WaitFor([&] { return FilesIn(p.temp, L"uis*").empty(); }, 30)) << "the batch stays";
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The system's words for `code` in the user's language, as the wide call gives
// them; the narrow call and std::error_code::message() would give them in the
// ANSI code page instead, which the report would then hold as broken UTF-8.
std::string SystemReason(DWORD code) {
    wchar_t text[512] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text, 512, nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' '))
        --n;
    return Utf8(std::wstring(text, n));
}

// Set where the suite runs under a locale of another language (ctest's
// sweepstone_e2e_system_language): its reasons must then hold that script.
bool UnderCyrillicLanguage() {
    return GetEnvironmentVariableW(L"E2E_EXPECT_RUSSIAN", nullptr, 0) != 0;
}

// Puts an entry first into a section of the product's log.
void AddToLog(const Product& p, const std::string& section, const std::string& entry) {
    std::string log = ReadFile(p.folder + L"Uninstall.log");
    const std::string header = "[" + section + "]\r\n";
    log.insert(log.find(header) + header.size(), entry + "\r\n");
    WriteFile(p.folder + L"Uninstall.log", log);
}

} // namespace

TEST(CommandLine, VerySilentRemovesWithoutAnyWindowAndReportsEveryItem) {
    const Product p = MakeProduct(L"verysilent", L"Uninstall.exe");
    MakeFolders(p.root + L"My Reports");
    const std::wstring report = p.root + L"My Reports\\uninstall report.txt";
    const CommandLineRun run = RunWithArguments(p, L"/VERYSILENT /LOG=\"" + report + L"\"");
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.code, 0u);
    EXPECT_FALSE(run.windowSeen);
    EXPECT_EQ(run.boxText, L"");
    ExpectProductRemoved(p);
    ExpectSelfDeleted(p);

    const std::vector<std::string> lines = ReportLines(report);
    const std::string r = Narrow(p.root);
    EXPECT_TRUE(HasLine(lines, "Product: Sample Airport X"));
    EXPECT_TRUE(HasLine(lines, "Exit code: 0 (everything was removed)"));
    EXPECT_TRUE(HasLine(lines, "removed\t" + r + "Sim\\Addon Scenery\\Sample Airport"));
    EXPECT_TRUE(HasLine(lines, "removed\t" + r + "Sim\\Effects\\sample_lights.fx"));
    EXPECT_TRUE(HasLine(lines, "removed\t" + r + "Sim\\Shared\tempty parent"));
    EXPECT_TRUE(HasLine(lines, "removed\tHKEY_LOCAL_MACHINE\\" + Narrow(p.registryKey) +
                                   "\\Brightmere Tools\tempty parent"));
    for (const std::string& line : lines)
        EXPECT_TRUE(line.rfind("left\t", 0) != 0 && line.rfind("refused\t", 0) != 0) << line;
}

// A folder the system names (SHGetFolderPathW).
std::wstring KnownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// /S is /VERYSILENT; a refused item is left and named in the report: exit code 1.
// Folders of the system, of the simulator and of another account, and what lies
// below them, are refused by the reach of their rule; each sentinel stays. A
// product's own folder below Documents and its shortcut folder below the common
// Start Menu\Programs still go.
TEST(CommandLine, ShortSwitchEndsWithOneWhenAnItemIsRefused) {
    const Product p = MakeProduct(L"refused", L"Uninstall.exe");
    AddToLog(p, "Path", "P0=C:\\windows");
    // Another account of the machine, as its list of profiles names it (in the
    // 64-bit view, where that list lives).
    const std::wstring account = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\"
                                 L"S-1-5-21-1000-2000-3000-1999";
    MakeKey(account, L"account", KEY_WOW64_64KEY);
    {
        HKEY h = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, account.c_str(), 0,
                                KEY_SET_VALUE | KEY_WOW64_64KEY, &h),
                  ERROR_SUCCESS);
        const std::wstring image = L"%SystemDrive%\\users\\sweepstone-other";
        RegSetValueExW(h, L"ProfileImagePath", 0, REG_EXPAND_SZ,
                       reinterpret_cast<const BYTE*>(image.c_str()),
                       static_cast<DWORD>((image.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(h);
    }
    wchar_t drive[MAX_PATH] = {};
    GetEnvironmentVariableW(L"SystemDrive", drive, MAX_PATH);
    const std::wstring otherProfile = std::wstring(drive) + L"\\users\\sweepstone-other";
    const std::wstring appData = KnownFolder(CSIDL_APPDATA);
    const std::wstring programData = KnownFolder(CSIDL_COMMON_APPDATA);
    const std::wstring windowsInstaller = KnownFolder(CSIDL_WINDOWS) + L"\\Installer";
    const std::wstring crypto = programData + L"\\Microsoft\\Crypto";
    const std::wstring music = KnownFolder(CSIDL_COMMON_MUSIC);
    const std::wstring settings = appData + L"\\Microsoft\\FSX";
    const std::wstring library = programData + L"\\Microsoft\\FSX\\Scenery.cfg";
    const std::wstring documents = otherProfile + L"\\Documents";
    struct Sentinel {
        const char* section;
        std::wstring value;    // as the log names it, in its canonical spelling
        std::wstring sentinel; // a file that must stay
        std::string rule;
    } sentinels[] = {
        {"Path", windowsInstaller, windowsInstaller + L"\\sentinel", "below the Windows folder"},
        {"Path", crypto, crypto + L"\\sentinel", "below the ProgramData\\Microsoft folder"},
        {"Path", music, music + L"\\sentinel", "a folder of the Public profile"},
        {"Path", settings, settings + L"\\fsx.cfg", "the simulator's settings"},
        {"File", settings + L"\\fsx.cfg", settings + L"\\fsx.cfg",
         "below the simulator's settings"},
        // The log's [Scenery.cfg] names another library: the simulator's own is still
        // refused by where it lies.
        {"File", library, library, "below the simulator's machine data"},
        {"Path", documents, documents + L"\\sentinel", "a user's Documents"},
        {"ShortCut", otherProfile, documents + L"\\sentinel", "a user's profile"},
    };
    int key = 50;
    for (const Sentinel& s : sentinels) {
        MakeFolders(s.sentinel.substr(0, s.sentinel.rfind(L'\\')));
        WriteFile(s.sentinel, "keep");
        AddToLog(p, s.section, "X" + std::to_string(key++) + "=" + Narrow(s.value));
    }
    // A product's own: its flights below Documents and its shortcut folder.
    const std::wstring flights = KnownFolder(CSIDL_PERSONAL) + L"\\Sample Airport X Flights";
    const std::wstring shortcuts = KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Sample Airport X";
    for (const std::wstring& own : {flights, shortcuts}) {
        MakeFolders(own);
        WriteFile(own + L"\\Sample Airport X.lnk", "link");
    }
    AddToLog(p, "Path", "X90=" + Narrow(flights));
    AddToLog(p, "ShortCut", "X91=" + Narrow(shortcuts));

    const CommandLineRun run = RunWithArguments(p, L"/s /log=report.txt");
    DeleteKeyTree(account, KEY_WOW64_64KEY);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.code, 1u);
    EXPECT_FALSE(run.windowSeen);
    EXPECT_EQ(run.boxText, L"") << "the box listing what was left is not shown";
    EXPECT_TRUE(FolderExists(L"C:\\windows\\system32"));
    ExpectProductRemoved(p);
    ExpectSelfDeleted(p);
    const std::vector<std::string> lines = ReportLines(p.root + L"report.txt");
    EXPECT_TRUE(HasLine(lines, "Exit code: 1 (items were left)"));
    bool refused = false;
    for (const std::string& line : lines)
        refused = refused || line.rfind("refused\tC:\\windows\t", 0) == 0;
    EXPECT_TRUE(refused) << ReadFile(p.root + L"report.txt");
    for (const Sentinel& s : sentinels) {
        EXPECT_TRUE(HasLine(lines, "refused\t" + Narrow(s.value) + "\t" + s.rule))
            << Narrow(s.value) << "\n"
            << ReadFile(p.root + L"report.txt");
        EXPECT_TRUE(FileExists(s.sentinel)) << Narrow(s.sentinel);
    }
    for (const Sentinel& s : sentinels)
        DeleteFileW(s.sentinel.c_str());
    EXPECT_FALSE(FolderExists(flights));
    EXPECT_FALSE(FolderExists(shortcuts));
    EXPECT_TRUE(HasLine(lines, "removed\t" + Narrow(flights)));
    EXPECT_TRUE(HasLine(lines, "removed\t" + Narrow(shortcuts)));
}

// /CHECK through the real program: the exact report and exit code for the product's
// own log (quietly, the report beside the wizard) and for a faulty log of another
// machine (the message box, the report at /LOG); the product stays as it was. The
// removal afterwards takes the report beside the wizard with it: no folder is left.
TEST(CommandLine, CheckJudgesALogAndChangesNothing) {
    const Product p = MakeProduct(L"check", L"Uninstall.exe");
    const CommandLineRun own = RunWithArguments(p, L"/CHECK /VERYSILENT");
    ASSERT_TRUE(own.exited);
    EXPECT_EQ(own.code, 0u);
    EXPECT_FALSE(own.windowSeen);
    EXPECT_EQ(own.boxText, L"");
    EXPECT_EQ(ReportLines(p.folder + L"Uninstall-check.txt"),
              (std::vector<std::string>{
                  "Uninstall.log:11: note: [Scenery.cfg] T1=Sample Airport X Scenery: removes "
                  "[Area.002] Title=Sample Airport X",
                  "Uninstall.log:11: note: [Scenery.cfg] T1=Sample Airport X Scenery: removes "
                  "[Area.004] Title=Sample Airport X Scenery",
                  "Uninstall.log:13: note: [Shared_Scenery.cfg] T1=Brightmere Shared Library: "
                  "removes [Area.005] Title=Brightmere Shared Library",
                  "Uninstall.log: 0 errors, 0 warnings, 3 notes"}));

    const std::string r = Narrow(p.root);
    const std::string library = Narrow(Data(L"sweepstone_test_entry.dll"));
    WriteFile(p.root + L"Other.log", "[Path]\r\nP1=C:\\windows\r\nP1=C:\\other\r\n"
                                     "[Shared_Folder]\r\nS1=C:\\x\r\n[DLL_RUN]\r\nD1=" +
                                         library + "@Missing\r\nD2=" + library +
                                         "@Cleanup@a@b@c@d\r\n[File]\r\nF1=" + r + "gone.txt\r\n");
    const CommandLineRun other = RunWithArguments(
        p, L"/CHECK=\"" + p.root + L"Other.log\" /LOG=\"" + p.root + L"check report.txt\"");
    ASSERT_TRUE(other.exited);
    EXPECT_EQ(other.code, 2u);
    EXPECT_FALSE(other.windowSeen);
    const std::string log = r + "Other.log";
    const std::vector<std::string> expected = {
        log + ":2: error: [Path] P1=C:\\windows: refused: the Windows folder",
        log + ":3: error: [Path] P1=C:\\other: repeated key: the value of line 2 wins, this one "
              "is never read",
        log + ":4: error: unknown section [Shared_Folder]: never read; did you mean "
              "[Shared-Folder]?",
        log + ":7: warning: [DLL_RUN] D1=" + library +
            "@Missing: the library exports no entry point \"Missing\": the call is skipped",
        log + ":8: error: [DLL_RUN] D2=" + library +
            "@Cleanup@a@b@c@d: more than five fields: the call is skipped",
        log + ":10: warning: [File] F1=" + r + "gone.txt: does not exist here",
        log + ": 4 errors, 2 warnings, 0 notes"};
    EXPECT_EQ(ReportLines(p.root + L"check report.txt"), expected);
    const std::string box = Narrow(other.boxText);
    EXPECT_EQ(box.substr(0, box.find("\r\n")), expected.back()) << box;
    EXPECT_NE(box.find(expected[0]), std::string::npos) << box;
    EXPECT_NE(box.find("The report: " + r + "check report.txt"), std::string::npos) << box;
    ExpectProductUntouched(p);

    const CommandLineRun removal = RunWithArguments(p, L"/VERYSILENT");
    ASSERT_TRUE(removal.exited);
    EXPECT_EQ(removal.code, 0u);
    ExpectProductRemoved(p);
    ExpectSelfDeleted(p);
    EXPECT_TRUE(FileExists(p.root + L"check report.txt")) << "a report at /LOG is the caller's";
}

// The check's table of faulty and clean logs (check_logs.cpp, which the native test
// reads too) through the real program, quietly, the report at /LOG: each log checked
// as another machine's (/CHECK="file"), or as the log beside the wizard where its
// findings hold for this machine only. One run per log; the exact report and exit code.
TEST(CommandLine, CheckReportsEveryKindOfFindingOfTheLogTable) {
    const testing_support::TestFolder t;
    check_logs::MakeTree(t);
    const std::wstring tree = Wide(t.Base());
    // The real program, and a library as the linker made it, for the tree's stand-ins.
    Product p;
    p.root = tree;
    p.program = tree + L"Product\\Uninstall.exe";
    // The wizard's temporary folder is one of the system's folders for the rules: it
    // lies beside the tree, so that the tree holds only the simulator's folders, as
    // for the native test's rules.
    p.temp = tree.substr(0, tree.size() - 1) + L"-temp\\";
    MakeFolders(p.temp);
    ASSERT_TRUE(CopyFileW(Data(L"sweepstone.exe").c_str(), p.program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(Data(L"sweepstone_decorated_entry.dll").c_str(),
                          (tree + L"lib\\plain.dll").c_str(), FALSE));
    MakeFolders(tree + L"build");
    // The simulator lies in the tree's "Sim" folder, as its registry key says.
    const std::wstring simKey = L"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
    MakeKey(simKey, L"sim");
    SetKeyValue(simKey, L"SetupPath", tree + L"Sim");
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const check_logs::Places places{t.Base(), Utf8(windows), Utf8(windows) + "\\System32\\"};
    const std::wstring report = tree + L"report.txt";
    for (const check_logs::LogCase& c : check_logs::kLogs) {
        const std::wstring log =
            tree + (c.thisMachine ? L"Product" : L"build") + L"\\Uninstall.log";
        WriteFile(log, check_logs::Expand(c.log, places));
        DeleteFileW(report.c_str());
        const CommandLineRun run =
            RunWithArguments(p, (c.thisMachine ? L"/CHECK" : L"/CHECK=\"" + log + L"\"") +
                                    L" /VERYSILENT /LOG=\"" + report + L"\"");
        std::vector<std::string> expected;
        for (const std::string& line : c.report) {
            expected.push_back(check_logs::Expand(line, places));
            if (!c.thisMachine) // the report names the log as /CHECK did
                expected.back().replace(0, std::string("Uninstall.log").size(), Utf8(log));
        }
        EXPECT_TRUE(run.exited) << c.log;
        EXPECT_EQ(run.code, static_cast<DWORD>(c.exitCode)) << c.log;
        EXPECT_FALSE(run.windowSeen) << c.log;
        EXPECT_EQ(run.boxText, L"") << c.log;
        EXPECT_EQ(ReportLines(report), expected) << c.log;
    }
    SetKeyValue(simKey, L"SetupPath", L"");
    DeleteKeyTree(Wide(check_logs::KeyFor(t.Base())));
    RemoveDirectoryW(p.temp.c_str());
}

// /SILENT: the window shows the removal but asks nothing, and deletes itself.
TEST(CommandLine, SilentShowsTheWindowButAsksNothing) {
    const Product p = MakeProduct(L"silent", L"Uninstall.exe");
    const CommandLineRun run = RunWithArguments(p, L"/SILENT");
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.code, 0u);
    EXPECT_TRUE(run.windowSeen);
    EXPECT_EQ(run.boxText, L"");
    ExpectProductRemoved(p);
    ExpectSelfDeleted(p);
}

TEST(CommandLine, WithoutALogSilentRunsEndWithTwoAndChangeNothing) {
    for (const wchar_t* mode : {L"/SILENT", L"/VERYSILENT"}) {
        const Product p = MakeProduct(L"silent-nolog", L"Uninstall.exe", false);
        const CommandLineRun run = RunWithArguments(p, std::wstring(mode) + L" /LOG=report.txt");
        ASSERT_TRUE(run.exited) << Narrow(mode);
        EXPECT_EQ(run.code, 2u) << Narrow(mode);
        EXPECT_EQ(run.boxText, L"") << Narrow(mode);
        EXPECT_TRUE(FileExists(p.program));
        EXPECT_TRUE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
        EXPECT_TRUE(KeyExists(p.registryKey + L"\\Sample Airport X"));
        EXPECT_TRUE(FilesIn(p.temp, L"uis*").empty());
        const std::vector<std::string> lines = ReportLines(p.root + L"report.txt");
        EXPECT_TRUE(HasLine(lines, "Exit code: 2 (no uninstall log, or one that cannot be read)"));
    }
}

// The window with /LOG asks as usual; Cancel ends it with 3 and a report.
TEST(CommandLine, CancelInTheWindowEndsWithThree) {
    const Product p = MakeProduct(L"cancel", L"Uninstall.exe");
    Wizard w(p, L"/LOG=report.txt");
    ASSERT_NE(w.Form(), nullptr);
    EXPECT_EQ(w.Text(Component::BitBtn1), L"Next >");
    w.Click(Component::BitBtn2);
    DWORD code = 99;
    ASSERT_TRUE(w.Exited(&code));
    EXPECT_EQ(code, 3u);
    ExpectProductUntouched(p);
    EXPECT_TRUE(
        HasLine(ReportLines(p.root + L"report.txt"), "Note: Cancelled; nothing was removed."));
}

// Arguments that are refused change nothing and end with 3. The usage shows in a box
// only when no silent switch was given: a silent caller must never wait for it.
TEST(CommandLine, RefusedArgumentsChangeNothing) {
    struct Case {
        const wchar_t* arguments;
        bool box;
    } cases[] = {
        {L"/QUIET", true},
        {L"-S", true},
        {L"/LOG", true},
        {L"/LOG=a.txt /LOG=b.txt", true},
        {L"/SILENT /VERYSILENT", false},
        {L"/S /S", false},
        {L"/VERYSILENT /FORCERESTART", false},
        {L"/S /LOG=\"missing folder\\report.txt\"", false},
    };
    const Product p = MakeProduct(L"refused-arguments", L"Uninstall.exe");
    for (const Case& c : cases) {
        const CommandLineRun run = RunWithArguments(p, c.arguments, 30);
        ASSERT_TRUE(run.exited) << Narrow(c.arguments);
        EXPECT_EQ(run.code, 3u) << Narrow(c.arguments);
        EXPECT_FALSE(run.windowSeen) << Narrow(c.arguments);
        EXPECT_EQ(run.boxText.find(L"Usage: Uninstall.exe") != std::wstring::npos, c.box)
            << Narrow(c.arguments) << ": " << Narrow(run.boxText);
        ExpectProductUntouched(p);
        EXPECT_FALSE(FileExists(p.root + L"a.txt"));
        EXPECT_FALSE(FileExists(p.root + L"b.txt"));
    }
}

TEST(CommandLine, QuestionMarkShowsTheUsageAndChangesNothing) {
    const Product p = MakeProduct(L"usage", L"Uninstall.exe");
    const CommandLineRun run = RunWithArguments(p, L"/?", 30);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.code, 0u);
    EXPECT_FALSE(run.windowSeen);
    EXPECT_EQ(
        run.boxText.rfind(L"Usage: Uninstall.exe [/SILENT | /VERYSILENT | /S] [/LOG=\"file\"]", 0),
        0u)
        << Narrow(run.boxText);
    EXPECT_NE(run.boxText.find(L"3010"), std::wstring::npos);
    ExpectProductUntouched(p);
}

// A file in use goes only at the next restart: 3010, the code package managers read
// as "removed, restart needed". The machine is not restarted.
TEST(CommandLine, AFileInUseEndsWith3010) {
    const Product p = MakeProduct(L"restart", L"Uninstall.exe");
    const std::wstring held = p.root + L"Sim\\Effects\\sample_lights.fx";
    ScopedFileHandle h(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(h);
    const CommandLineRun run = RunWithArguments(p, L"/VERYSILENT /LOG=report.txt");
    h.Reset();
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.code, 3010u);
    EXPECT_EQ(run.boxText, L"");
    EXPECT_FALSE(FolderExists(p.root + L"Sim\\Addon Scenery\\Sample Airport"));
    ExpectSelfDeleted(p);
    const std::vector<std::string> lines = ReportLines(p.root + L"report.txt");
    EXPECT_TRUE(HasLine(
        lines, "Exit code: 3010 (everything was removed, some items only at the next restart)"));
    bool restart = false;
    for (const std::string& line : lines)
        restart = restart || line.rfind("restart\t" + Narrow(held) + "\t", 0) == 0;
    EXPECT_TRUE(restart) << ReadFile(p.root + L"report.txt");
}

// A log that is there but cannot be read (another program holds it) ends with 2 as a
// missing one does, and nothing is removed.
TEST(CommandLine, AnUnreadableLogEndsWithTwoAndChangesNothing) {
    for (const wchar_t* mode : {L"/SILENT", L"/S"}) {
        const Product p = MakeProduct(L"locked-log", L"Uninstall.exe");
        ScopedFileHandle h(CreateFileW((p.folder + L"Uninstall.log").c_str(),
                                       GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(h);
        const CommandLineRun run = RunWithArguments(p, std::wstring(mode) + L" /LOG=report.txt");
        h.Reset();
        ASSERT_TRUE(run.exited) << Narrow(mode);
        EXPECT_EQ(run.code, 2u) << Narrow(mode);
        EXPECT_EQ(run.boxText, L"") << Narrow(mode);
        ExpectProductUntouched(p);
        EXPECT_TRUE(HasLine(ReportLines(p.root + L"report.txt"),
                            "Note: The uninstall log cannot be read; nothing was removed."));
    }
}

// A scenery library that another program holds is left, with the system's reason
// read through the wide call, in the user's language.
TEST(CommandLine, AHeldSceneryLibraryIsLeftWithTheSystemsReason) {
    const Product p = MakeProduct(L"held-scenery", L"Uninstall.exe");
    const std::wstring scenery = p.root + L"ProgramData\\Sim\\Scenery.cfg";
    const std::string before = ReadFile(scenery);
    ScopedFileHandle h(CreateFileW(scenery.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(h);
    const CommandLineRun run = RunWithArguments(p, L"/VERYSILENT /LOG=report.txt");
    h.Reset();
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.code, 1u);
    EXPECT_EQ(ReadFile(scenery), before);
    const std::string reason = SystemReason(ERROR_SHARING_VIOLATION);
    EXPECT_TRUE(HasLine(ReportLines(p.root + L"report.txt"),
                        "left\t" + Utf8(scenery) + "\tcannot be read: " + reason))
        << ReadFile(p.root + L"report.txt");
    if (UnderCyrillicLanguage()) {
        EXPECT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_RUSSIAN);
        EXPECT_NE(reason.find("\xD0"), std::string::npos) << reason; // Cyrillic letters
    }
}

// Under Wine the window needs an X display; without one every test would only wait
// for a window that never comes. Such a run reports "skipped" (exit code 77).
int main(int argc, char** argv) {
    if (window_driver::NoDisplayUnderWine())
        return 77;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
