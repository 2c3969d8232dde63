// End-to-end tests of season.exe: each test copies the sample add-on folder and
// the program into a fresh tree, starts the real program there and drives its
// window as a user would, through its controls: clicks on pictures and buttons,
// texts of labels and the list, answers to its message boxes, and the files on
// disk afterwards.
//
// The program and the sample tree lie in "data\" beside this driver
// (data\season.exe, data\addons\). A screenshot of the started window is written
// to "season-window.bmp" beside the driver.
#include "caption_fit.h"
#include "components.h"
#include "guards.h"
#include "season_tree.h"
#include "window_driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using season::Component;
using namespace window_driver;
using platform::win32::ScopedFileHandle;
using platform::win32::ScopedFindHandle;
using platform::win32::ScopedGdiObject;
using platform::win32::ScopedGetDc;
using platform::win32::ScopedKernelHandle;
using platform::win32::ScopedRegistryKey;
using platform::win32::ScopedSelect;

namespace {

// season.exe running in its own copy of the sample tree.
class Switcher {
public:
    // In a copy of the sample add-on folder, or in an empty folder; `prepare`
    // adds to the tree before the program starts.
    explicit Switcher(const std::wstring& treeName,
                      const std::function<void(const std::wstring& tree)>& prepare = nullptr,
                      bool withAddons = true) {
        tree_ = season_e2e::MakeTree(L"trees", treeName, withAddons);
        if (prepare)
            prepare(tree_);
        Start(tree_ + L"season.exe");
    }

    // Another start of the program file `program`, in a tree laid out before.
    struct SecondStart {};
    Switcher(SecondStart, const std::wstring& program) {
        tree_ = program.substr(0, program.find_last_of(L'\\') + 1);
        Start(program);
    }

    void Start(const std::wstring& program) {
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        std::wstring command = L"\"" + program + L"\"";
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            tree_.c_str(), &si, &started))
            return;
        process_.Reset(started.hProcess);
        thread_.Reset(started.hThread);
        processId_ = started.dwProcessId;
        threadId_ = started.dwThreadId;
        WaitForInputIdle(process_.Get(), 20000);
        WaitFor([this] { return (form_ = FindForm()) != nullptr || Ended(); });
    }

    bool Ended() const { return WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }

    ~Switcher() {
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
            if (form_)
                PostMessageW(form_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_.Get(), 5000) == WAIT_TIMEOUT)
                TerminateProcess(process_.Get(), 1);
        }
    }

    HWND Form() const { return form_; }
    DWORD ProcessId() const { return processId_; }
    HWND Tooltips() const { return FindOwnWindow(L"tooltips_class32", false); }
    const std::wstring& Tree() const { return tree_; }

    HWND Control(Component c) const {
        HWND parent = form_;
        if (c == Component::Label_Help || c == Component::BitBtn1)
            parent = GetDlgItem(form_, season::ControlId(Component::Panel_Help));
        return GetDlgItem(parent, season::ControlId(c));
    }
    std::wstring Text(Component c) const { return TextOf(Control(c)); }
    bool Visible(Component c) const { return IsWindowVisible(Control(c)) != FALSE; }

    // A press and release of the primary button on a control, delivered before
    // this returns (the control answers on its own thread).
    void Click(Component c) const {
        HWND h = Control(c);
        if (ClassOf(h) == L"Button") {
            SendMessageW(h, BM_CLICK, 0, 0);
            return;
        }
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    }
    // A click that opens a modal box: posted, so that the driver stays free.
    void ClickAndLeave(Component c) const { PostMessageW(Control(c), BM_CLICK, 0, 0); }

    std::vector<std::wstring> ListEntries() const {
        HWND list = Control(Component::ListBox1);
        std::vector<std::wstring> out;
        const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            wchar_t buffer[512] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(buffer));
            out.emplace_back(buffer);
        }
        return out;
    }

    HWND FocusedControl() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(threadId_, &info);
        return info.hwndFocus;
    }

    // The next message box of the program, with its caption and text.
    MessageBoxSeen WaitForMessageBox() const {
        return window_driver::WaitForMessageBox(processId_);
    }

    static void Answer(const MessageBoxSeen& box, int button) { AnswerMessageBox(box, button); }

    bool Exited(DWORD* code) const {
        if (WaitForSingleObject(process_.Get(), 10000) != WAIT_OBJECT_0)
            return false;
        GetExitCodeProcess(process_.Get(), code);
        return true;
    }

    std::string File(const std::wstring& relative) const { return ReadFile(tree_ + relative); }

    // Saves what the screen shows of the window as a 24-bit BMP.
    bool SaveScreenshot(const std::wstring& path) const {
        return window_driver::SaveScreenshot(form_, path);
    }

private:
    HWND FindForm() const { return FindOwnWindow(season::kFormClassName, true); }

    HWND FindOwnWindow(const wchar_t* className, bool mustBeVisible = true) const {
        return FindProcessWindow(processId_, className, mustBeVisible);
    }

    std::wstring tree_;
    ScopedKernelHandle process_;
    ScopedKernelHandle thread_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND form_ = nullptr;
};

const std::wstring kSummer = L"Summer / Sommer";
const std::wstring kAutumn = L"Autumn / Herbst";
const std::wstring kWinter = L"Winter / Winter";
const std::wstring kSpring = L"Spring / Fr\u00fchling";

std::vector<std::wstring> Carousel(const Switcher& s) {
    return {s.Text(Component::Image7), s.Text(Component::Image3), s.Text(Component::Image6)};
}

// Steps the carousel to a season (0..3) from summer with the right arrow.
void StepTo(const Switcher& s, int season) {
    for (int i = 0; i < season; ++i)
        s.Click(Component::Image4);
}

// Presses apply, answers the MipMap question and the closing message with OK,
// and waits until the window takes input again.
void ApplyAnswering(const Switcher& s, int mipMapAnswer) {
    s.ClickAndLeave(Component::Button1);
    const MessageBoxSeen question = s.WaitForMessageBox();
    ASSERT_NE(question.hwnd, nullptr);
    Switcher::Answer(question, mipMapAnswer);
    const MessageBoxSeen done = s.WaitForMessageBox();
    ASSERT_NE(done.hwnd, nullptr);
    Switcher::Answer(done, IDOK);
    EXPECT_TRUE(
        WaitFor([&] { return IsWindowEnabled(s.Control(Component::Button1)) != FALSE; }, 5));
}

