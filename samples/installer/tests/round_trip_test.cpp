// The sample installer of samples/installer, built by makensis from sweepstone.nsh
// and sample-product.nsi, installs its product for real, and the wizard it placed as
// Uninstall.exe removes it: once through its window, driven as a user would, and
// once with /VERYSILENT. Each time drive C and the registry (HKLM and HKCU) must be
// as they were before the installation, apart from what is documented to stay (the
// Scenery.cfg backup), and Scenery.cfg byte for byte.
#include "win32/components.h"

#include "scoped_win32.h"
#include "window_driver.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

using namespace window_driver;
using platform::win32::ScopedFileHandle;
using platform::win32::ScopedFindHandle;
using platform::win32::ScopedKernelHandle;
using platform::win32::ScopedRegistryKey;
using sweepstone::win32::Component;
using sweepstone::win32::ControlId;

namespace {

const wchar_t* const kSimulatorKey =
    L"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
const wchar_t* const kEntryKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\BrightmereSampleField";
const std::wstring kSimulator = L"C:\\Round Trip Sim";
const std::wstring kBackupName = L"Backup_of_scenery_cfg_(Brightmere Sample Field).cfg";

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring CommonAppData() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring SceneryCfg() {
    return CommonAppData() + L"\\Microsoft\\FSX\\Scenery.cfg";
}

std::wstring Temp() {
    return DriverFolder() + L"temp";
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    const ScopedFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << Narrow(path);
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// What the machine holds: every folder and file of drive C (size and time of last
// write; Scenery.cfg is compared by its bytes instead) and every key and value of
// HKLM and HKCU, one entry each, keyed by its path.
using Snapshot = std::map<std::wstring, std::wstring>;

// Wine's own changing files and keys, and the driver's own folder (which holds the
// temporary folder the installer and the wizard are given).
bool Ignored(const std::wstring& lowerPath) {
    static const std::vector<std::wstring> prefixes = {
        Lower(DriverFolder()),
        L"c:\\windows\\temp\\",
        // Wine's record of the shortcuts it mirrored onto the Linux desktop.
        L"hkcu\\software\\wine\\menufiles\\",
        // Wine's volatile copy of the session's system parameters, made by the first
        // program of the prefix that opens a window.
        L"hkcu\\software\\wine\\temporary system parameters\\",
    };
    for (const std::wstring& prefix : prefixes) {
        if (lowerPath.rfind(prefix, 0) == 0)
            return true;
    }
    return lowerPath == Lower(SceneryCfg());
}

void AddFiles(const std::wstring& folder, Snapshot& out) {
    WIN32_FIND_DATAW data;
    const ScopedFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (Ignored(Lower(path) + (isFolder ? L"\\" : L"")))
            continue;
        if (isFolder) {
            out[path] = L"folder";
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                AddFiles(path, out);
        } else {
            const ULONGLONG size =
                (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            const ULONGLONG time =
                (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime;
            out[path] = L"file " + std::to_wstring(size) + L" bytes, " + std::to_wstring(time);
        }
    } while (FindNextFileW(find.Get(), &data));
}

void AddKeys(HKEY parent, const std::wstring& name, const std::wstring& path, Snapshot& out) {
    // A registry link is noted as a link and never followed (links may form cycles).
    ScopedRegistryKey key;
    if (RegOpenKeyExW(parent, name.c_str(), REG_OPTION_OPEN_LINK, KEY_READ | KEY_WOW64_64KEY,
                      key.Receive()) != ERROR_SUCCESS)
        return;
    DWORD linkType = REG_NONE;
    if (RegQueryValueExW(key.Get(), L"SymbolicLinkValue", nullptr, &linkType, nullptr, nullptr) ==
            ERROR_SUCCESS &&
        linkType == REG_LINK) {
        out[path] = L"link";
        return;
    }
    out[path] = L"key";
    std::vector<wchar_t> valueName(16384);
    std::vector<BYTE> data(1 << 16);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(valueName.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG result = RegEnumValueW(key.Get(), i, valueName.data(), &nameLength, nullptr,
                                          &type, data.data(), &size);
        if (result == ERROR_MORE_DATA) {
            out[path + L"\\\\" + std::wstring(valueName.data(), nameLength)] = L"large value";
            continue;
        }
        if (result != ERROR_SUCCESS)
            break; // ERROR_NO_MORE_ITEMS, or a key that cannot be listed
        const std::wstring entry = path + L"\\\\" + std::wstring(valueName.data(), nameLength);
        if (Ignored(Lower(entry)))
            continue;
        std::wstring text = std::to_wstring(type) + L":";
        static const wchar_t* const hex = L"0123456789abcdef";
        for (DWORD b = 0; b < size; ++b) {
            text += hex[data[b] >> 4];
            text += hex[data[b] & 15];
        }
        out[entry] = text;
    }
    std::vector<std::wstring> subkeys;
    wchar_t subkey[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        const LONG result =
            RegEnumKeyExW(key.Get(), i, subkey, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS)
            break;
        subkeys.emplace_back(subkey, length);
    }
    for (const std::wstring& sub : subkeys) {
        const std::wstring subPath = path + L"\\" + sub;
        if (!Ignored(Lower(subPath) + L"\\"))
            AddKeys(key.Get(), sub, subPath, out);
    }
}

Snapshot TakeSnapshot() {
    Snapshot s;
    AddFiles(L"C:", s);
    const size_t files = s.size();
    AddKeys(HKEY_LOCAL_MACHINE, L"", L"HKLM", s);
    AddKeys(HKEY_CURRENT_USER, L"", L"HKCU", s);
    std::printf("snapshot: %zu folders and files, %zu keys and values\n", files, s.size() - files);
    std::fflush(stdout);
    return s;
}

// The differences, one line each: "+" new, "-" gone, "~" changed.
std::vector<std::string> Differences(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> out;
    for (const auto& [path, what] : before) {
        const auto now = after.find(path);
        if (now == after.end())
            out.push_back("- " + Narrow(path) + " (" + Narrow(what) + ")");
        else if (now->second != what)
            out.push_back("~ " + Narrow(path) + " (" + Narrow(what) + " -> " + Narrow(now->second) +
                          ")");
    }
    for (const auto& [path, what] : after) {
        if (!before.count(path))
            out.push_back("+ " + Narrow(path) + " (" + Narrow(what.substr(0, 40)) + ")");
    }
    return out;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size() && i < 40; ++i)
        text += lines[i] + "\n";
    return text;
}

// A started program: its process and its id.
struct Process {
    ScopedKernelHandle handle;
    DWORD id = 0;
};

// Starts a program with the temporary folder in the driver's folder.
Process Start(const std::wstring& commandLine) {
    SetEnvironmentVariableW(L"TMP", Temp().c_str());
    SetEnvironmentVariableW(L"TEMP", Temp().c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = commandLine;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        DriverFolder().c_str(), &si, &pi))
        ADD_FAILURE() << "cannot start " << Narrow(commandLine) << ": " << GetLastError();
    const ScopedKernelHandle thread(pi.hThread);
    Process started;
    started.handle.Reset(pi.hProcess);
    started.id = pi.dwProcessId;
    return started;
}

// Waits for the process to end: its exit code, or 259 (still active) after the wait.
DWORD Finished(const Process& process, DWORD milliseconds = 120000) {
    DWORD code = STILL_ACTIVE;
    if (!process.handle)
        return code;
    if (WaitForSingleObject(process.handle.Get(), milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.handle.Get(), &code);
    else
        TerminateProcess(process.handle.Get(), 1);
    return code;
}

DWORD RunToEnd(const std::wstring& commandLine) {
    return Finished(Start(commandLine));
}

std::wstring ReadEntry(const wchar_t* value) {
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    RegGetValueW(HKEY_LOCAL_MACHINE, kEntryKey, value, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6432KEY,
                 nullptr, text, &size);
    return text;
}

// The machine as a simulator leaves it: its registry entry (in the 32-bit view, as
// the 32-bit simulator writes it and the wizard reads), its folders with an
// add-on of another maker's and the scenery file the sample switches off, and its
// scenery library.
const std::string kScenery = "[General]\r\nTitle=FS Scenery\r\nDescription=FS Scenery Data\r\n"
                             "Clean_on_Exit=TRUE\r\n\r\n"
                             "[Area.001]\r\nTitle=Default Terrain\r\nLocal=Scenery\\World\r\n"
                             "Layer=1\r\nActive=TRUE\r\nRequired=TRUE\r\n\r\n"
                             "[Area.002]\r\nTitle=Addon Scenery\r\nLocal=Addon Scenery\r\n"
                             "Layer=2\r\nActive=TRUE\r\nRequired=FALSE\r\n\r\n"
                             "[Area.004]\r\nTitle=Other Field\r\n"
                             "Local=C:\\Round Trip Sim\\Addon Scenery\\Other Field\r\n"
                             "Layer=3\r\nActive=TRUE\r\nRequired=FALSE\r\n";

class RoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CreateDirectoryW(Temp().c_str(), nullptr);
        for (const wchar_t* folder :
             {L"", L"\\Addon Scenery", L"\\Addon Scenery\\Other Field", L"\\Effects", L"\\Scenery",
              L"\\Scenery\\World", L"\\Scenery\\World\\scenery"})
            CreateDirectoryW((kSimulator + folder).c_str(), nullptr);
        WriteBytes(kSimulator + L"\\fsx.exe", "simulator");
        WriteBytes(kSimulator + L"\\Addon Scenery\\Other Field\\other.bgl", "other maker");
        WriteBytes(kSimulator + L"\\Effects\\fx_default.fx", "effect");
        WriteBytes(kSimulator + L"\\Scenery\\World\\scenery\\BSF_default_apron.bgl", "apron");
        SHCreateDirectoryExW(nullptr, (CommonAppData() + L"\\Microsoft\\FSX").c_str(), nullptr);
        WriteBytes(SceneryCfg(), kScenery);
        const std::wstring root = kSimulator + L"\\";
        ScopedRegistryKey simulator;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSimulatorKey, 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, simulator.Receive(), nullptr);
        RegSetValueExW(simulator.Get(), L"SetupPath", 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(root.c_str()),
                       static_cast<DWORD>((root.size() + 1) * sizeof(wchar_t)));
    }

    // What the simulator's stand-in was goes again: the other tests of this prefix
    // know no simulator.
    static void TearDownTestSuite() {
        ScopedRegistryKey simulator;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSimulatorKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                          simulator.Receive()) == ERROR_SUCCESS)
            RegDeleteValueW(simulator.Get(), L"SetupPath");
        DeleteFileW(SceneryCfg().c_str());
        DeleteTree(kSimulator);
    }

    // Installs silently; the machine as it was before, and the removal's mark cleared.
    void Install() {
        before_ = TakeSnapshot();
        DeleteFileW(Mark().c_str());
        ASSERT_EQ(RunToEnd(L"\"" + DriverFolder() + L"data\\sample-setup.exe\" /S"), 0u);
        std::printf("installed\n");
        std::fflush(stdout);
        program_ = ReadEntry(L"InstallLocation") + L"\\Uninstall.exe";
        ASSERT_TRUE(FileExists(program_)) << Narrow(program_);
        EXPECT_EQ(ReadEntry(L"UninstallString"), L"\"" + program_ + L"\"");
        EXPECT_EQ(ReadEntry(L"QuietUninstallString"), L"\"" + program_ + L"\" /VERYSILENT");
        EXPECT_TRUE(FolderExists(kSimulator + L"\\Addon Scenery\\Brightmere\\Sample Field"));
        EXPECT_NE(ReadFile(SceneryCfg()).find("Title=Brightmere Sample Field\r\n"),
                  std::string::npos);
        EXPECT_TRUE(FileExists(kSimulator + L"\\Scenery\\World\\scenery\\BSF_default_apron.off"));
        // The log the include wrote passes the wizard's own check: no error, no
        // warning. The report goes to the temporary folder, not beside the wizard,
        // whose folder must be empty for the self-deletion to take it.
        const std::wstring report = Temp() + L"\\check.txt";
        EXPECT_EQ(RunToEnd(L"\"" + program_ + L"\" /CHECK /VERYSILENT /LOG=\"" + report + L"\""),
                  0u)
            << ReadFile(report);
        DeleteFileW(report.c_str());
    }

    // The self-deletion is done, the library left its mark, and the machine is as
    // before but for the Scenery.cfg backup, which holds the library as installed.
    void ExpectWithoutATrace(const std::string& sceneryInstalled) {
        const std::wstring folder = program_.substr(0, program_.find_last_of(L'\\'));
        EXPECT_TRUE(WaitFor([&] { return !FolderExists(folder); }, 60))
            << "the wizard's folder is still there";
        EXPECT_EQ(ReadFile(Mark()), "removed Brightmere Sample Field\r\n");
        EXPECT_EQ(ReadFile(SceneryCfg()), kScenery);
        const std::wstring backup = CommonAppData() + L"\\Microsoft\\FSX\\" + kBackupName;
        EXPECT_EQ(ReadFile(backup), sceneryInstalled);
        DeleteFileW(backup.c_str());
        const std::vector<std::string> left = Differences(before_, TakeSnapshot());
        EXPECT_TRUE(left.empty()) << left.size() << " differences:\n" << Joined(left);
    }

    static std::wstring Mark() { return Temp() + L"\\sample-field-mark.txt"; }

    Snapshot before_;
    std::wstring program_;
};

