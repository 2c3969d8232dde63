#include "form1_win32.h"

#include "resources.h"
#include "texts.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/rights.h"
#include "platform/shell.h"

#include <algorithm>
#include <vector>

namespace season::win32 {
namespace {

constexpr int kFormWidth = 787;
constexpr int kFormHeight = 538;
constexpr COLORREF kPanelColour = 15263976; // RGB(232, 232, 232)
constexpr COLORREF kWarningColour = RGB(255, 0, 0);
constexpr UINT_PTR kSubclassId = 1;
// Posted by the worker thread when its work is done, and with each new
// percentage of progress (in wParam).
constexpr UINT kWorkDone = WM_APP + 1;
constexpr UINT kProgress = WM_APP + 2;
// Posted by the worker of RunAside when its work is done.
constexpr UINT kAsideDone = WM_APP + 3;

enum class Kind { Picture, Label, ListBox, Button, Panel };
enum class Pointer { Ordinary, Hand, Drag };

struct Layout {
    Component component;
    Kind kind;
    int left, top, width, height;
    Pointer pointer;
    DWORD style;         // added to WS_CHILD | WS_CLIPSIBLINGS
    const wchar_t* name; // design text, or the accessible name of a picture
};

// In z-order from the top, which is also the tab order: the windowed controls
// (buttons, list, hidden directory list, help panel) lie above every label and
// picture, and the background picture lies below everything. The two controls of
// the help panel are placed within the panel.
constexpr Layout kLayout[] = {
    {Component::BitBtn2, Kind::Button, 448, 480, 97, 25, Pointer::Hand,
     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"BitBtn2"},
    {Component::Button1, Kind::Button, 560, 480, 209, 25, Pointer::Ordinary,
     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"Button1"},
    {Component::ListBox1, Kind::ListBox, 29, 208, 193, 104, Pointer::Ordinary,
     WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, L""},
    {Component::DirectoryListBox1, Kind::ListBox, 648, 8, 65, 41, Pointer::Ordinary,
     WS_BORDER | LBS_NOINTEGRALHEIGHT, L""},
    {Component::Panel_Help, Kind::Panel, 210, 184, 393, 233, Pointer::Ordinary, WS_CLIPCHILDREN,
     L""},
    {Component::Label_Help, Kind::Label, 12, 16, 369, 169, Pointer::Drag,
     WS_VISIBLE | SS_LEFTNOWORDWRAP, L"Label_Help"},
    {Component::BitBtn1, Kind::Button, 160, 192, 75, 25, Pointer::Hand,
     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"OK"},
    {Component::Label1, Kind::Label, 264, 171, 505, 13, Pointer::Ordinary,
     WS_VISIBLE | SS_LEFTNOWORDWRAP, L"Folder"},
    {Component::Label2, Kind::Label, 32, 171, 40, 13, Pointer::Ordinary,
     WS_VISIBLE | SS_LEFTNOWORDWRAP, L"Label2"},
    {Component::Label3, Kind::Label, 32, 192, 40, 13, Pointer::Ordinary,
     WS_VISIBLE | SS_LEFTNOWORDWRAP, L"Brightmere's"},
    {Component::Label_Quorrin_warning, Kind::Label, 320, 192, 441, 13, Pointer::Ordinary, SS_CENTER,
     L"Label_Quorrin_warning"},
    {Component::Label_Version, Kind::Label, 720, 514, 57, 13, Pointer::Ordinary,
     WS_VISIBLE | SS_RIGHT, L"V1.0"},
    {Component::Label_Active, Kind::Label, 29, 320, 360, 13, Pointer::Ordinary,
     WS_VISIBLE | SS_LEFTNOWORDWRAP, L""},
    {Component::Image2, Kind::Picture, 752, 3, 32, 30, Pointer::Hand, WS_VISIBLE, L"Close..."},
    {Component::Image7, Kind::Picture, 280, 208, 105, 105, Pointer::Ordinary, WS_VISIBLE, L""},
    {Component::Image3, Kind::Picture, 405, 208, 230, 230, Pointer::Ordinary, WS_VISIBLE, L""},
    {Component::Image6, Kind::Picture, 656, 208, 105, 105, Pointer::Ordinary, WS_VISIBLE, L""},
    {Component::Image5, Kind::Picture, 482, 440, 30, 30, Pointer::Hand, WS_VISIBLE,
     L"Previous season"},
    {Component::Image4, Kind::Picture, 533, 440, 30, 30, Pointer::Hand, WS_VISIBLE, L"Next season"},
    {Component::Image10, Kind::Picture, 272, 459, 45, 48, Pointer::Ordinary, WS_VISIBLE, L"Help"},
    {Component::Image8, Kind::Picture, 336, 480, 37, 27, Pointer::Hand, WS_VISIBLE, L"Deutsch"},
    {Component::Image9, Kind::Picture, 384, 480, 37, 27, Pointer::Hand, WS_VISIBLE, L"English"},
    {Component::Image1, Kind::Picture, 0, 0, kFormWidth, kFormHeight, Pointer::Ordinary, WS_VISIBLE,
     L""},
};

bool InPanel(Component c) {
    return c == Component::Label_Help || c == Component::BitBtn1;
}

// Every text of the window is UTF-8: the program's own texts and the paths and
// add-on names from the file system alike.
std::wstring Wide(std::string_view text) {
    return platform::win32::Widen(text);
}

// The drag pointer: an arrow carrying a small dotted box, as drag-and-drop shows.
HCURSOR MakeDragCursor(HINSTANCE instance) {
    const int w = GetSystemMetrics(SM_CXCURSOR);
    const int h = GetSystemMetrics(SM_CYCURSOR);
    const int stride = ((w + 15) / 16) * 2;
    std::vector<BYTE> andMask(static_cast<size_t>(stride * h), 0xFF);
    std::vector<BYTE> xorMask(static_cast<size_t>(stride * h), 0x00);
    const auto set = [&](int x, int y, bool white) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return;
        const size_t i = static_cast<size_t>(y * stride + x / 8);
        const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
        andMask[i] = static_cast<BYTE>(andMask[i] & ~bit);
        if (white)
            xorMask[i] = static_cast<BYTE>(xorMask[i] | bit);
        else
            xorMask[i] = static_cast<BYTE>(xorMask[i] & ~bit);
    };
    // Arrow: black outline, white inside.
    for (int y = 0; y < 16; ++y) {
        const int width = y < 11 ? y : 11 - (y - 11);
        for (int x = 0; x <= width; ++x)
            set(x, y, !(x == 0 || x == width || y == 15));
    }
    for (int y = 11; y < 18; ++y) { // tail
        for (int x = 4 + (y - 11) / 2; x <= 6 + (y - 11) / 2; ++x)
            set(x, y, x != 4 + (y - 11) / 2 && x != 6 + (y - 11) / 2);
    }
    // Dotted box below right of the arrow.
    for (int x = 10; x <= 22; ++x) {
        set(x, 18, (x % 2) != 0);
        set(x, 28, (x % 2) != 0);
    }
    for (int y = 18; y <= 28; ++y) {
        set(10, y, (y % 2) != 0);
        set(22, y, (y % 2) != 0);
    }
    return CreateCursor(instance, 0, 0, w, h, andMask.data(), xorMask.data());
}

} // namespace