// The text of a control's tooltip, read through memory in the program's process
// (the tooltip's messages carry pointers).
std::wstring TooltipTextOf(const Switcher& s, Component c) {
    const ScopedKernelHandle opened(OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, s.ProcessId()));
    if (!opened)
        return L"<no access>";
    const HANDLE process = opened.Get();
    constexpr size_t kChars = 512;
    const size_t bytes = sizeof(TOOLINFOW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<BYTE*>(
        VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = s.Form();
    tool.uId = reinterpret_cast<UINT_PTR>(s.Control(c));
    tool.lpszText = reinterpret_cast<LPWSTR>(remote + sizeof(TOOLINFOW));
    std::vector<wchar_t> text(kChars, L'\0');
    WriteProcessMemory(process, remote, &tool, sizeof(tool), nullptr);
    WriteProcessMemory(process, remote + sizeof(TOOLINFOW), text.data(), 2, nullptr);
    SendMessageW(s.Tooltips(), TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote + sizeof(TOOLINFOW), text.data(), kChars * sizeof(wchar_t),
                      nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    text.back() = L'\0';
    return text.data();
}

} // namespace

TEST(SeasonWindow, StartsInEnglishAtSummerWithTheSampleAddonsListed) {
    Switcher s(L"start");
    ASSERT_NE(s.Form(), nullptr) << "season.exe did not show its window";

    RECT client;
    GetClientRect(s.Form(), &client);
    EXPECT_EQ(client.right, 787);
    EXPECT_EQ(client.bottom, 538);
    EXPECT_EQ(GetWindowLongW(s.Form(), GWL_STYLE) & WS_CAPTION, 0) << "frameless";
    RECT window;
    GetWindowRect(s.Form(), &window);
    EXPECT_NEAR(window.left + 787 / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1) << "centred";
    EXPECT_NEAR(window.top + 538 / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1) << "centred";
    EXPECT_EQ(TextOf(s.Form()), L"Brightmere Turnleaf");

    // Generic add-ons sorted, then the catalogue add-ons in catalogue order.
    const std::vector<std::wstring> expected = {L"Alpha Airfield", L"Beta Harbour", L"Gamma Field",
                                                L"Quorrin X",      L"Taskelby X",   L"Norvasse X",
                                                L"Sorvikk X"};
    EXPECT_EQ(s.ListEntries(), expected);
    EXPECT_EQ(s.Text(Component::Label1), s.Tree());
    EXPECT_EQ(s.Text(Component::Label_Version), L"V1.30.0.0");
    EXPECT_EQ(s.Text(Component::Label2), L"Support for ...");
    EXPECT_EQ(s.Text(Component::Label3), L"Brightmere's");
    EXPECT_EQ(s.Text(Component::BitBtn2), L"Close");
    EXPECT_EQ(s.Text(Component::Button1), L"Apply new textures for all products");
    EXPECT_EQ(Carousel(s), (std::vector<std::wstring>{kSpring, kSummer, kAutumn}));
    EXPECT_FALSE(s.Visible(Component::Label_Quorrin_warning));
    EXPECT_FALSE(s.Visible(Component::Panel_Help));
    EXPECT_FALSE(s.Visible(Component::DirectoryListBox1));

    // Every component is a real control of its standard class.
    EXPECT_EQ(ClassOf(s.Control(Component::Image3)), L"Static");
    EXPECT_EQ(ClassOf(s.Control(Component::Label1)), L"Static");
    EXPECT_EQ(ClassOf(s.Control(Component::ListBox1)), L"ListBox");
    EXPECT_EQ(ClassOf(s.Control(Component::Button1)), L"Button");
    EXPECT_EQ(ClassOf(s.Control(Component::BitBtn1)), L"Button");
    EXPECT_EQ(ClassOf(s.Control(Component::Label_Help)), L"Static");
    RECT list;
    GetWindowRect(s.Control(Component::ListBox1), &list);
    MapWindowPoints(nullptr, s.Form(), reinterpret_cast<POINT*>(&list), 2);
    EXPECT_EQ(list.left, 29);
    EXPECT_EQ(list.top, 208);
    EXPECT_EQ(list.right - list.left, 193);
    EXPECT_EQ(list.bottom - list.top, 104);

    // Tab order: the close button, then the apply button; the list is left out.
    HWND first = GetNextDlgTabItem(s.Form(), nullptr, FALSE);
    EXPECT_EQ(first, s.Control(Component::BitBtn2));
    EXPECT_EQ(GetNextDlgTabItem(s.Form(), first, FALSE), s.Control(Component::Button1));
    EXPECT_EQ(GetNextDlgTabItem(s.Form(), s.Control(Component::Button1), FALSE), first);
    // The background picture lies below every other control.
    EXPECT_EQ(GetWindow(GetWindow(s.Form(), GW_CHILD), GW_HWNDLAST), s.Control(Component::Image1));

    // Tooltips on the close icon, the two flags and the active season's line, and
    // nowhere else.
    ASSERT_NE(s.Tooltips(), nullptr);
    EXPECT_EQ(SendMessageW(s.Tooltips(), TTM_GETTOOLCOUNT, 0, 0), 4);

    Sleep(500); // let the window finish painting
    EXPECT_TRUE(s.SaveScreenshot(DriverFolder() + L"season-window.bmp"));
}

TEST(SeasonWindow, CarouselStepsAndWarnsForQuorrinAtAutumnAndSpring) {
    Switcher s(L"carousel");
    ASSERT_NE(s.Form(), nullptr);
    const std::vector<std::vector<std::wstring>> right = {
        {kSummer, kAutumn, kWinter},
        {kAutumn, kWinter, kSpring},
        {kWinter, kSpring, kSummer},
        {kSpring, kSummer, kAutumn},
    };
    const bool warned[] = {true, false, true, false};
    for (size_t i = 0; i < right.size(); ++i) {
        s.Click(Component::Image4);
        EXPECT_EQ(Carousel(s), right[i]) << "right click " << i + 1;
        EXPECT_EQ(s.Visible(Component::Label_Quorrin_warning), warned[i])
            << "right click " << i + 1;
    }
    s.Click(Component::Image5);
    EXPECT_EQ(Carousel(s), (std::vector<std::wstring>{kWinter, kSpring, kSummer}));
    EXPECT_TRUE(s.Visible(Component::Label_Quorrin_warning));
    EXPECT_EQ(s.Text(Component::Label_Quorrin_warning),
              L"This season textures is NOT supported by the Quorrin X add-on.");
    s.Click(Component::Image5);
    s.Click(Component::Image5);
    EXPECT_EQ(Carousel(s), (std::vector<std::wstring>{kSummer, kAutumn, kWinter}));
    EXPECT_TRUE(s.Visible(Component::Label_Quorrin_warning));
}

TEST(SeasonWindow, FlagsSwitchTheLanguageAndKeepWhatIsShown) {
    Switcher s(L"language");
    ASSERT_NE(s.Form(), nullptr);
    s.Click(Component::Image4); // autumn: the warning shows
    s.Click(Component::Image10);
    s.Click(Component::Image8);
    EXPECT_EQ(s.Text(Component::Label2), L"Unterst\u00fctzung f\u00fcr ..");
    EXPECT_EQ(s.Text(Component::BitBtn2), L"Beenden");
    EXPECT_EQ(s.Text(Component::Button1), L"Einstellung \u00fcbernehmen");
    EXPECT_EQ(s.Text(Component::Label_Quorrin_warning),
              L"Diese Jahreszeit-Einstellung wird nicht vom Addon Quorrin X unterst\u00fctzt.");
    const std::wstring help = s.Text(Component::Label_Help);
    EXPECT_NE(help.find(L"so benutzen Sie bitte das \u201eTurnleaf\u201c.\r"), std::wstring::npos);
    EXPECT_EQ(std::count(help.begin(), help.end(), L'\r'), 12);
    EXPECT_TRUE(s.Visible(Component::Label_Quorrin_warning));
    EXPECT_TRUE(s.Visible(Component::Panel_Help));
    EXPECT_EQ(s.Text(Component::Label_Version), L"V1.30.0.0");
    Sleep(300);
    EXPECT_TRUE(s.SaveScreenshot(DriverFolder() + L"season-window-de.bmp"));

    s.Click(Component::Image9);
    EXPECT_EQ(s.Text(Component::Label2), L"Support for ...");
    EXPECT_EQ(s.Text(Component::BitBtn2), L"Close");
    const std::wstring english = s.Text(Component::Label_Help);
    EXPECT_EQ(std::count(english.begin(), english.end(), L'\r'), 10);

    s.Click(Component::Image4); // winter: hidden, and a switch keeps it hidden
    s.Click(Component::Image8);
    EXPECT_FALSE(s.Visible(Component::Label_Quorrin_warning));
}

TEST(SeasonWindow, HelpPanelOpensAndClosesAndTheListKeepsNoSelection) {
    Switcher s(L"help");
    ASSERT_NE(s.Form(), nullptr);
    s.Click(Component::Image10);
    EXPECT_TRUE(s.Visible(Component::Panel_Help));
    EXPECT_TRUE(s.Visible(Component::Label_Help));
    EXPECT_EQ(s.Text(Component::BitBtn1), L"OK");
    EXPECT_EQ(s.Text(Component::Label_Help).substr(0, 36), L"This is a programme that enables you");
    s.Click(Component::BitBtn1);
    EXPECT_FALSE(s.Visible(Component::Panel_Help));

    HWND list = s.Control(Component::ListBox1);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(s.FocusedControl(), s.Control(Component::Button1));
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 8));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 8));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST(SeasonWindow, AppliesWinterWithMipMapsThenSummerWithout) {
    Switcher s(L"apply-winter");
    ASSERT_NE(s.Form(), nullptr);
    StepTo(s, 2);
    s.ClickAndLeave(Component::Button1);

    const MessageBoxSeen question = s.WaitForMessageBox();
    ASSERT_NE(question.hwnd, nullptr);
    EXPECT_EQ(question.caption, L"Please select now...");
    EXPECT_EQ(question.text, L"Do you want to use MipMap-Textures with the addon Norvasse X?");
    EXPECT_FALSE(IsWindowEnabled(s.Control(Component::Button1))) << "no second run meanwhile";
    Switcher::Answer(question, IDYES);

    const MessageBoxSeen done = s.WaitForMessageBox();
    ASSERT_NE(done.hwnd, nullptr);
    EXPECT_EQ(done.caption, L"Brightmere Turnleaf");
    EXPECT_EQ(done.text, L"Change texture settings successful!");
    Switcher::Answer(done, IDOK);
    EXPECT_TRUE(
        WaitFor([&] { return IsWindowEnabled(s.Control(Component::Button1)) != FALSE; }, 5));

    const std::wstring norvasse = L"Norvasse X\\Norvasse X - priority 2\\";
    EXPECT_EQ(s.File(L"Alpha Airfield\\Texture\\treesSU.bmp"),
              s.File(L"Alpha Airfield\\Texture\\Default\\treeshw.bmp"));
    EXPECT_EQ(s.File(L"Taskelby X\\Texture\\x_trees.bmp"),
              s.File(L"Taskelby X\\Texture\\Winter\\x_trees.bmp"));
    EXPECT_EQ(s.File(L"Sorvikk X\\texture\\MOJU_Trees.bmp"),
              s.File(L"Sorvikk X\\texture\\winter\\MOJU_Trees.bmp"));
    EXPECT_EQ(s.File(norvasse + L"Texture\\TWEL_Base.bmp"),
              s.File(norvasse + L"Texture.MipMaps\\TWEL_Base.bmp"));
    EXPECT_EQ(s.File(norvasse + L"Texture\\TWEL_Ground.bmp"),
              s.File(norvasse + L"Texture.winter.MipMaps\\TWEL_Ground.bmp"));
    EXPECT_TRUE(FileExists(s.Tree() + L"Quorrin\\Scenery\\Winter_TUBR_Aerial.bgl"));
    EXPECT_TRUE(FileExists(s.Tree() + L"Quorrin\\Scenery\\TUBR_Aerial.off"));
    EXPECT_EQ(s.File(L"Quorrin\\Texture\\treesSU.bmp"),
              s.File(L"Quorrin\\Texture\\Winter_treesSU.off"));

    // Back to summer, answering No this time.
    StepTo(s, 2);
    s.ClickAndLeave(Component::Button1);
    const MessageBoxSeen again = s.WaitForMessageBox();
    ASSERT_NE(again.hwnd, nullptr);
    Switcher::Answer(again, IDNO);
    const MessageBoxSeen doneAgain = s.WaitForMessageBox();
    ASSERT_NE(doneAgain.hwnd, nullptr);
    Switcher::Answer(doneAgain, IDOK);

    EXPECT_EQ(s.File(L"Alpha Airfield\\Texture\\treesSU.bmp"),
              s.File(L"Alpha Airfield\\Texture\\Default\\treesSU.bmp"));
    EXPECT_EQ(s.File(norvasse + L"Texture\\TWEL_Base.bmp"),
              s.File(norvasse + L"Texture.NoMipMaps\\TWEL_Base.bmp"));
    EXPECT_EQ(s.File(norvasse + L"Texture\\TWEL_Ground.bmp"),
              s.File(norvasse + L"Texture.summer.NoMipMaps\\TWEL_Ground.bmp"));
    EXPECT_TRUE(FileExists(s.Tree() + L"Quorrin\\Scenery\\Winter_TUBR_Aerial.off"));
    EXPECT_TRUE(FileExists(s.Tree() + L"Quorrin\\Scenery\\TUBR_Aerial.bgl"));
}

