// The window binding shared by the programs' windows, on real windows: a table of
// records becomes controls of the right class, place, parent, order and font; every
// message of a main window reaches its object; hooks see a control's messages
// first; tooltips carry UTF-8 texts; the loop dispatches until WM_QUIT.
#include "gui/window_binding.h"
#include "window_driver.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace gui = platform::gui;
using gui::ControlKind;

class RecordingTarget final : public gui::MessageTarget {
public:
    HWND Window() const { return hwnd_; }
    void OnCommand(int id, int code) override { commands.emplace_back(id, code); }
    LRESULT OnMessage(HWND window, UINT message, WPARAM wp, LPARAM lp) override {
        if (message == WM_NCCREATE)
            created = window;
        if (message >= WM_APP) {
            seen.push_back(message);
            return static_cast<LRESULT>(wp + lp);
        }
        return DefWindowProcW(window, message, wp, lp);
    }
    HWND created = nullptr;
    std::vector<UINT> seen;
    std::vector<std::pair<int, int>> commands;
};

struct Window {
    Window() {
        window = gui::CreateMainWindow(GetModuleHandleW(nullptr), {L"BindingTestWindow"},
                                       L"binding", RECT{10, 10, 610, 410}, target);
    }
    ~Window() { DestroyWindow(window); }
    RecordingTarget target;
    HWND window = nullptr;
};

std::wstring ClassOf(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return name;
}

TEST(WindowBinding, MakesEachRecordsControlWithItsClassPlaceParentOrderAndFont) {
    Window w;
    ASSERT_NE(w.window, nullptr);
    EXPECT_EQ(w.target.created, w.window) << "the object knows its window from WM_NCCREATE on";
    EXPECT_EQ(w.target.Window(), w.window);
    gui::RegisterWindowClass(GetModuleHandleW(nullptr), {L"BindingTestPanel", DefWindowProcW});
    const gui::ControlRecord records[] = {
        {11, ControlKind::Button, 10, 20, 100, 30, WS_VISIBLE | BS_PUSHBUTTON, L"OK"},
        {12, ControlKind::Panel, 200, 100, 300, 200, WS_VISIBLE, L""},
        {13, ControlKind::Label, 4, 6, 50, 13, WS_VISIBLE, L"Im Feld", 12},
        {14, ControlKind::ListBox, 20, 60, 80, 90, WS_VISIBLE | LBS_NOINTEGRALHEIGHT, L""},
        {15, ControlKind::Progress, 20, 160, 100, 16, 0, L""},
        {16, ControlKind::Label, 0, 0, 10, 10, WS_VISIBLE, L"no panel", 99},
        {17, ControlKind::Picture, 0, 0, 600, 400, WS_VISIBLE, L"Background"},
    };
    const struct {
        const wchar_t* className; // empty: not made
        DWORD styleBits;          // the kind's own
        bool inPanel;
        bool keepsFont; // the test's panel class keeps none
    } expected[] = {
        {L"Button", 0, false, true},
        {L"BindingTestPanel", 0, false, false},
        {L"Static", SS_NOTIFY | SS_NOPREFIX, true, true},
        {L"ListBox", 0, false, true},
        {L"msctls_progress32", 0, false, true},
        {L"", 0, false, false},
        {L"Static", SS_OWNERDRAW | SS_NOTIFY, false, true},
    };
    const auto at150 = [](int pixels) {
        return (pixels * 3 + 1) / 2;
    }; // rounded as MulDiv
    const gui::Dpi dpi{144};
    const auto buttonFont = gui::MakeFont(L"Arial", dpi.FontHeight(8), true);
    const auto otherFont = gui::MakeFont(L"Tahoma", dpi.FontHeight(8));
    const std::vector<HWND> made = gui::CreateControls(
        w.window, {records, L"BindingTestPanel"}, dpi, [&](const gui::ControlRecord& r) {
            return r.kind == ControlKind::Button ? buttonFont.Get() : otherFont.Get();
        });
    ASSERT_EQ(made.size(), std::size(records));
    for (size_t i = 0; i < made.size(); ++i) {
        const gui::ControlRecord& r = records[i];
        SCOPED_TRACE(r.id);
        if (!*expected[i].className) {
            EXPECT_EQ(made[i], nullptr) << "a control whose panel is missing is not made";
            continue;
        }
        ASSERT_NE(made[i], nullptr);
        EXPECT_EQ(_wcsicmp(ClassOf(made[i]).c_str(), expected[i].className), 0);
        EXPECT_EQ(GetDlgCtrlID(made[i]), r.id);
        EXPECT_EQ(GetParent(made[i]), expected[i].inPanel ? made[1] : w.window);
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(made[i], GWL_STYLE));
        const DWORD wanted = WS_CHILD | WS_CLIPSIBLINGS | r.style | expected[i].styleBits;
        EXPECT_EQ(style & wanted, wanted);
        RECT box;
        GetWindowRect(made[i], &box);
        MapWindowPoints(nullptr, GetParent(made[i]), reinterpret_cast<POINT*>(&box), 2);
        EXPECT_EQ(box.left, at150(r.left));
        EXPECT_EQ(box.top, at150(r.top));
        EXPECT_EQ(box.right - box.left, at150(r.width));
        EXPECT_EQ(box.bottom - box.top, at150(r.height));
        if (expected[i].keepsFont) {
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(made[i], WM_GETFONT, 0, 0)),
                      r.kind == ControlKind::Button ? buttonFont.Get() : otherFont.Get());
        }
    }
    // The window's own children lie in the table's order from the top.
    std::vector<HWND> order;
    for (HWND h = GetWindow(w.window, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        order.push_back(h);
    EXPECT_EQ(order, (std::vector<HWND>{made[0], made[1], made[3], made[4], made[6]}));

    LOGFONTW font{};
    GetObjectW(buttonFont.Get(), sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -16) << "8 points at 144 DPI";
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_STREQ(font.lfFaceName, L"Arial");
}

TEST(WindowBinding, HooksSeeTheControlsMessagesFirstAndGoWithIt) {
    Window w;
    HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_NOTIFY, 0, 0, 50, 20, w.window,
                                 nullptr, nullptr, nullptr);
    gui::HookControl(label, [](HWND c, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message == WM_APP + 1) {
            result = 42;
            return true;
        }
        if (message == WM_APP + 2) {
            DestroyWindow(c); // as a click that closes the window
            return true;
        }
        return false;
    });
    gui::KeepPointerWhilePressed(label);
    EXPECT_EQ(SendMessageW(label, WM_APP + 1, 0, 0), 42);
    gui::SetText(label, "F\xC3\xBC\x6E\x66");
    EXPECT_EQ(gui::WideTextOf(label), L"F\u00FCnf") << "unhandled messages reach the control";
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(GetCapture(), label) << "a press keeps the pointer";
    SendMessageW(label, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageW(label, WM_APP + 2, 0, 0);
    EXPECT_FALSE(IsWindow(label));
}