Form1Window::Form1Window(HINSTANCE instance, InstanceLock& lock)
    : instance_(instance), lock_(lock), form_(state_, *this,
                                              ProgramInfo{[] { return platform::ProgramPath(); },
                                                          [] {
                                                              return GetFileVersionText();
                                                          }},
                                              FileSystemForRun(), RealSystem()) {
    seasonEntry_.fill(-1);
}

FileSystem& Form1Window::FileSystemForRun() {
    // With administrator rights no write may follow a user's link out of the folder.
    if (!platform::RunningElevated())
        return RealFileSystem();
    linkChecking_ = std::make_unique<LinkCheckingFileSystem>(
        RealFileSystem(), BaseFolderOf(platform::ProgramPath()), PlatformLinkQueries());
    return *linkChecking_;
}

SystemOperations Form1Window::RealSystem() {
    SystemOperations system;
    system.runningPrograms = [] {
        return platform::RunningProgramNames();
    };
    system.folderWritable = [](const std::string& folder) {
        return platform::FolderWritable(folder);
    };
    system.runElevated = [this](const std::string& parameters) {
        // The new instance works on this folder now: it takes the lock, and this
        // window takes it back once that one has ended.
        lock_.Release();
        const platform::ElevatedRun run =
            platform::RunElevatedAndWait(hwnd_, platform::ProgramPath(), parameters);
        lock_.Acquire();
        return SystemOperations::Elevated{run.started, run.cancelled};
    };
    return system;
}