TEST(SeasonWindow, TellsTheActiveSeasonAfterASwitchAndInANewStartAndNamesAnAddonThatDiffers) {
    const auto line = [](const Switcher& s, const std::wstring& text) {
        EXPECT_TRUE(WaitFor([&] { return s.Text(Component::Label_Active) == text; }, 20))
            << Narrow(s.Text(Component::Label_Active));
    };
    std::wstring program;
    {
        Switcher s(L"active-season");
        ASSERT_NE(s.Form(), nullptr);
        program = s.Tree() + L"season.exe";
        // The start is as it always was: summer in the carousel, the same list.
        EXPECT_EQ(Carousel(s), (std::vector<std::wstring>{kSpring, kSummer, kAutumn}));
        EXPECT_EQ(s.ListEntries().size(), 7u);
        EXPECT_TRUE(WaitFor([&] { return !s.Text(Component::Label_Active).empty(); }, 20));
        StepTo(s, 2);
        ApplyAnswering(s, IDYES);
        line(s, L"Active now: winter");
    }
    {
        Switcher s(Switcher::SecondStart{}, program);
        ASSERT_NE(s.Form(), nullptr);
        EXPECT_EQ(Carousel(s), (std::vector<std::wstring>{kSpring, kSummer, kAutumn}));
        line(s, L"Active now: winter");
        EXPECT_EQ(TooltipTextOf(s, Component::Label_Active), L"");
        s.Click(Component::Image8);
        line(s, L"Aktiv: Winter");
    }
    const std::wstring tree = program.substr(0, program.find_last_of(L'\\') + 1);
    ASSERT_TRUE(CopyFileW((tree + L"Beta Harbour\\Texture\\Default\\treesSU.bmp").c_str(),
                          (tree + L"Beta Harbour\\Texture\\treesSU.bmp").c_str(), FALSE));
    for (const bool german : {false, true}) {
        Switcher s(Switcher::SecondStart{}, program);
        ASSERT_NE(s.Form(), nullptr);
        if (german)
            s.Click(Component::Image8);
        line(s, german ? L"Aktiv: gemischt - bitte eine Jahreszeit \u00fcbernehmen"
                       : L"Active now: mixed - apply a season to repair");
        EXPECT_EQ(TooltipTextOf(s, Component::Label_Active),
                  german ? L"Eine andere Jahreszeit zeigen: Beta Harbour"
                         : L"Showing another season: Beta Harbour");
        // The longest line fits its control at the design size (Tahoma 8 pt).
        RECT box;
        GetClientRect(s.Control(Component::Label_Active), &box);
        const ScopedGetDc dc(nullptr);
        const ScopedGdiObject<HFONT> font(
            CreateFontW(-MulDiv(8, GetDeviceCaps(dc.Get(), LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0,
                        0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
        const std::wstring text = s.Text(Component::Label_Active);
        SIZE size{};
        {
            const ScopedSelect selected(dc.Get(), font.Get());
            GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
        }
        EXPECT_LT(size.cx, box.right) << Narrow(text);
    }
}

// The prefix's ANSI code page is 1252, which holds none of these names: only the
// wide calls and UTF-8 inside find, list, show and switch them.
TEST(SeasonWindow, FindsListsAndSwitchesFoldersNamedInAnyScript) {
    Switcher s(L"\u0141\u00F3d\u017A \u0416\u0443\u043A\u043E\u0432 \u6771\u4EAC",
               [](const std::wstring& tree) {
                   MoveFileW((tree + L"Alpha Airfield").c_str(), (tree + L"東京 羽田").c_str());
                   MoveFileW((tree + L"Beta Harbour").c_str(), (tree + L"Жуковский").c_str());
                   MoveFileW((tree + L"Gamma Field").c_str(), (tree + L"Łódź Lublinek").c_str());
                   // One target that cannot be written, for the failure message.
                   SetFileAttributesW((tree + L"Жуковский\\Texture\\treesSU.bmp").c_str(),
                                      FILE_ATTRIBUTE_READONLY);
               });
    ASSERT_NE(s.Form(), nullptr);
    std::vector<std::wstring> listed = s.ListEntries();
    ASSERT_EQ(listed.size(), 7u);
    // The generic add-ons come first, in the locale's order, then the catalogue's.
    std::vector<std::wstring> generic(listed.begin(), listed.begin() + 3);
    std::sort(generic.begin(), generic.end());
    EXPECT_EQ(generic, (std::vector<std::wstring>{L"Łódź Lublinek", L"Жуковский", L"東京 羽田"}));
    EXPECT_EQ(
        std::vector<std::wstring>(listed.begin() + 3, listed.end()),
        (std::vector<std::wstring>{L"Quorrin X", L"Taskelby X", L"Norvasse X", L"Sorvikk X"}));
    EXPECT_EQ(s.Text(Component::Label1), s.Tree());
    EXPECT_EQ(s.Text(Component::Label_Version), L"V1.30.0.0") << "read from the program's own path";

    StepTo(s, 2);
    s.ClickAndLeave(Component::Button1);
    const MessageBoxSeen question = s.WaitForMessageBox();
    ASSERT_NE(question.hwnd, nullptr);
    Switcher::Answer(question, IDYES);
    const MessageBoxSeen done = s.WaitForMessageBox();
    ASSERT_NE(done.hwnd, nullptr);
    EXPECT_EQ(done.text.rfind(L"Some texture files could not be changed (1):", 0), 0u)
        << std::string(done.text.begin(), done.text.end());
    EXPECT_NE(done.text.find(s.Tree() + L"Жуковский\\Texture\\treesSU.bmp"), std::wstring::npos)
        << "the failure message shows the path right";
    Switcher::Answer(done, IDOK);

    EXPECT_EQ(s.File(L"東京 羽田\\Texture\\treesSU.bmp"),
              s.File(L"東京 羽田\\Texture\\Default\\treeshw.bmp"));
    EXPECT_EQ(s.File(L"Жуковский\\Texture\\treesSU.bmp"),
              s.File(L"Жуковский\\Texture\\Default\\treesSU.bmp"))
        << "the read-only target stays";
    EXPECT_EQ(s.File(L"Taskelby X\\Texture\\x_trees.bmp"),
              s.File(L"Taskelby X\\Texture\\Winter\\x_trees.bmp"));
}

TEST(SeasonWindow, AppliesAutumnInGermanAndAsksAndReportsInGerman) {
    Switcher s(L"apply-autumn");
    ASSERT_NE(s.Form(), nullptr);
    s.Click(Component::Image8);
    s.Click(Component::Image4);
    s.ClickAndLeave(Component::Button1);
    const MessageBoxSeen question = s.WaitForMessageBox();
    ASSERT_NE(question.hwnd, nullptr);
    EXPECT_EQ(question.caption, L"Bitte w\u00e4hlen Sie ...");
    EXPECT_EQ(question.text,
              L"M\u00f6chten Sie MipMap-Texturen bei dem Addon Norvasse X verwenden?");
    Switcher::Answer(question, IDNO);
    const MessageBoxSeen done = s.WaitForMessageBox();
    ASSERT_NE(done.hwnd, nullptr);
    EXPECT_EQ(done.text, L"\u00c4nderung der TEXTUREN durchgef\u00fchrt!");
    Switcher::Answer(done, IDOK);

    const std::wstring norvasse = L"Norvasse X\\Norvasse X - priority 2\\";
    EXPECT_EQ(s.File(L"Beta Harbour\\Texture\\treesSU.bmp"),
              s.File(L"Beta Harbour\\Texture\\Default\\treesFA.bmp"));
    EXPECT_EQ(s.File(L"Taskelby X\\Texture\\x_trees.bmp"),
              s.File(L"Taskelby X\\Texture\\Herbst\\x_trees.bmp"));
    EXPECT_EQ(s.File(L"Sorvikk X\\SCENERY\\MOJU_Vegetation.bgl"),
              s.File(L"Sorvikk X\\SCENERY\\fall\\MOJU_Vegetation.bgl"));
    EXPECT_EQ(s.File(norvasse + L"Texture\\TWEL_Ground.bmp"),
              s.File(norvasse + L"Texture.sping.NoMipMaps\\TWEL_Ground.bmp"));
    // Quorrin has no autumn files: its scenery stays as summer left it.
    EXPECT_TRUE(FileExists(s.Tree() + L"Quorrin\\Scenery\\TUBR_Aerial.bgl"));
    EXPECT_TRUE(FileExists(s.Tree() + L"Quorrin\\Scenery\\Winter_TUBR_Aerial.off"));
}

TEST(SeasonWindow, WithNoAddonFoundApplyingSaysSoInBothLanguagesAndChangesNothing) {
    Switcher s(L"empty", nullptr, false);
    ASSERT_NE(s.Form(), nullptr);
    ASSERT_TRUE(CreateDirectoryW((s.Tree() + L"Loose").c_str(), nullptr));
    EXPECT_TRUE(s.ListEntries().empty());
    const struct {
        Component flag;
        std::wstring text;
    } cases[] = {
        {Component::Image9,
         L"No add-on was found below the folder\r\n" + s.Tree() + L"\r\nNothing was changed."},
        {Component::Image8, L"Unterhalb des Ordners\r\n" + s.Tree() +
                                L"\r\nwurde kein Addon gefunden. Es wurde nichts ge\u00e4ndert."},
    };
    for (const auto& c : cases) {
        s.Click(c.flag);
        s.ClickAndLeave(Component::Button1);
        const MessageBoxSeen box = s.WaitForMessageBox();
        ASSERT_NE(box.hwnd, nullptr);
        EXPECT_EQ(box.caption, L"Brightmere Turnleaf");
        EXPECT_EQ(box.text, c.text);
        Switcher::Answer(box, IDOK);
        EXPECT_TRUE(
            WaitFor([&] { return IsWindowEnabled(s.Control(Component::Button1)) != FALSE; }, 5));
    }
    // Only the program and the folder made above are there.
    WIN32_FIND_DATAW data;
    const ScopedFindHandle find(FindFirstFileW((s.Tree() + L"*").c_str(), &data));
    ASSERT_TRUE(find);
    std::vector<std::wstring> names;
    do {
        names.emplace_back(data.cFileName);
    } while (FindNextFileW(find.Get(), &data));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L".", L"..", L"Loose", L"season.exe"}));
}

// Sets the user's display scaling (dots per inch; 96 is 100 %) for programs
// started afterwards, and puts the old setting back at the end.
class DisplayScaling {
public:
    explicit DisplayScaling(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_READ | KEY_WRITE, nullptr, key_.Receive(), nullptr);
        DWORD size = sizeof(old_);
        had_ = RegQueryValueExW(key_.Get(), L"LogPixels", nullptr, nullptr,
                                reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS;
        RegSetValueExW(key_.Get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof(dpi));
    }
    ~DisplayScaling() {
        if (had_)
            RegSetValueExW(key_.Get(), L"LogPixels", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&old_), sizeof(old_));
        else
            RegDeleteValueW(key_.Get(), L"LogPixels");
    }

private:
    ScopedRegistryKey key_;
    DWORD old_ = 0;
    bool had_ = false;
};

