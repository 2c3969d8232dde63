#include "form2_win32.h"

#include "resources.h"

#include "platform/files.h"

namespace sweepstone::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimerInterval = 1000;
constexpr COLORREF kLabelColour = RGB(255, 255, 255);

enum class Kind { Picture, Label, Button, Progress };

struct Layout {
    Component component;
    Kind kind;
    int left, top, width, height;
    DWORD style;         // added to WS_CHILD | WS_CLIPSIBLINGS
    const wchar_t* text; // design text
};

// In z-order from the top, which is also the tab order: the two buttons and the
// progress bar above the labels, the background picture below everything.
constexpr Layout kLayout[] = {
    {Component::BitBtn1, Kind::Button, 437, 463, 113, 25,
     WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_DEFPUSHBUTTON, L"Next >"},
    {Component::BitBtn2, Kind::Button, 557, 463, 113, 25, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
     L"Cancel"},
    {Component::ProgressBar1, Kind::Progress, 200, 267, 449, 16, 0, L""},
    {Component::Label_Message, Kind::Label, 197, 85, 476, 44, WS_VISIBLE, L""},
    {Component::StatusBar1, Kind::Label, 265, 171, 3, 13, WS_VISIBLE, L""},
    {Component::Label_Uninstall, Kind::Label, 200, 181, 412, 44, WS_VISIBLE, L""},
    {Component::Label_status, Kind::Label, 200, 288, 448, 33, 0, L""},
    {Component::Image_background, Kind::Picture, 0, 0, kFormWidth, kFormHeight, WS_VISIBLE, L""},
};

// Texts of the wizard are UTF-8: its own, the product's name and the paths from
// the log alike.
std::wstring Wide(const std::string& text) {
    return platform::win32::Widen(text);
}

HCURSOR Arrow() {
    return LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
}

HCURSOR Hourglass() {
    return LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)); // IDC_WAIT
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
    dpi_ = GetDeviceCaps(platform::win32::ScopedGetDc(nullptr).Get(), LOGPIXELSY);
    if (dpi_ <= 0)
        dpi_ = 96;

    background_ = platform::gui::Picture::FromResource(IDR_BACKGROUND);
    // Arial 13 pixels for the labels, MS Sans Serif 11 pixels for the buttons.
    labelFont_.Reset(CreateFontW(-Scale(13), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH, L"Arial"));
    buttonFont_.Reset(CreateFontW(-Scale(11), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH, L"MS Sans Serif"));
    iconBig_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_SWEEPSTONE),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), 0)));
    iconSmall_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_SWEEPSTONE),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0)));

    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = FormProc;
    form.hInstance = instance_;
    form.hCursor = Arrow();
    form.hIcon = iconBig_.Get();
    form.hIconSm = iconSmall_.Get();
    form.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    form.lpszClassName = kFormClassName;
    RegisterClassExW(&form);

    // Frameless: no border, title bar or system buttons; the client area is the
    // whole window. Placed in the screen's centre once its size is known.
    hwnd_ =
        CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kFormClassName, kFormCaption,
                        WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                        Scale(kFormWidth), Scale(kFormHeight), nullptr, nullptr, instance_, this);
    if (!hwnd_)
        return false;
    // The icon also on the window itself, where the task bar and Alt+Tab ask for it.
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconBig_.Get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_.Get()));
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
    for (const auto& l : kLayout) {
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | l.style;
        switch (l.kind) {
        case Kind::Picture:
            style |= SS_OWNERDRAW | SS_NOTIFY;
            break;
        case Kind::Label:
            // Word-wrapping text; the label takes the pointer's events itself, so
            // that only the bare background picture starts a move.
            style |= SS_LEFT | SS_NOPREFIX | SS_NOTIFY;
            break;
        case Kind::Button:
            cls = L"BUTTON";
            break;
        case Kind::Progress:
            cls = PROGRESS_CLASSW;
            break;
        }
        HWND h = CreateWindowExW(
            0, cls, l.text, style, Scale(l.left), Scale(l.top), Scale(l.width), Scale(l.height),
            hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(l.component))), instance_,
            nullptr);
        controls_[static_cast<size_t>(l.component)] = h;
        if (!h)
            continue;
        // Each new control goes below those made before it.
        SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageW(
            h, WM_SETFONT,
            reinterpret_cast<WPARAM>(l.kind == Kind::Button ? buttonFont_.Get() : labelFont_.Get()),
            FALSE);
    }
    SetWindowTextW(Control(Component::Label_Message), Wide(kWelcomeText).c_str());
    SetWindowTextW(Control(Component::Label_Uninstall), Wide(kRemoveAllText).c_str());
    SendMessageW(Control(Component::ProgressBar1), PBM_SETRANGE32, 0, 100);
    for (Component c : {Component::Image_background, Component::Label_Message,
                        Component::StatusBar1, Component::Label_Uninstall, Component::Label_status})
        SetWindowSubclass(Control(c), ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));

    // Tooltips on the two buttons; their texts come from FormShow.
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                nullptr, instance_, nullptr);
    // Each button is one tool while enabled. A disabled button takes no pointer
    // messages: they go to the background picture beneath it, where the button's
    // box is a second tool with the same text, so "Next >" shows its tip also while
    // it is disabled. The picture lies at the window's origin.
    for (Component c : {Component::BitBtn1, Component::BitBtn2}) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(Control(c));
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = Control(Component::Image_background);
        tool.uId = static_cast<UINT_PTR>(ControlId(c));
        GetWindowRect(Control(c), &tool.rect);
        MapWindowPoints(nullptr, tool.hwnd, reinterpret_cast<POINT*>(&tool.rect), 2);
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, Scale(400));
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
    SetWindowTextW(h, Wide(text).c_str());
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
    SetWindowTextW(h, Wide(text).c_str());
    UpdateWindow(h);
}