Form1Window::~Form1Window() {
    if (worker_.joinable())
        worker_.join();
    if (asideWorker_.joinable())
        asideWorker_.join();
    if (taskbar_)
        taskbar_->Release();
    if (hwnd_)
        DestroyWindow(hwnd_);
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(backgroundBrush_), static_cast<HGDIOBJ>(panelBrush_),
                      static_cast<HGDIOBJ>(backgroundBitmap_), static_cast<HGDIOBJ>(font_),
                      static_cast<HGDIOBJ>(boldFont_), static_cast<HGDIOBJ>(warningFont_)}) {
        if (o)
            DeleteObject(o);
    }
    for (auto& family : smallerFonts_) {
        for (HFONT f : family) {
            if (f)
                DeleteObject(f);
        }
    }
    for (HICON i : {glyphClose_, glyphOk_, iconBig_, iconSmall_}) {
        if (i)
            DestroyIcon(i);
    }
    if (dragCursor_)
        DestroyCursor(dragCursor_);
}

bool Form1Window::Create() {
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0)
        dpi_ = 96;

    background_ = std::make_unique<Picture>(Picture::FromResource(IDR_BACKGROUND));
    for (int i = 0; i < 4; ++i)
        seasons_[static_cast<size_t>(i)] =
            std::make_unique<Picture>(Picture::FromResource(IDR_SEASON0 + i));
    close_ = std::make_unique<Picture>(Picture::FromResource(IDR_CLOSE));
    arrowLeft_ = std::make_unique<Picture>(Picture::FromResource(IDR_ARROW_LEFT));
    arrowRight_ = std::make_unique<Picture>(Picture::FromResource(IDR_ARROW_RIGHT));
    help_ = std::make_unique<Picture>(Picture::FromResource(IDR_HELP));
    flagDe_ = std::make_unique<Picture>(Picture::FromResource(IDR_FLAG_DE));
    flagEn_ = std::make_unique<Picture>(Picture::FromResource(IDR_FLAG_EN));
    backgroundBitmap_ = background_->MakeBitmap(Scale(kFormWidth), Scale(kFormHeight));
    backgroundBrush_ =
        backgroundBitmap_ ? CreatePatternBrush(backgroundBitmap_) : GetSysColorBrush(COLOR_BTNFACE);
    panelBrush_ = CreateSolidBrush(kPanelColour);
    glyphClose_ = Picture::FromResource(IDR_GLYPH_CLOSE).MakeIcon(Scale(16));
    glyphOk_ = Picture::FromResource(IDR_GLYPH_OK).MakeIcon(Scale(16));
    dragCursor_ = MakeDragCursor(instance_);

    // Tahoma 8 point (11 pixels high at 96 DPI); Arial 8 point for the warning.
    const int height = -MulDiv(8, dpi_, 72);
    fontHeight_ = height;
    font_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
    boldFont_ = CreateFontW(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
    warningFont_ =
        CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");

    iconBig_ =
        static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_SEASON), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    iconSmall_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_SEASON), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));

    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = FormProc;
    form.hInstance = instance_;
    form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    form.hIcon = iconBig_;
    form.hIconSm = iconSmall_;
    form.lpszClassName = kFormClassName;
    RegisterClassExW(&form);

    WNDCLASSEXW panel{};
    panel.cbSize = sizeof(panel);
    panel.lpfnWndProc = PanelProc;
    panel.hInstance = instance_;
    panel.hCursor = form.hCursor;
    panel.hbrBackground = panelBrush_;
    panel.lpszClassName = L"TPanel";
    RegisterClassExW(&panel);
    // Sent once the shell has made the task-bar button; its progress can be set
    // from then on.
    taskbarButtonCreated_ = RegisterWindowMessageW(L"TaskbarButtonCreated");

    // Frameless, centred on the screen; the client area is the whole window.
    const int width = Scale(kFormWidth);
    const int height2 = Scale(kFormHeight);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height2) / 2;
    hwnd_ = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kFormClassName, kFormWindowText,
                            WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, x, y, width,
                            height2, nullptr, nullptr, instance_, this);
    if (!hwnd_)
        return false;
    lock_.MarkWindow(hwnd_);
    platform::SetShellOwner(hwnd_);
    CreateControls();

    // Start-up runs before the window is first painted.
    form_.FormShow();
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    SetFocus(Control(Component::Button1));
    return true;
}