TEST(SeasonWindow, ScalesItsFixedLayoutAt150Percent) {
    DisplayScaling scaling(144);
    Switcher s(L"scaled");
    ASSERT_NE(s.Form(), nullptr);
    RECT client;
    GetClientRect(s.Form(), &client);
    if (client.right == 787)
        GTEST_SKIP() << "this Wine does not take the scaling setting";
    EXPECT_EQ(client.right, 1181);
    EXPECT_EQ(client.bottom, 807);
    RECT big;
    GetWindowRect(s.Control(Component::Image3), &big);
    MapWindowPoints(nullptr, s.Form(), reinterpret_cast<POINT*>(&big), 2);
    EXPECT_EQ(big.left, 608);
    EXPECT_EQ(big.top, 312);
    EXPECT_EQ(big.right - big.left, 345);
    EXPECT_EQ(s.ListEntries().size(), 7u);
    Sleep(500);
    EXPECT_TRUE(s.SaveScreenshot(DriverFolder() + L"season-window-150.bmp"));
}

// The width of `text` as the driver draws it in the apply button's font (Tahoma
// bold, whatever the system substitutes for it) at each size step the window may
// take.
std::vector<int> BoldWidthsAtSteps(const std::wstring& text, int designHeight) {
    std::vector<int> widths;
    const ScopedGetDc dc(nullptr);
    for (int step = 0; step <= season::kSmallerFontSteps; ++step) {
        const ScopedGdiObject<HFONT> font(CreateFontW(season::FontHeightAtStep(designHeight, step),
                                                      0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET,
                                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                                      DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
        SIZE size{};
        {
            const ScopedSelect selected(dc.Get(), font.Get());
            GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
        }
        widths.push_back(size.cx);
    }
    return widths;
}

// The caption shows whole: its ink is as wide as the text at one of the font
// steps (a cut caption is as wide as the button's inside instead) and keeps clear
// of both edges.
void ExpectWholeCaption(const Switcher& s, Component c, int designHeight) {
    const std::wstring text = s.Text(c);
    const InkColumns ink = DarkColumns(s.Control(c));
    ASSERT_GE(ink.first, 0) << Narrow(text);
    const int inkWidth = ink.last - ink.first + 1;
    std::ostringstream widths;
    bool matches = false;
    for (int w : BoldWidthsAtSteps(text, designHeight)) {
        matches = matches || std::abs(w - inkWidth) <= 4;
        widths << w << " ";
    }
    EXPECT_TRUE(matches) << Narrow(text) << ": " << inkWidth
                         << " px of ink; whole text: " << widths.str();
    EXPECT_GE(ink.first, 4) << Narrow(text) << ": cut at the left";
    EXPECT_LE(ink.last, ink.width - 5) << Narrow(text) << ": cut at the right";
}

TEST(SeasonWindow, TheApplyCaptionShowsWholeInBothLanguagesAt100And150Percent) {
    for (DWORD dpi : {96u, 144u}) {
        DisplayScaling scaling(dpi);
        Switcher s(dpi == 96 ? L"caption" : L"caption-150");
        ASSERT_NE(s.Form(), nullptr);
        RECT client;
        GetClientRect(s.Form(), &client);
        if (dpi == 144 && client.right == 787)
            continue; // this Wine does not take the scaling setting
        // Focus on the close button: no focus frame on the apply button.
        PostMessageW(s.Control(Component::Button1), WM_KEYDOWN, VK_TAB, 0);
        ASSERT_TRUE(
            WaitFor([&] { return s.FocusedControl() == s.Control(Component::BitBtn2); }, 5));
        for (Component flag : {Component::Image9, Component::Image8}) {
            s.Click(flag);
            Sleep(300);
            ExpectWholeCaption(s, Component::Button1, -MulDiv(8, static_cast<int>(dpi), 72));
        }
    }
}

TEST(SeasonWindow, TheBackgroundDragsTheWindowAndALabelDoesNot) {
    Switcher s(L"drag");
    ASSERT_NE(s.Form(), nullptr);
    RECT before;
    GetWindowRect(s.Form(), &before);
    // Over a label nothing moves.
    DragWithPointer(POINT{before.left + 300, before.top + 177}, -40, -30);
    RECT same;
    GetWindowRect(s.Form(), &same);
    EXPECT_EQ(same.left, before.left);
    EXPECT_EQ(same.top, before.top);
    // Over the title band of the background the window follows the pointer.
    const RECT after = RectAfterDrag(s.Form(), POINT{before.left + 400, before.top + 60}, -40, -30);
    EXPECT_LT(after.left, before.left);
    EXPECT_LT(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST(SeasonWindow, CloseButtonAndCloseIconEndTheProgram) {
    for (Component close : {Component::BitBtn2, Component::Image2}) {
        Switcher s(close == Component::BitBtn2 ? L"close-button" : L"close-icon");
        ASSERT_NE(s.Form(), nullptr);
        s.Click(Component::Image10); // also while the help panel is open
        s.Click(close);
        DWORD code = 99;
        ASSERT_TRUE(s.Exited(&code));
        EXPECT_EQ(code, 0u);
    }
}

// A program that does nothing for two minutes, started under a name of choice: a
// stand-in for the simulator's process.
class NamedProgram {
public:
    explicit NamedProgram(const std::wstring& path) {
        CreateDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
        CopyFileW((DriverFolder() + L"data\\idle.exe").c_str(), path.c_str(), FALSE);
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        std::wstring command = L"\"" + path + L"\"";
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &started))
            return;
        process_.Reset(started.hProcess);
        thread_.Reset(started.hThread);
    }
    ~NamedProgram() { End(); }
    bool Running() const {
        return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
    }
    void End() {
        if (!process_)
            return;
        TerminateProcess(process_.Get(), 0);
        WaitForSingleObject(process_.Get(), 5000);
        process_.Reset();
        thread_.Reset();
    }

private:
    ScopedKernelHandle process_;
    ScopedKernelHandle thread_;
};

bool StartsWith(const std::wstring& text, const std::wstring& start) {
    return text.compare(0, start.size(), start) == 0;
}

TEST(SeasonWindow, ARunningSimulatorMustBeClosedFirstRetryChecksAgainCancelChangesNothing) {
    Switcher s(L"simulator");
    ASSERT_NE(s.Form(), nullptr);
    NamedProgram simulator(DriverFolder() + L"simulator\\fsx.exe");
    ASSERT_TRUE(simulator.Running());
    StepTo(s, 2);
    const std::string before = s.File(L"Alpha Airfield\\Texture\\treesSU.bmp");

    s.ClickAndLeave(Component::Button1);
    MessageBoxSeen box = s.WaitForMessageBox();
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"Flight simulator running");
    EXPECT_TRUE(StartsWith(box.text, L"The flight simulator (FSX) is still running."))
        << Narrow(box.text);
    EXPECT_NE(box.text.find(L"Please close the simulator, then choose Retry."), std::wstring::npos);
    EXPECT_NE(GetDlgItem(box.hwnd, IDRETRY), nullptr);
    EXPECT_NE(GetDlgItem(box.hwnd, IDCANCEL), nullptr);
    EXPECT_EQ(GetWindow(box.hwnd, GW_OWNER), s.Form());

    // Still running: Retry asks again; Cancel leaves every file as it was.
    Switcher::Answer(box, IDRETRY);
    box = s.WaitForMessageBox();
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"Flight simulator running");
    Switcher::Answer(box, IDCANCEL);
    Sleep(500);
    EXPECT_EQ(FindProcessWindow(s.ProcessId(), L"#32770"), nullptr) << "no further question";
    EXPECT_EQ(s.File(L"Alpha Airfield\\Texture\\treesSU.bmp"), before);
    EXPECT_TRUE(IsWindowEnabled(s.Control(Component::Button1)));

    // In German; the simulator ends while the question is open, and Retry switches.
    s.Click(Component::Image8);
    s.ClickAndLeave(Component::Button1);
    box = s.WaitForMessageBox();
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"Flugsimulator l\u00e4uft");
    EXPECT_TRUE(StartsWith(box.text, L"Der Flugsimulator (FSX) l\u00e4uft noch."));
    simulator.End();
    Switcher::Answer(box, IDRETRY);
    const MessageBoxSeen mipMaps = s.WaitForMessageBox();
    ASSERT_NE(mipMaps.hwnd, nullptr);
    EXPECT_EQ(mipMaps.caption, L"Bitte w\u00e4hlen Sie ...");
    Switcher::Answer(mipMaps, IDNO);
    const MessageBoxSeen done = s.WaitForMessageBox();
    ASSERT_NE(done.hwnd, nullptr);
    EXPECT_EQ(done.text, L"\u00c4nderung der TEXTUREN durchgef\u00fchrt!");
    Switcher::Answer(done, IDOK);
    EXPECT_EQ(s.File(L"Alpha Airfield\\Texture\\treesSU.bmp"),
              s.File(L"Alpha Airfield\\Texture\\Default\\treeshw.bmp"));
}

