#include "form2_win32.h"

#include "resources.h"

#include "platform/dialogs.h"
#include "platform/files.h"

namespace sweepstone::win32 {
namespace {

namespace gui = platform::gui;
using gui::ControlKind;

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimerInterval = 1000;
constexpr COLORREF kLabelColour = RGB(255, 255, 255);

// In z-order from the top, which is also the tab order: the two buttons and the
// progress bar above the labels (word-wrapping text), the background picture below
// everything.
constexpr gui::ControlRecord kLayout[] = {
    {ControlId(Component::BitBtn1), ControlKind::Button, 437, 463, 113, 25,
     WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_DEFPUSHBUTTON, L"Next >"},
    {ControlId(Component::BitBtn2), ControlKind::Button, 557, 463, 113, 25,
     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"Cancel"},
    {ControlId(Component::ProgressBar1), ControlKind::Progress, 200, 267, 449, 16, 0, L""},
    {ControlId(Component::Label_Message), ControlKind::Label, 197, 85, 476, 44,
     WS_VISIBLE | SS_LEFT, L""},
    {ControlId(Component::StatusBar1), ControlKind::Label, 265, 171, 3, 13, WS_VISIBLE | SS_LEFT,
     L""},
    {ControlId(Component::Label_Uninstall), ControlKind::Label, 200, 181, 412, 44,
     WS_VISIBLE | SS_LEFT, L""},
    {ControlId(Component::Label_status), ControlKind::Label, 200, 288, 448, 33, SS_LEFT, L""},
    {ControlId(Component::Image_background), ControlKind::Picture, 0, 0, kFormWidth, kFormHeight,
     WS_VISIBLE, L""},
};

Component ComponentOf(int id) {
    return static_cast<Component>(id - ControlId(Component::Image_background));
}

} // namespace

Form2::Form2(HINSTANCE instance, const Arguments& arguments)
    : instance_(instance), silent_(arguments.mode == RunMode::Silent),
      form_(*this, platform::ProgramPath(), SelfDeleteOperations::Real(),
            RemovalSafety::ForThisSystem(), arguments) {}

Form2::~Form2() {
    // The window goes first; the fonts, brushes and icons it used go with the members.
    if (hwnd_)
        DestroyWindow(hwnd_);
}

bool Form2::Create() {
    dpi_ = gui::Dpi::OfScreen();
    background_ = gui::Picture::FromResource(IDR_BACKGROUND);
    // Arial 13 pixels for the labels, MS Sans Serif 11 pixels for the buttons.
    labelFont_ = gui::MakeFont(L"Arial", -Scale(13));
    buttonFont_ = gui::MakeFont(L"MS Sans Serif", -Scale(11));
    icons_ = gui::LoadProgramIcons(instance_, IDI_SWEEPSTONE);

    // Placed in the screen's centre once its size is known.
    const gui::WindowClass form{kFormClassName, gui::TargetWindowProc, icons_.big.Get(),
                                icons_.little.Get(),
                                static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))};
    if (!gui::CreateMainWindow(instance_, form, kFormCaption,
                               RECT{0, 0, Scale(kFormWidth), Scale(kFormHeight)}, *this))
        return false;
    CreateControls();
    MakeBackgroundBrush();

    form_.FormShow(); // before the window is first painted, as on first show
    FitToControls();
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    SetFocus(IsWindowEnabled(Control(Component::BitBtn1)) ? Control(Component::BitBtn1)
                                                          : Control(Component::BitBtn2));
    if (silent_)
        form_.StartSilently();
    return true;
}