void Form1Window::CreateControls() {
    HWND panel = nullptr;
    for (const auto& l : kLayout) {
        const bool inPanel = InPanel(l.component);
        HWND parent = inPanel ? panel : hwnd_;
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | l.style;
        DWORD exStyle = 0;
        switch (l.kind) {
        case Kind::Picture:
            style |= SS_OWNERDRAW | SS_NOTIFY;
            break;
        case Kind::Label:
            // Labels take the pointer's events, as the pictures do, so that only
            // the bare background starts a drag.
            style |= SS_NOTIFY | SS_NOPREFIX;
            break;
        case Kind::ListBox:
            cls = L"LISTBOX";
            break;
        case Kind::Button:
            cls = L"BUTTON";
            break;
        case Kind::Panel:
            cls = L"TPanel";
            exStyle = WS_EX_CONTROLPARENT;
            break;
        }
        HWND h =
            CreateWindowExW(exStyle, cls, l.name, style, Scale(l.left), Scale(l.top),
                            Scale(l.width), Scale(l.height), parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(l.component))),
                            instance_, nullptr);
        controls_[static_cast<size_t>(l.component)] = h;
        if (!h)
            continue;
        // Each new control goes below those made before it.
        SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        HFONT font = font_;
        if (l.component == Component::Button1)
            font = boldFont_;
        if (l.component == Component::Label_Quorrin_warning)
            font = warningFont_;
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (l.kind == Kind::Panel)
            panel = h;
    }

    SendMessageW(Control(Component::ListBox1), LB_SETITEMHEIGHT, 0, Scale(13));
    SendMessageW(Control(Component::BitBtn2), BM_SETIMAGE, IMAGE_ICON,
                 reinterpret_cast<LPARAM>(glyphClose_));
    SendMessageW(Control(Component::BitBtn1), BM_SETIMAGE, IMAGE_ICON,
                 reinterpret_cast<LPARAM>(glyphOk_));
    // The background and the list report pointer events of their own; every other
    // picture and label keeps the pointer while a button is held on it, so that a
    // press there never turns into a drag of the window.
    for (const auto& l : kLayout) {
        if (l.kind == Kind::Picture || l.kind == Kind::Label || l.component == Component::ListBox1)
            SetWindowSubclass(Control(l.component), ControlProc, kSubclassId,
                              reinterpret_cast<DWORD_PTR>(this));
    }
    SizeLabelToText(Component::Label3);
    FitCaption(Component::BitBtn1);
    FitCaption(Component::Label_Version);

    // Tooltips on the close icon and the two flags only.
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                nullptr, instance_, nullptr);
    const std::pair<Component, std::string_view> tips[] = {
        {Component::Image2, kCloseHint},
        {Component::Image8, kGermanFlagHint},
        {Component::Image9, kEnglishFlagHint},
    };
    for (size_t i = 0; i < std::size(tips); ++i) {
        tooltipTexts_[i] = Wide(tips[i].second);
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(Control(tips[i].first));
        tool.lpszText = tooltipTexts_[i].data();
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // The active season's line: the add-ons that differ, once it says so.
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(Control(Component::Label_Active));
    tool.lpszText = activeHint_.data();
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, Scale(400));
}