TEST(SeasonWindow, ASecondStartOnTheSameFolderBringsTheFirstWindowToTheFrontAndEnds) {
    Switcher first(L"instance");
    ASSERT_NE(first.Form(), nullptr);
    // Another folder has a switcher of its own, which takes the front.
    Switcher other(L"instance-other");
    ASSERT_NE(other.Form(), nullptr);
    EXPECT_FALSE(other.Ended());
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == other.Form(); }, 5));

    // The same folder, spelt in capitals.
    std::wstring shouted = first.Tree() + L"season.exe";
    CharUpperBuffW(shouted.data(), static_cast<DWORD>(shouted.size()));
    {
        Switcher second(Switcher::SecondStart{}, shouted);
        DWORD code = 99;
        ASSERT_TRUE(second.Exited(&code));
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(second.Form(), nullptr) << "no window of its own";
    }
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == first.Form(); }, 5));
    EXPECT_FALSE(other.Ended());

    // A minimised window comes back.
    ShowWindow(first.Form(), SW_MINIMIZE);
    EXPECT_TRUE(WaitFor([&] { return IsIconic(first.Form()) != FALSE; }, 5));
    {
        Switcher third(Switcher::SecondStart{}, first.Tree() + L"season.exe");
        DWORD code = 99;
        ASSERT_TRUE(third.Exited(&code));
    }
    EXPECT_TRUE(WaitFor([&] { return IsIconic(first.Form()) == FALSE; }, 5));

    // Once the first has ended, the folder is free again.
    first.Click(Component::BitBtn2);
    DWORD code = 99;
    ASSERT_TRUE(first.Exited(&code));
    {
        Switcher fourth(Switcher::SecondStart{}, first.Tree() + L"season.exe");
        EXPECT_NE(fourth.Form(), nullptr);
        EXPECT_FALSE(fourth.Ended());
    }

    // Another program of the session holds a mutex of the folder's name and has no
    // window: the switcher opens all the same.
    const std::string name = season::InstanceMutexName(Narrow(first.Tree()));
    const ScopedKernelHandle squatter(
        CreateMutexW(nullptr, TRUE, std::wstring(name.begin(), name.end()).c_str()));
    ASSERT_TRUE(squatter);
    {
        Switcher fifth(Switcher::SecondStart{}, first.Tree() + L"season.exe");
        EXPECT_NE(fifth.Form(), nullptr) << "the window opens despite the taken mark";
        EXPECT_FALSE(fifth.Ended());
        // The window it opened is found by the next start, which ends.
        Switcher sixth(Switcher::SecondStart{}, first.Tree() + L"season.exe");
        ASSERT_TRUE(sixth.Exited(&code));
        EXPECT_EQ(sixth.Form(), nullptr);
    }
}