void Form2::CreateControls() {
    const std::vector<HWND> made =
        gui::CreateControls(hwnd_, gui::ControlTable{kLayout}, dpi_, [this](const auto& record) {
            return record.kind == ControlKind::Button ? buttonFont_.Get() : labelFont_.Get();
        });
    for (size_t i = 0; i < made.size(); ++i)
        controls_[static_cast<size_t>(ComponentOf(kLayout[i].id))] = made[i];
    gui::SetText(Control(Component::Label_Message), kWelcomeText);
    gui::SetText(Control(Component::Label_Uninstall), kRemoveAllText);
    SendMessageW(Control(Component::ProgressBar1), PBM_SETRANGE32, 0, 100);
    // A move of the pointer with the button held on the bare background moves the
    // window; a press on a label never does.
    gui::OnBackgroundPointerMove(Control(Component::Image_background), [this](bool buttonHeld) {
        form_.Image_backgroundMouseMove(buttonHeld);
    });
    for (Component c : {Component::Label_Message, Component::StatusBar1, Component::Label_Uninstall,
                        Component::Label_status})
        gui::KeepPointerWhilePressed(Control(c));

    // Tooltips on the two buttons; their texts come from FormShow.
    tooltips_.Create(hwnd_, Scale(400));
    // Each button is one tool while enabled. A disabled button takes no pointer
    // messages: they go to the background picture beneath it, where the button's
    // box is a second tool with the same text, so "Next >" shows its tip also while
    // it is disabled. The picture lies at the window's origin.
    for (Component c : {Component::BitBtn1, Component::BitBtn2}) {
        tooltips_.AddForControl(Control(c), "");
        HWND background = Control(Component::Image_background);
        RECT box;
        GetWindowRect(Control(c), &box);
        MapWindowPoints(nullptr, background, reinterpret_cast<POINT*>(&box), 2);
        tooltips_.AddForArea(background, static_cast<UINT_PTR>(ControlId(c)), box, "");
    }
}

Component Form2::Of(Label label) {
    switch (label) {
    case Label::Message:
        return Component::Label_Message;
    case Label::Uninstall:
        return Component::Label_Uninstall;
    case Label::Status:
        break;
    }
    return Component::Label_status;
}

Component Form2::Of(Button button) {
    return button == Button::Next ? Component::BitBtn1 : Component::BitBtn2;
}

// --- Window operations ------------------------------------------------------------