// --- Window operations ------------------------------------------------------------

void Form1Window::SetText(Component c, const std::string& text) {
    SetWindowTextW(Control(c), Wide(text).c_str());
    if (c == Component::Label2)
        SizeLabelToText(c);
    else if (c != Component::Label1)
        FitCaption(c);
}

void Form1Window::SetVisible(Component c, bool visible) {
    ShowWindow(Control(c), visible ? SW_SHOW : SW_HIDE);
}

void Form1Window::DrawSeasonPicture(Component picture, int entry) {
    seasonEntry_[static_cast<size_t>(picture)] = entry;
    // The picture's name, for screen readers and tools, says what it shows.
    SetWindowTextW(Control(picture), Wide(SeasonPictureName(entry)).c_str());
    InvalidateRect(Control(picture), nullptr, FALSE);
    UpdateWindow(Control(picture));
}

void Form1Window::AppendListEntry(const std::string& entry) {
    SendMessageW(Control(Component::ListBox1), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Wide(entry).c_str()));
}

void Form1Window::ClearListSelection() {
    HWND list = Control(Component::ListBox1);
    // A press on the list leaves it tracking the pointer; end that, or the
    // release would select a row again.
    if (GetCapture() == list)
        ReleaseCapture();
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    // Repainted whole, so that no focus frame of the pressed row stays behind.
    InvalidateRect(list, nullptr, TRUE);
}

void Form1Window::Focus(Component c) {
    SetFocus(Control(c));
}

void Form1Window::BeginWindowMove() {
    ReleaseCapture();
    SendMessageW(hwnd_, WM_SYSCOMMAND, 0xF012, 0); // SC_MOVE | HTCAPTION
}

void Form1Window::CloseWindow() {
    DestroyWindow(hwnd_);
}

void Form1Window::SetBusy(bool busy) {
    busy_ = busy;
    HWND apply = Control(Component::Button1);
    for (Component c : {Component::Button1, Component::Image4, Component::Image5, Component::Image8,
                        Component::Image9})
        EnableWindow(Control(c), busy ? FALSE : TRUE);
    if (busy) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))); // IDC_WAIT
        return;
    }
    if (!GetFocus())
        SetFocus(apply);
    POINT p;
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    if (under && (under == hwnd_ || IsChild(hwnd_, under)))
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

int Form1Window::AskRetryCancel(const std::string& text, const std::string& caption) {
    return platform::AskRetryCancel(hwnd_, text, caption);
}

void Form1Window::ShowShield(bool shown) {
    shield_ = shown;
    SendMessageW(Control(Component::Button1), BCM_SETSHIELD, 0, shown ? TRUE : FALSE);
    FitCaption(Component::Button1);
}

void Form1Window::ShowProgress(int percent) {
    if (percent < 0) {
        postedPercent_.store(-1);
        if (taskbar_)
            taskbar_->SetProgressState(hwnd_, TBPF_NOPROGRESS);
        return;
    }
    if (postedPercent_.exchange(percent) != percent)
        PostMessageW(hwnd_, kProgress, static_cast<WPARAM>(percent), 0);
}