TEST(WindowBinding, TooltipsCarryTheirTextsForControlsAndAreas) {
    Window w;
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 50, 20, w.window, nullptr,
                                  nullptr, nullptr);
    gui::Tooltips tips;
    tips.Create(w.window, 400);
    tips.AddForControl(button, "Schlie\xC3\x9F"
                               "en");
    tips.AddForArea(w.window, 7, RECT{100, 100, 150, 120}, "");
    const auto textOf = [&](HWND owner, UINT_PTR id) {
        wchar_t text[80] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = owner;
        tool.uId = id;
        tool.lpszText = text;
        SendMessageW(tips.Handle(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        return std::wstring(text);
    };
    const UINT_PTR buttonId = reinterpret_cast<UINT_PTR>(button);
    EXPECT_EQ(SendMessageW(tips.Handle(), TTM_GETTOOLCOUNT, 0, 0), 2);
    EXPECT_EQ(textOf(w.window, buttonId), L"Schlie\u00DFen");
    tips.SetControlText(button, "\xE2\x9C\x93 done");
    tips.SetAreaText(w.window, 7, "Weiter \xE2\x80\xBA");
    EXPECT_EQ(textOf(w.window, buttonId), L"\u2713 done");
    EXPECT_EQ(textOf(w.window, 7), L"Weiter \u203A");
}

TEST(WindowBinding, TheLoopDispatchesUntilQuitCommandsSplit) {
    Window w;
    PostMessageW(w.window, WM_APP + 3, 0, 0);
    PostMessageW(w.window, WM_COMMAND, MAKEWPARAM(1007, LBN_DBLCLK), 0);
    PostQuitMessage(0);
    gui::RunMessageLoop(w.window);
    EXPECT_EQ(w.target.seen, std::vector<UINT>{WM_APP + 3});
    EXPECT_EQ(w.target.commands, (std::vector<std::pair<int, int>>{{1007, LBN_DBLCLK}}));
    EXPECT_EQ(SendMessageW(w.window, WM_APP + 4, 2, 3), 5);
}

} // namespace

// Without an X display under Wine the tests are skipped (77).
int main(int argc, char** argv) {
    if (window_driver::NoDisplayUnderWine())
        return 77;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