bool Form2::LoadBackground(const std::string& file) {
    platform::gui::Picture picture = platform::gui::Picture::FromFile(file);
    if (!picture.Loaded())
        return false;
    background_ = std::move(picture);
    // The picture control takes the picture's size; the window then holds it.
    SetWindowPos(Control(Component::Image_background), nullptr, 0, 0, Scale(background_.Width()),
                 Scale(background_.Height()), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MakeBackgroundBrush();
    FitToControls();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return true;
}

void Form2::SetLabelText(Label label, const std::string& text) {
    HWND h = Control(Of(label));
    gui::SetText(h, text);
    // The removal keeps the event loop waiting: draw the new text now.
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
}

void Form2::ShowLabel(Label label, bool visible) {
    HWND h = Control(Of(label));
    ShowWindow(h, visible ? SW_SHOW : SW_HIDE);
    if (!visible) {
        // What lay beneath the label shows again at once.
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        RedrawWindow(hwnd_, &r, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } else {
        UpdateWindow(h);
    }
}

void Form2::SetButtonCaption(Button button, const std::string& text) {
    HWND h = Control(Of(button));
    gui::SetText(h, text);
    UpdateWindow(h);
}

void Form2::EnableButton(Button button, bool enabled) {
    HWND h = Control(Of(button));
    if (!enabled && GetFocus() == h)
        SetFocus(Control(Component::BitBtn2));
    EnableWindow(h, enabled ? TRUE : FALSE);
}

void Form2::SetButtonTooltip(Button button, const std::string& text) {
    tooltips_.SetControlText(Control(Of(button)), text);
    tooltips_.SetAreaText(Control(Component::Image_background),
                          static_cast<UINT_PTR>(ControlId(Of(button))), text);
}

void Form2::StartTimer() {
    timerRunning_ = SetTimer(hwnd_, kTimer1, kTimerInterval, nullptr) != 0;
}

void Form2::StopTimer() {
    if (timerRunning_)
        KillTimer(hwnd_, kTimer1);
    timerRunning_ = false;
}

void Form2::SetBusyCursor() {
    busy_ = true;
    SetCursor(gui::PointerOf(gui::SystemPointer::Wait));
}

void Form2::RestoreCursor() {
    busy_ = false;
    SetCursor(gui::PointerOf(gui::SystemPointer::Arrow));
}

bool Form2::AskOkCancel(const std::string& text, const std::string& caption) {
    return platform::AskOkCancel(hwnd_, text, caption) == platform::kAnswerOk;
}

void Form2::ShowInformation(const std::string& caption, const std::string& text) {
    platform::ShowMessage(hwnd_, text, caption);
}

void Form2::BeginMove() {
    gui::BeginDragMove(hwnd_);
}

void Form2::Close() {
    DestroyWindow(hwnd_);
}

void Form2::ShowProgress() {
    HWND h = Control(Component::ProgressBar1);
    ShowWindow(h, SW_SHOW);
    UpdateWindow(h);
}

void Form2::SetProgress(int position) {
    HWND h = Control(Component::ProgressBar1);
    SendMessageW(h, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    // Drawn at once: the removal does not return to the event loop in between.
    InvalidateRect(h, nullptr, FALSE);
    UpdateWindow(h);
}

void Form2::HideProgress() {
    ShowProgress(); // makes sure the last position was seen
    ShowWindow(Control(Component::ProgressBar1), SW_HIDE);
    UpdateWindow(hwnd_);
}

// --- Layout -------------------------------------------------------------------------

void Form2::MakeBackgroundBrush() {
    backgroundBrush_.Reset();
    RECT r;
    GetClientRect(Control(Component::Image_background), &r);
    backgroundBitmap_.Reset(background_.MakeBitmap(r.right, r.bottom));
    // Without a picture the labels lie on the window's white.
    if (backgroundBitmap_)
        backgroundBrush_.Reset(CreatePatternBrush(backgroundBitmap_.Get()));
}

// The window sizes itself to hold its controls, and sits in the screen's centre.
void Form2::FitToControls() {
    int width = 0, height = 0;
    for (HWND h : controls_) {
        if (!h)
            continue;
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        width = std::max(width, static_cast<int>(r.right));
        height = std::max(height, static_cast<int>(r.bottom));
    }
    const RECT place = gui::CentredOnScreen(width, height);
    SetWindowPos(hwnd_, nullptr, place.left, place.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Messages -----------------------------------------------------------------------

LRESULT Form2::OnMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case DM_GETDEFID:
        // Enter presses "Next >", the default button, while it is enabled.
        return MAKELRESULT(ControlId(Component::BitBtn1), DC_HASDEFID);
    case WM_TIMER:
        if (wp == kTimer1)
            form_.Timer1Timer();
        return 0;
    case WM_DRAWITEM:
        DrawBackground(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_SETCURSOR:
        if (busy_) {
            SetCursor(gui::PointerOf(gui::SystemPointer::Wait));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        if (!form_.MayClose())
            return 0; // /NOCANCEL while the removal runs
        break;
    case WM_DESTROY:
        if (timerRunning_)
            KillTimer(hwnd_, kTimer1);
        hwnd_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, msg, wp, lp);
}

void Form2::OnCommand(int id, int code) {
    if (code != BN_CLICKED)
        return;
    if (id == ControlId(Component::BitBtn1) || id == IDOK) {
        if (IsWindowEnabled(Control(Component::BitBtn1)))
            form_.BitBtn1Click();
    } else if (id == ControlId(Component::BitBtn2)) {
        form_.BitBtn2Click();
    }
}

LRESULT Form2::OnCtlColor(HDC dc, HWND control) {
    // Transparent: the control's box is filled with the piece of the background
    // picture that lies beneath it, and the labels write in white.
    SetTextColor(dc, kLabelColour);
    if (!backgroundBrush_) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    return gui::TransparentOver(hwnd_, dc, control, backgroundBrush_.Get());
}

void Form2::DrawBackground(const DRAWITEMSTRUCT& item) {
    if (!backgroundBitmap_) {
        FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return;
    }
    const platform::win32::ScopedMemoryDc source(CreateCompatibleDC(item.hDC));
    const platform::win32::ScopedSelect selected(source.Get(), backgroundBitmap_.Get());
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
           item.rcItem.bottom - item.rcItem.top, source.Get(), item.rcItem.left, item.rcItem.top,
           SRCCOPY);
}

} // namespace sweepstone::win32