void Form1Window::RunInBackground(std::function<void()> work, std::function<void()> then) {
    afterWork_ = std::move(then);
    HWND window = hwnd_;
    postedPercent_.store(-1);
    worker_ = std::thread([window, work = std::move(work)] {
        // The shell's folder copies run on this thread.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        work();
        if (SUCCEEDED(com))
            CoUninitialize();
        PostMessageW(window, kWorkDone, 0, 0);
    });
}

void Form1Window::RunAside(std::function<void()> work, std::function<void()> then) {
    if (asideWorker_.joinable())
        asideWorker_.join(); // TForm1 starts one at a time; this one has ended
    afterAside_ = std::move(then);
    HWND window = hwnd_;
    asideWorker_ = std::thread([window, work = std::move(work)] {
        work();
        PostMessageW(window, kAsideDone, 0, 0);
    });
}

void Form1Window::SetHint(Component c, const std::string& text) {
    // Only the active season's line takes a hint of changing text.
    if (c != Component::Label_Active)
        return;
    activeHint_ = Wide(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(Control(c));
    tool.lpszText = activeHint_.data();
    SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

int Form1Window::AskYesNo(const std::string& text, const std::string& caption) {
    return platform::AskYesNo(hwnd_, text, caption);
}

void Form1Window::ShowInformation(const std::string& text) {
    platform::ShowMessage(hwnd_, text, std::string(kApplicationTitle));
}

// --- Messages -----------------------------------------------------------------------

LRESULT CALLBACK Form1Window::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form1Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Form1Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, msg, wp, lp);
    return self->OnMessage(msg, wp, lp);
}

LRESULT Form1Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_DRAWITEM:
        DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_SETCURSOR:
        if (SetPointer(reinterpret_cast<HWND>(wp)))
            return TRUE;
        break;
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT: {
        HDC dc = reinterpret_cast<HDC>(wp);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, backgroundBitmap_);
        BitBlt(dc, 0, 0, Scale(kFormWidth), Scale(kFormHeight), source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        return TRUE;
    }
    case kProgress: {
        // Shown only while the run lasts: the end restores the caption.
        if (!busy_)
            return 0;
        const int percent = static_cast<int>(wp);
        SetWindowTextW(Control(Component::Button1), (std::to_wstring(percent) + L" %").c_str());
        FitCaption(Component::Button1);
        if (taskbar_)
            taskbar_->SetProgressValue(hwnd_, static_cast<ULONGLONG>(percent), 100);
        return 0;
    }
    case kWorkDone:
        if (worker_.joinable())
            worker_.join();
        if (afterWork_) {
            auto then = std::move(afterWork_);
            afterWork_ = nullptr;
            then();
        }
        return 0;
    case kAsideDone:
        if (asideWorker_.joinable())
            asideWorker_.join();
        if (afterAside_) {
            auto then = std::move(afterAside_);
            afterAside_ = nullptr;
            then();
        }
        return 0;
    case WM_CLOSE:
        // During a run the window closes once the run has stopped and reported.
        if (!form_.FormCloseQuery())
            return 0;
        break;
    case WM_DESTROY:
        lock_.UnmarkWindow(hwnd_);
        hwnd_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        if (msg == taskbarButtonCreated_ && msg != 0) {
            if (!taskbar_ &&
                SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_ITaskbarList3, reinterpret_cast<void**>(&taskbar_))))
                taskbar_->HrInit();
            return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void Form1Window::OnCommand(int id, int code) {
    const auto is = [id](Component c) {
        return id == ControlId(c);
    };
    if (is(Component::ListBox1)) {
        if (code == LBN_SELCHANGE)
            form_.ListBox1Click();
        else if (code == LBN_DBLCLK)
            form_.ListBox1DblClick();
        return;
    }
    if (code != BN_CLICKED) // == STN_CLICKED
        return;
    if (is(Component::Image2))
        form_.Image2Click();
    else if (is(Component::BitBtn2))
        form_.BitBtn2Click();
    else if (is(Component::Image4))
        form_.Image4Click();
    else if (is(Component::Image5))
        form_.Image5Click();
    else if (is(Component::Image8))
        form_.Image8Click();
    else if (is(Component::Image9))
        form_.Image9Click();
    else if (is(Component::Image10))
        form_.Image10Click();
    else if (is(Component::BitBtn1))
        form_.BitBtn1Click();
    else if (is(Component::Button1))
        form_.Button1Click();
}