// A large add-on tree: `count` generic add-ons whose summer and winter textures are
// hard links of one file of `megabytes` MiB, so that only the switch's copies take
// room and time. Their active textures are missing until a switch copies them.
constexpr int kLargeCount = 150;
constexpr int kLargeMegabytes = 8;

std::wstring LargeName(int i) {
    return L"Large " + std::to_wstring(1000 + i);
}

void LayOutLargeTree(const std::wstring& tree) {
    const std::wstring big = tree.substr(0, tree.size() - 1) + L"-texture.bmp";
    {
        std::ofstream out(big.c_str(), std::ios::binary);
        const std::string block(1 << 20, 'T');
        for (int i = 0; i < kLargeMegabytes; ++i)
            out << block;
    }
    for (int i = 0; i < kLargeCount; ++i) {
        const std::wstring addon = tree + LargeName(i);
        CreateDirectoryW(addon.c_str(), nullptr);
        CreateDirectoryW((addon + L"\\Texture").c_str(), nullptr);
        CreateDirectoryW((addon + L"\\Texture\\Default").c_str(), nullptr);
        for (const wchar_t* name : {L"treesSU.bmp", L"treeshw.bmp"}) {
            const std::wstring link = addon + L"\\Texture\\Default\\" + name;
            if (!CreateHardLinkW(link.c_str(), big.c_str(), nullptr))
                CopyFileW(big.c_str(), link.c_str(), FALSE);
        }
    }
}