void Form2::EnableButton(Button button, bool enabled) {
    HWND h = Control(Of(button));
    if (!enabled && GetFocus() == h)
        SetFocus(Control(Component::BitBtn2));
    EnableWindow(h, enabled ? TRUE : FALSE);
}

void Form2::SetButtonTooltip(Button button, const std::string& text) {
    const size_t i = button == Button::Next ? 0 : 1;
    tooltipTexts_[i] = Wide(text);
    const std::pair<HWND, UINT_PTR> tools[] = {
        {hwnd_, reinterpret_cast<UINT_PTR>(Control(Of(button)))},
        {Control(Component::Image_background), static_cast<UINT_PTR>(ControlId(Of(button)))}};
    for (const auto& [owner, id] : tools) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = owner;
        tool.uId = id;
        tool.lpszText = tooltipTexts_[i].data();
        SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
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
    SetCursor(Hourglass());
}

void Form2::RestoreCursor() {
    busy_ = false;
    SetCursor(Arrow());
}

bool Form2::AskOkCancel(const std::string& text, const std::string& caption) {
    return MessageBoxW(hwnd_, Wide(text).c_str(), Wide(caption).c_str(), MB_OKCANCEL) == IDOK;
}

void Form2::ShowInformation(const std::string& caption, const std::string& text) {
    MessageBoxW(hwnd_, Wide(text).c_str(), Wide(caption).c_str(), MB_OK);
}

void Form2::BeginMove() {
    ReleaseCapture();
    SendMessageW(hwnd_, WM_SYSCOMMAND, 0xF012, 0); // SC_MOVE | HTCAPTION
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
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT Form2::PositionInForm(HWND control) const {
    RECT r;
    GetWindowRect(control, &r);
    POINT p{r.left, r.top};
    ScreenToClient(hwnd_, &p);
    return p;
}

// --- Messages -----------------------------------------------------------------------

LRESULT CALLBACK Form2::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form2* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Form2*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<Form2*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wp, lp);
    return self->OnMessage(msg, wp, lp);
}

LRESULT Form2::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return 0;
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
            SetCursor(Hourglass());
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
    return DefWindowProcW(hwnd_, msg, wp, lp);
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
    SetBkMode(dc, TRANSPARENT);
    if (!backgroundBrush_)
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    const POINT at = PositionInForm(control);
    SetBrushOrgEx(dc, -at.x, -at.y, nullptr);
    return reinterpret_cast<LRESULT>(backgroundBrush_.Get());
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

LRESULT CALLBACK Form2::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<Form2*>(data);
    if (GetDlgCtrlID(hwnd) == ControlId(Component::Image_background)) {
        if (msg == WM_MOUSEMOVE) {
            self->form_.Image_backgroundMouseMove((wp & MK_LBUTTON) != 0);
            return 0;
        }
    } else if (msg == WM_LBUTTONDOWN) {
        // A label keeps the pointer while the button is held, so that a press on
        // it never turns into a move when the pointer then crosses the background.
        SetCapture(hwnd);
        return 0;
    } else if (msg == WM_LBUTTONUP && GetCapture() == hwnd) {
        ReleaseCapture();
        return 0;
    }
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, ControlProc, kSubclassId);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace sweepstone::win32