LRESULT Form1Window::OnCtlColor(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    const bool inPanel =
        id == ControlId(Component::Label_Help) || id == ControlId(Component::BitBtn1);
    SetTextColor(dc, id == ControlId(Component::Label_Quorrin_warning)
                         ? kWarningColour
                         : GetSysColor(COLOR_WINDOWTEXT));
    if (inPanel) {
        SetBkColor(dc, kPanelColour);
        return reinterpret_cast<LRESULT>(panelBrush_);
    }
    // Transparent: the label's box is filled with the piece of the background
    // picture that lies beneath it.
    SetBkMode(dc, TRANSPARENT);
    const POINT at = PositionInForm(control);
    SetBrushOrgEx(dc, -at.x, -at.y, nullptr);
    return reinterpret_cast<LRESULT>(backgroundBrush_);
}

const Picture* Form1Window::PictureOf(Component c) const {
    switch (c) {
    case Component::Image2:
        return close_.get();
    case Component::Image4:
        return arrowRight_.get();
    case Component::Image5:
        return arrowLeft_.get();
    case Component::Image8:
        return flagDe_.get();
    case Component::Image9:
        return flagEn_.get();
    case Component::Image10:
        return help_.get();
    case Component::Image3:
    case Component::Image6:
    case Component::Image7: {
        const int entry = seasonEntry_[static_cast<size_t>(c)];
        return entry >= 0 && entry < 4 ? seasons_[static_cast<size_t>(entry)].get() : nullptr;
    }
    default:
        return nullptr;
    }
}

void Form1Window::DrawPicture(const DRAWITEMSTRUCT& item) {
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    // Drawn off screen: the background beneath, then the picture over it.
    HDC buffer = CreateCompatibleDC(item.hDC);
    HBITMAP bits = CreateCompatibleBitmap(item.hDC, width, height);
    HGDIOBJ oldBits = SelectObject(buffer, bits);
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ oldSource = SelectObject(source, backgroundBitmap_);
    const POINT at = PositionInForm(item.hwndItem);
    BitBlt(buffer, 0, 0, width, height, source, at.x, at.y, SRCCOPY);
    SelectObject(source, oldSource);
    DeleteDC(source);
    if (const Picture* picture =
            PictureOf(static_cast<Component>(item.CtlID - ControlId(Component::Image1))))
        picture->Draw(buffer, RECT{0, 0, width, height});
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, oldBits);
    DeleteObject(bits);
    DeleteDC(buffer);
}

bool Form1Window::SetPointer(HWND under) {
    if (busy_) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))); // IDC_WAIT
        return true;
    }
    for (const auto& l : kLayout) {
        if (Control(l.component) != under)
            continue;
        switch (l.pointer) {
        case Pointer::Hand:
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
            return true;
        case Pointer::Drag:
            SetCursor(dragCursor_);
            return true;
        case Pointer::Ordinary:
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
            return true;
        }
    }
    return false;
}

POINT Form1Window::PositionInForm(HWND control) const {
    RECT r;
    GetWindowRect(control, &r);
    POINT p{r.left, r.top};
    ScreenToClient(hwnd_, &p);
    return p;
}