// How many large add-ons carry the whole winter texture; a partly written one
// counts in `partial`.
int LargeSwitched(const std::wstring& tree, int* partial) {
    int whole = 0;
    *partial = 0;
    for (int i = 0; i < kLargeCount; ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW((tree + LargeName(i) + L"\\Texture\\treesSU.bmp").c_str(),
                                  GetFileExInfoStandard, &data))
            continue;
        if (data.nFileSizeLow == static_cast<DWORD>(kLargeMegabytes) << 20)
            ++whole;
        else
            ++*partial;
    }
    return whole;
}

void RemoveLargeTree(const std::wstring& tree) {
    for (int i = 0; i < kLargeCount; ++i) {
        const std::wstring texture = tree + LargeName(i) + L"\\Texture\\";
        DeleteFileW((texture + L"treesSU.bmp").c_str());
        DeleteFileW((texture + L"Default\\treesSU.bmp").c_str());
        DeleteFileW((texture + L"Default\\treeshw.bmp").c_str());
    }
    DeleteFileW((tree.substr(0, tree.size() - 1) + L"-texture.bmp").c_str());
}

// "37 %" gives 37; anything else -1.
int PercentOf(const std::wstring& caption) {
    if (caption.size() < 3 || caption.compare(caption.size() - 2, 2, L" %") != 0)
        return -1;
    const std::wstring digits = caption.substr(0, caption.size() - 2);
    if (digits.empty() || digits.size() > 3 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        return -1;
    return std::stoi(digits);
}

// Starts the winter switch, answering the MipMap question with No.
void StartWinterSwitch(const Switcher& s) {
    StepTo(s, 2);
    s.ClickAndLeave(Component::Button1);
    const MessageBoxSeen question = s.WaitForMessageBox();
    ASSERT_NE(question.hwnd, nullptr);
    ASSERT_EQ(question.caption, L"Please select now...");
    Switcher::Answer(question, IDNO);
}

TEST(SeasonWindow, TheWindowAnswersMovesAndShowsProgressWhileALargeSwitchRuns) {
    Switcher s(L"large", LayOutLargeTree);
    ASSERT_NE(s.Form(), nullptr);
    StartWinterSwitch(s);

    std::vector<int> percents;
    int unanswered = 0;
    DWORD slowest = 0;
    bool controlsDisabled = true;
    bool moved = false;
    HWND result = nullptr;
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(4);
    while (std::chrono::steady_clock::now() < end) {
        if ((result = FindProcessWindow(s.ProcessId(), L"#32770")) != nullptr)
            break;
        const DWORD start = GetTickCount();
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(s.Form(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer))
            ++unanswered;
        slowest = std::max(slowest, GetTickCount() - start);
        const int percent = PercentOf(s.Text(Component::Button1));
        if (percent >= 0) {
            if (percents.empty() || percents.back() != percent)
                percents.push_back(percent);
            for (Component c : {Component::Button1, Component::Image4, Component::Image5,
                                Component::Image8, Component::Image9})
                controlsDisabled = controlsDisabled && !IsWindowEnabled(s.Control(c));
            if (!moved && percent > 0) {
                // The window moves while the switch runs.
                RECT before;
                GetWindowRect(s.Form(), &before);
                SetWindowPos(s.Form(), nullptr, before.left + 20, before.top + 10, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                RECT after;
                GetWindowRect(s.Form(), &after);
                moved = after.left == before.left + 20 && after.top == before.top + 10;
                EXPECT_TRUE(moved);
            }
        }
        Sleep(30);
    }
    ASSERT_NE(result, nullptr) << "no result within four minutes";
    const MessageBoxSeen done = ReadMessageBox(result);
    EXPECT_EQ(done.text, L"Change texture settings successful!");
    Switcher::Answer(done, IDOK);

    EXPECT_EQ(unanswered, 0) << "the window stopped answering";
    EXPECT_LT(slowest, 1000u) << "ms for one answer";
    ASSERT_GE(percents.size(), 3u) << "progress shown on the apply button";
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_LE(percents.back(), 100);
    EXPECT_TRUE(controlsDisabled) << "arrows, flags and apply disabled during the run";
    EXPECT_TRUE(moved);
    std::printf("[ figures  ] %zu progress steps shown, slowest answer %lu ms\n", percents.size(),
                static_cast<unsigned long>(slowest));

    EXPECT_TRUE(
        WaitFor([&] { return IsWindowEnabled(s.Control(Component::Button1)) != FALSE; }, 5));
    EXPECT_EQ(s.Text(Component::Button1), L"Apply new textures for all products");
    EXPECT_TRUE(IsWindowEnabled(s.Control(Component::Image4)));
    int partial = 0;
    EXPECT_EQ(LargeSwitched(s.Tree(), &partial), kLargeCount);
    EXPECT_EQ(partial, 0);
    RemoveLargeTree(s.Tree());
}

TEST(SeasonWindow, ClosingTheWindowDuringASwitchFinishesTheFileInHandStopsAndReports) {
    Switcher s(L"large-close", LayOutLargeTree);
    ASSERT_NE(s.Form(), nullptr);
    StartWinterSwitch(s);
    ASSERT_TRUE(WaitFor([&] { return PercentOf(s.Text(Component::Button1)) > 0; }, 60))
        << "no progress shown";
    // The close icon, as a user closes the window.
    s.Click(Component::Image2);

    const MessageBoxSeen stopped = s.WaitForMessageBox();
    ASSERT_NE(stopped.hwnd, nullptr);
    const std::wstring start = L"The switch was stopped when the window was closed: ";
    ASSERT_TRUE(StartsWith(stopped.text, start)) << Narrow(stopped.text);
    const int done = std::stoi(stopped.text.substr(start.size()));
    EXPECT_NE(stopped.text.find(L"Apply again to complete the season."), std::wstring::npos);
    Switcher::Answer(stopped, IDOK);
    DWORD code = 99;
    ASSERT_TRUE(s.Exited(&code)) << "the window closes after the report";
    EXPECT_EQ(code, 0u);

    int partial = 0;
    const int whole = LargeSwitched(s.Tree(), &partial);
    EXPECT_EQ(partial, 0) << "the file in hand is finished";
    EXPECT_GT(whole, 0);
    EXPECT_LT(whole, kLargeCount) << "stopped before the end";
    EXPECT_LE(whole, done) << "the report counts every change made";
    RemoveLargeTree(s.Tree());
}

// A folder that the program may not write. Wine, run as root, writes wherever
// Linux lets root write, whatever the folder's attributes or rights say; only the
// Linux "immutable" attribute stops it. The driver sets it with chattr, which
// Wine starts from its path below "\\?\unix\". Undone when the guard ends.
class ProtectedFolder {
public:
    explicit ProtectedFolder(const std::wstring& folder) : folder_(folder) { on_ = Set(true); }
    ~ProtectedFolder() { Release(); }
    bool On() const { return on_; }
    void Release() {
        if (on_)
            Set(false);
        on_ = false;
    }

private:
    bool Set(bool immutable) const {
        using UnixName = char*(CDECL*)(LPCWSTR);
        const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (!unixName)
            return false;
        char* path = unixName(folder_.c_str());
        if (!path)
            return false;
        std::wstring command =
            std::wstring(L"\\\\?\\unix\\usr\\bin\\chattr ") + (immutable ? L"+i " : L"-i ");
        for (const char* c = path; *c; ++c)
            command.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
        HeapFree(GetProcessHeap(), 0, path);
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(L"\\\\?\\unix\\usr\\bin\\chattr", command.data(), nullptr, nullptr,
                            FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        const ScopedKernelHandle process(pi.hProcess);
        const ScopedKernelHandle thread(pi.hThread);
        // Wine does not wait for a Linux program's end: whether it took shows in
        // whether a file can be made in the folder.
        return WaitFor(
            [&] {
                const std::wstring probe = folder_ + L"\\probe.tmp";
                const ScopedFileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr,
                                                        CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE,
                                                        nullptr));
                return file.Valid() != immutable;
            },
            10);
    }

    std::wstring folder_;
    bool on_ = false;
};

// A message box of a process other than `exceptProcess` with this caption.
HWND OtherProcessBox(DWORD exceptProcess, const std::wstring& caption) {
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, L"#32770", nullptr))) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid != exceptProcess && IsWindowVisible(h) && TextOf(h) == caption)
            return h;
    }
    return nullptr;
}