TEST_F(RoundTrip, TheWizardsWindowRemovesTheProductWithoutATrace) {
    Install();
    const std::string sceneryInstalled = ReadFile(SceneryCfg());
    const Process wizard = Start(L"\"" + program_ + L"\"");
    HWND form = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        return (form = FindProcessWindow(wizard.id, sweepstone::win32::kFormClassName));
    })) << "no wizard window";
    auto control = [&](Component c) {
        return GetDlgItem(form, ControlId(c));
    };
    PostMessageW(control(Component::BitBtn1), BM_CLICK, 0, 0); // "Next >" opens a modal box
    const MessageBoxSeen question = WaitForMessageBox(wizard.id);
    ASSERT_NE(question.hwnd, nullptr);
    AnswerMessageBox(question, IDOK);
    HWND left = nullptr;
    WaitFor(
        [&] {
            left = FindProcessWindow(wizard.id, L"#32770");
            return left || TextOf(control(Component::BitBtn2)) == L"Finish";
        },
        60);
    if (left)
        ADD_FAILURE() << "items left: " << Narrow(ReadMessageBox(left).text);
    ASSERT_EQ(TextOf(control(Component::BitBtn2)), L"Finish");
    PostMessageW(control(Component::BitBtn2), BM_CLICK, 0, 0); // ends the program
    EXPECT_EQ(Finished(wizard), 0u);
    ExpectWithoutATrace(sceneryInstalled);
}

TEST_F(RoundTrip, TheQuietUninstallStringRemovesTheProductWithoutATrace) {
    Install();
    const std::string sceneryInstalled = ReadFile(SceneryCfg());
    EXPECT_EQ(RunToEnd(ReadEntry(L"QuietUninstallString")), 0u);
    ExpectWithoutATrace(sceneryInstalled);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