void Form1Window::SizeLabelToText(Component c) {
    HWND label = Control(c);
    const int length = GetWindowTextLengthW(label);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(label, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), length, &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, size.cx, Scale(13),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

HFONT Form1Window::FontFor(int family, int step) {
    if (step <= 0)
        return family == 1 ? boldFont_ : family == 2 ? warningFont_ : font_;
    HFONT& font = smallerFonts_[static_cast<size_t>(family)][static_cast<size_t>(step)];
    if (!font)
        font = CreateFontW(FontHeightAtStep(fontHeight_, step), 0, 0, 0,
                           family == 1 ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                           family == 2 ? L"Arial" : L"Tahoma");
    return font;
}

void Form1Window::FitCaption(Component c) {
    HWND control = Control(c);
    if (!control)
        return;
    const int family = c == Component::Button1 ? 1 : c == Component::Label_Quorrin_warning ? 2 : 0;
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));

    RECT client;
    GetClientRect(control, &client);
    // Lines of one-line labels may reach a pixel below the box without harm; the
    // help text's lines must all show.
    TextExtent room{client.right, c == Component::Label_Help ? client.bottom : 1 << 20};
    const bool button =
        c == Component::Button1 || c == Component::BitBtn1 || c == Component::BitBtn2;
    if (button) {
        // The frame and the focus rectangle on both sides, and a picture beside
        // the text: the glyph of the close and OK buttons, or the shield.
        room.width -= 2 * Scale(6);
        if (c != Component::Button1)
            room.width -= Scale(16) + Scale(4);
        else if (shield_)
            room.width -= GetSystemMetrics(SM_CXSMICON) + Scale(4);
    }

    HDC dc = GetDC(control);
    const auto measure = [&](int step) {
        HGDIOBJ old = SelectObject(dc, FontFor(family, step));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        TextExtent extent;
        int lines = 0;
        // Lines end at a CR or LF; a CR LF pair ends one line.
        for (size_t start = 0; start <= text.size();) {
            size_t end = text.find_first_of(L"\r\n", start);
            if (end == std::wstring::npos)
                end = text.size();
            SIZE size{};
            GetTextExtentPoint32W(dc, text.data() + start, static_cast<int>(end - start), &size);
            extent.width = std::max(extent.width, static_cast<int>(size.cx));
            ++lines;
            if (end + 1 < text.size() && text[end] == L'\r' && text[end + 1] == L'\n')
                ++end;
            start = end + 1;
        }
        extent.height = lines * metrics.tmHeight;
        SelectObject(dc, old);
        return extent;
    };
    const int step = FittingFontStep(measure, room);
    ReleaseDC(control, dc);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(family, step)), TRUE);
}

LRESULT CALLBACK Form1Window::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
        return SendMessageW(GetParent(hwnd), msg, wp, lp);
    case WM_PAINT: {
        // A lowered inner bevel inside a raised frame.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        InflateRect(&r, -4, -4);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK Form1Window::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                          DWORD_PTR data) {
    auto* self = reinterpret_cast<Form1Window*>(data);
    const int id = GetDlgCtrlID(hwnd);
    if (id == ControlId(Component::Image1) && msg == WM_MOUSEMOVE) {
        self->form_.Image1MouseMove((wp & MK_LBUTTON) != 0);
        return 0;
    }
    if (id == ControlId(Component::ListBox1) &&
        (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN)) {
        const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
        self->form_.ListBox1MouseDown();
        return r;
    }
    if (id != ControlId(Component::Image1) && id != ControlId(Component::ListBox1)) {
        if (msg == WM_LBUTTONDOWN) {
            const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
            if (IsWindow(hwnd)) // a click may have closed the window
                SetCapture(hwnd);
            return r;
        }
        if (msg == WM_LBUTTONUP && GetCapture() == hwnd)
            ReleaseCapture();
    }
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, ControlProc, kSubclassId);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

} // namespace season::win32