// Pixels of a control, as the screen shows it, with a clear colour (not grey):
// the shield's blue and yellow.
int ColouredPixels(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    const ScopedGetDc screen(nullptr);
    int coloured = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = GetPixel(screen.Get(), x, y);
            const int hi = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
            const int lo = std::min({GetRValue(c), GetGValue(c), GetBValue(c)});
            coloured += c != CLR_INVALID && hi - lo > 60;
        }
    }
    return coloured;
}

TEST(SeasonWindow, AProtectedFolderShowsTheShieldAndNoToTheNewStartChangesNothing) {
    std::unique_ptr<ProtectedFolder> lock;
    Switcher s(L"protected", [&lock](const std::wstring& tree) {
        lock = std::make_unique<ProtectedFolder>(tree.substr(0, tree.size() - 1));
    });
    ASSERT_TRUE(lock && lock->On()) << "chattr +i did not protect the folder";
    ASSERT_NE(s.Form(), nullptr);
    Sleep(500);
    EXPECT_GT(ColouredPixels(s.Control(Component::Button1)), 20) << "no shield on the button";
    StepTo(s, 2);
    const std::string before = s.File(L"Alpha Airfield\\Texture\\treesSU.bmp");

    // No: nothing changes.
    s.ClickAndLeave(Component::Button1);
    MessageBoxSeen ask = s.WaitForMessageBox();
    ASSERT_NE(ask.hwnd, nullptr);
    EXPECT_EQ(ask.caption, L"Administrator rights needed");
    EXPECT_TRUE(StartsWith(ask.text, L"The switcher may not change files in the folder"))
        << Narrow(ask.text);
    EXPECT_NE(ask.text.find(s.Tree()), std::wstring::npos) << "names the folder";
    Switcher::Answer(ask, IDNO);
    EXPECT_TRUE(
        WaitFor([&] { return IsWindowEnabled(s.Control(Component::Button1)) != FALSE; }, 5));
    Sleep(300);
    EXPECT_EQ(FindProcessWindow(s.ProcessId(), L"#32770"), nullptr);
    EXPECT_EQ(s.File(L"Alpha Airfield\\Texture\\treesSU.bmp"), before);
}

// The new instance runs season.exe's command-line mode (/season= /lang= /mipmaps=).
TEST(SeasonWindow, AProtectedFolderSwitchesThroughANewElevatedStartOnYes) {
    std::unique_ptr<ProtectedFolder> lock;
    Switcher s(L"protected-yes", [&lock](const std::wstring& tree) {
        lock = std::make_unique<ProtectedFolder>(tree.substr(0, tree.size() - 1));
    });
    ASSERT_TRUE(lock && lock->On()) << "chattr +i did not protect the folder";
    ASSERT_NE(s.Form(), nullptr);
    StepTo(s, 2);
    MessageBoxSeen ask;

    // Yes: the MipMap question, then a new instance switches; here the
    // "administrator" may write, so the protection goes before it starts.
    s.ClickAndLeave(Component::Button1);
    ask = s.WaitForMessageBox();
    ASSERT_NE(ask.hwnd, nullptr);
    EXPECT_EQ(ask.caption, L"Administrator rights needed");
    Switcher::Answer(ask, IDYES);
    const MessageBoxSeen mipMaps = s.WaitForMessageBox();
    ASSERT_NE(mipMaps.hwnd, nullptr);
    EXPECT_EQ(mipMaps.caption, L"Please select now...");
    lock->Release();
    Switcher::Answer(mipMaps, IDYES);

    HWND result = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            return (result = OtherProcessBox(s.ProcessId(), L"Brightmere Turnleaf")) != nullptr;
        },
        60))
        << "the new instance showed no result";
    EXPECT_EQ(ReadMessageBox(result).text, L"Change texture settings successful!");
    EXPECT_FALSE(IsWindowEnabled(s.Control(Component::Button1))) << "waits for the new instance";
    AnswerMessageBox(ReadMessageBox(result), IDOK);
    EXPECT_TRUE(
        WaitFor([&] { return IsWindowEnabled(s.Control(Component::Button1)) != FALSE; }, 20));

    const std::wstring norvasse = L"Norvasse X\\Norvasse X - priority 2\\";
    EXPECT_EQ(s.File(L"Alpha Airfield\\Texture\\treesSU.bmp"),
              s.File(L"Alpha Airfield\\Texture\\Default\\treeshw.bmp"));
    EXPECT_EQ(s.File(norvasse + L"Texture\\TWEL_Base.bmp"),
              s.File(norvasse + L"Texture.MipMaps\\TWEL_Base.bmp"));
    Sleep(500);
    EXPECT_LT(ColouredPixels(s.Control(Component::Button1)), 20) << "writable now: no shield";
}

// Under Wine the window needs an X display; without one every test would only wait
// for a window that never comes. Such a run reports "skipped" (exit code 77).
int main(int argc, char** argv) {
    if (window_driver::NoDisplayUnderWine())
        return 77;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
