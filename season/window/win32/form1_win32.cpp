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

namespace gui = platform::gui;

constexpr int kFormWidth = 787;
constexpr int kFormHeight = 538;
constexpr COLORREF kPanelColour = 15263976; // RGB(232, 232, 232)
constexpr COLORREF kWarningColour = RGB(255, 0, 0);
// Posted by the worker thread when its work is done, and with each new
// percentage of progress (in wParam).
constexpr UINT kWorkDone = WM_APP + 1;
constexpr UINT kProgress = WM_APP + 2;
// Posted by the worker of RunAside when its work is done.
constexpr UINT kAsideDone = WM_APP + 3;

using gui::ControlKind;

constexpr int Id(Component c) {
    return ControlId(c);
}
Component ComponentOf(int id) {
    return static_cast<Component>(id - ControlId(Component::Image1));
}

// In z-order from the top, which is also the tab order: the windowed controls
// (buttons, list, hidden directory list, help panel) lie above every label and
// picture, and the background picture lies below everything. The two controls of
// the help panel are placed within the panel.
constexpr gui::ControlRecord kLayout[] = {
    {Id(Component::BitBtn2), ControlKind::Button, 448, 480, 97, 25,
     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"BitBtn2"},
    {Id(Component::Button1), ControlKind::Button, 560, 480, 209, 25,
     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"Button1"},
    {Id(Component::ListBox1), ControlKind::ListBox, 29, 208, 193, 104,
     WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, L""},
    {Id(Component::DirectoryListBox1), ControlKind::ListBox, 648, 8, 65, 41,
     WS_BORDER | LBS_NOINTEGRALHEIGHT, L""},
    {Id(Component::Panel_Help), ControlKind::Panel, 210, 184, 393, 233, WS_CLIPCHILDREN, L""},
    {Id(Component::Label_Help), ControlKind::Label, 12, 16, 369, 169,
     WS_VISIBLE | SS_LEFTNOWORDWRAP, L"Label_Help", Id(Component::Panel_Help)},
    {Id(Component::BitBtn1), ControlKind::Button, 160, 192, 75, 25,
     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, L"OK", Id(Component::Panel_Help)},
    {Id(Component::Label1), ControlKind::Label, 264, 171, 505, 13, WS_VISIBLE | SS_LEFTNOWORDWRAP,
     L"Folder"},
    {Id(Component::Label2), ControlKind::Label, 32, 171, 40, 13, WS_VISIBLE | SS_LEFTNOWORDWRAP,
     L"Label2"},
    {Id(Component::Label3), ControlKind::Label, 32, 192, 40, 13, WS_VISIBLE | SS_LEFTNOWORDWRAP,
     L"Brightmere's"},
    {Id(Component::Label_Quorrin_warning), ControlKind::Label, 320, 192, 441, 13, SS_CENTER,
     L"Label_Quorrin_warning"},
    {Id(Component::Label_Version), ControlKind::Label, 720, 514, 57, 13, WS_VISIBLE | SS_RIGHT,
     L"V1.0"},
    {Id(Component::Label_Active), ControlKind::Label, 29, 320, 360, 13,
     WS_VISIBLE | SS_LEFTNOWORDWRAP, L""},
    {Id(Component::Image2), ControlKind::Picture, 752, 3, 32, 30, WS_VISIBLE, L"Close..."},
    {Id(Component::Image7), ControlKind::Picture, 280, 208, 105, 105, WS_VISIBLE, L""},
    {Id(Component::Image3), ControlKind::Picture, 405, 208, 230, 230, WS_VISIBLE, L""},
    {Id(Component::Image6), ControlKind::Picture, 656, 208, 105, 105, WS_VISIBLE, L""},
    {Id(Component::Image5), ControlKind::Picture, 482, 440, 30, 30, WS_VISIBLE, L"Previous season"},
    {Id(Component::Image4), ControlKind::Picture, 533, 440, 30, 30, WS_VISIBLE, L"Next season"},
    {Id(Component::Image10), ControlKind::Picture, 272, 459, 45, 48, WS_VISIBLE, L"Help"},
    {Id(Component::Image8), ControlKind::Picture, 336, 480, 37, 27, WS_VISIBLE, L"Deutsch"},
    {Id(Component::Image9), ControlKind::Picture, 384, 480, 37, 27, WS_VISIBLE, L"English"},
    {Id(Component::Image1), ControlKind::Picture, 0, 0, kFormWidth, kFormHeight, WS_VISIBLE, L""},
};

// The pointer over a control of the table: the hand over what reacts to a click,
// the drag pointer over the help text, the arrow over every other.
enum class Pointer { Hand, Drag };
constexpr std::pair<Component, Pointer> kPointers[] = {
    {Component::BitBtn2, Pointer::Hand}, {Component::Image2, Pointer::Hand},
    {Component::Image5, Pointer::Hand},  {Component::Image4, Pointer::Hand},
    {Component::Image8, Pointer::Hand},  {Component::Image9, Pointer::Hand},
    {Component::BitBtn1, Pointer::Hand}, {Component::Label_Help, Pointer::Drag},
};

// What each control's notification starts. A click on a picture comes as
// STN_CLICKED, which is BN_CLICKED's value.
struct Command {
    Component component;
    int code;
    void (TForm1::*handler)();
};
constexpr Command kCommands[] = {
    {Component::ListBox1, LBN_SELCHANGE, &TForm1::ListBox1Click},
    {Component::ListBox1, LBN_DBLCLK, &TForm1::ListBox1DblClick},
    {Component::Image2, STN_CLICKED, &TForm1::Image2Click},
    {Component::BitBtn2, BN_CLICKED, &TForm1::BitBtn2Click},
    {Component::Image4, STN_CLICKED, &TForm1::Image4Click},
    {Component::Image5, STN_CLICKED, &TForm1::Image5Click},
    {Component::Image8, STN_CLICKED, &TForm1::Image8Click},
    {Component::Image9, STN_CLICKED, &TForm1::Image9Click},
    {Component::Image10, STN_CLICKED, &TForm1::Image10Click},
    {Component::BitBtn1, BN_CLICKED, &TForm1::BitBtn1Click},
    {Component::Button1, BN_CLICKED, &TForm1::Button1Click},
};

// The drag pointer: an arrow carrying a small dotted box, as drag-and-drop shows.
platform::win32::ScopedCursor MakeDragCursor(HINSTANCE instance) {
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
    return platform::win32::ScopedCursor(
        CreateCursor(instance, 0, 0, w, h, andMask.data(), xorMask.data()));
}

// A worker has said it is done: it is joined, then what was to follow it runs (once).
void FinishWorker(std::thread& worker, std::function<void()>& then) {
    if (worker.joinable())
        worker.join();
    if (then) {
        auto next = std::move(then);
        then = nullptr;
        next();
    }
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
    // The window goes first; the fonts, brushes, icons and pointer it used go with
    // the members.
    if (hwnd_)
        DestroyWindow(hwnd_);
}

bool Form1Window::Create() {
    dpi_ = gui::Dpi::OfScreen();

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
    backgroundBitmap_.Reset(background_->MakeBitmap(Scale(kFormWidth), Scale(kFormHeight)));
    if (backgroundBitmap_)
        backgroundBrush_.Reset(CreatePatternBrush(backgroundBitmap_.Get()));
    panelBrush_.Reset(CreateSolidBrush(kPanelColour));
    glyphClose_.Reset(Picture::FromResource(IDR_GLYPH_CLOSE).MakeIcon(Scale(16)));
    glyphOk_.Reset(Picture::FromResource(IDR_GLYPH_OK).MakeIcon(Scale(16)));
    dragCursor_ = MakeDragCursor(instance_);

    // Tahoma 8 point (11 pixels high at 96 DPI); Arial 8 point for the warning.
    fontHeight_ = dpi_.FontHeight(8);
    for (int family = 0; family < 3; ++family)
        fonts_[static_cast<size_t>(family)][0] = MakeFamilyFont(family, fontHeight_);
    icons_ = gui::LoadProgramIcons(instance_, IDI_SEASON);

    gui::RegisterWindowClass(
        instance_, gui::WindowClass{L"TPanel", PanelProc, nullptr, nullptr, panelBrush_.Get()});
    // Sent once the shell has made the task-bar button; its progress can be set
    // from then on.
    taskbarButtonCreated_ = RegisterWindowMessageW(L"TaskbarButtonCreated");

    // Centred on the screen; the window paints its background picture itself.
    const gui::WindowClass form{kFormClassName, gui::TargetWindowProc, icons_.big.Get(),
                                icons_.little.Get()};
    if (!gui::CreateMainWindow(instance_, form, kFormWindowText,
                               gui::CentredOnScreen(Scale(kFormWidth), Scale(kFormHeight)), *this))
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
    const std::vector<HWND> made =
        gui::CreateControls(hwnd_, gui::ControlTable{kLayout, L"TPanel"}, dpi_,
                            [this](const gui::ControlRecord& record) {
                                return FontFor(FamilyOf(ComponentOf(record.id)), 0);
                            });
    for (size_t i = 0; i < made.size(); ++i)
        controls_[static_cast<size_t>(ComponentOf(kLayout[i].id))] = made[i];

    SendMessageW(Control(Component::ListBox1), LB_SETITEMHEIGHT, 0, Scale(13));
    SendMessageW(Control(Component::BitBtn2), BM_SETIMAGE, IMAGE_ICON,
                 reinterpret_cast<LPARAM>(glyphClose_.Get()));
    SendMessageW(Control(Component::BitBtn1), BM_SETIMAGE, IMAGE_ICON,
                 reinterpret_cast<LPARAM>(glyphOk_.Get()));
    // The background and the list report pointer events of their own; every other
    // picture and label keeps the pointer while a button is held on it, so that a
    // press there never turns into a drag of the window.
    gui::OnBackgroundPointerMove(Control(Component::Image1),
                                 [this](bool buttonHeld) { form_.Image1MouseMove(buttonHeld); });
    gui::HookControl(Control(Component::ListBox1), [this](HWND list, UINT msg, WPARAM wp, LPARAM lp,
                                                          LRESULT& result) {
        if (msg != WM_LBUTTONDOWN && msg != WM_RBUTTONDOWN && msg != WM_MBUTTONDOWN)
            return false;
        result = DefSubclassProc(list, msg, wp, lp);
        form_.ListBox1MouseDown();
        return true;
    });
    for (const auto& record : kLayout) {
        const bool pictureOrLabel =
            record.kind == ControlKind::Picture || record.kind == ControlKind::Label;
        if (pictureOrLabel && record.id != Id(Component::Image1))
            gui::KeepPointerWhilePressed(Control(ComponentOf(record.id)));
    }
    SizeLabelToText(Component::Label3);
    FitCaption(Component::BitBtn1);
    FitCaption(Component::Label_Version);

    // Tooltips on the close icon and the two flags, and on the active season's line:
    // the add-ons that differ, once it says so.
    tooltips_.Create(hwnd_, Scale(400));
    const std::pair<Component, std::string_view> tips[] = {
        {Component::Image2, kCloseHint},
        {Component::Image8, kGermanFlagHint},
        {Component::Image9, kEnglishFlagHint},
        {Component::Label_Active, ""},
    };
    for (const auto& [component, text] : tips)
        tooltips_.AddForControl(Control(component), text);
}

// --- Window operations ------------------------------------------------------------

void Form1Window::SetText(Component c, const std::string& text) {
    gui::SetText(Control(c), text);
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
    gui::SetText(Control(picture), SeasonPictureName(entry));
    InvalidateRect(Control(picture), nullptr, FALSE);
    UpdateWindow(Control(picture));
}

void Form1Window::AppendListEntry(const std::string& entry) {
    SendMessageW(Control(Component::ListBox1), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(platform::win32::Widen(entry).c_str()));
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
    gui::BeginDragMove(hwnd_);
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
        SetCursor(gui::PointerOf(gui::SystemPointer::Wait));
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
        {
            // The shell's folder copies run on this thread.
            const platform::win32::ScopedCom com;
            work();
        }
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
    tooltips_.SetControlText(Control(c), text);
}

int Form1Window::AskYesNo(const std::string& text, const std::string& caption) {
    return platform::AskYesNo(hwnd_, text, caption);
}

void Form1Window::ShowInformation(const std::string& text) {
    platform::ShowMessage(hwnd_, text, std::string(kApplicationTitle));
}

// --- Messages -----------------------------------------------------------------------

LRESULT Form1Window::OnMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
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
        const platform::win32::ScopedMemoryDc source(CreateCompatibleDC(dc));
        const platform::win32::ScopedSelect selected(source.Get(), backgroundBitmap_.Get());
        BitBlt(dc, 0, 0, Scale(kFormWidth), Scale(kFormHeight), source.Get(), 0, 0, SRCCOPY);
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
        FinishWorker(worker_, afterWork_);
        return 0;
    case kAsideDone:
        FinishWorker(asideWorker_, afterAside_);
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
    return DefWindowProcW(window, msg, wp, lp);
}

void Form1Window::OnCommand(int id, int code) {
    for (const Command& command : kCommands) {
        if (Id(command.component) == id && command.code == code) {
            (form_.*command.handler)();
            return;
        }
    }
}

LRESULT Form1Window::OnCtlColor(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    SetTextColor(dc, id == Id(Component::Label_Quorrin_warning) ? kWarningColour
                                                                : GetSysColor(COLOR_WINDOWTEXT));
    if (GetParent(control) == Control(Component::Panel_Help)) {
        SetBkColor(dc, kPanelColour);
        return reinterpret_cast<LRESULT>(panelBrush_.Get());
    }
    // Transparent: the label's box is filled with the piece of the background
    // picture that lies beneath it.
    return gui::TransparentOver(hwnd_, dc, control,
                                backgroundBrush_ ? backgroundBrush_.Get()
                                                 : GetSysColorBrush(COLOR_BTNFACE));
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
    const platform::win32::ScopedMemoryDc buffer(CreateCompatibleDC(item.hDC));
    const platform::win32::ScopedGdiObject<HBITMAP> bits(
        CreateCompatibleBitmap(item.hDC, width, height));
    const platform::win32::ScopedSelect bitsSelected(buffer.Get(), bits.Get());
    {
        const platform::win32::ScopedMemoryDc source(CreateCompatibleDC(item.hDC));
        const platform::win32::ScopedSelect sourceSelected(source.Get(), backgroundBitmap_.Get());
        const POINT at = gui::PositionIn(hwnd_, item.hwndItem);
        BitBlt(buffer.Get(), 0, 0, width, height, source.Get(), at.x, at.y, SRCCOPY);
    }
    if (const Picture* picture = PictureOf(ComponentOf(static_cast<int>(item.CtlID))))
        picture->Draw(buffer.Get(), RECT{0, 0, width, height});
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, buffer.Get(), 0, 0, SRCCOPY);
}

bool Form1Window::SetPointer(HWND under) {
    if (busy_) {
        SetCursor(gui::PointerOf(gui::SystemPointer::Wait));
        return true;
    }
    const auto control = std::find(controls_.begin(), controls_.end(), under);
    if (!under || control == controls_.end())
        return false;
    const auto component = static_cast<Component>(control - controls_.begin());
    const auto pointer = std::find_if(std::begin(kPointers), std::end(kPointers),
                                      [component](const auto& p) { return p.first == component; });
    if (pointer == std::end(kPointers))
        SetCursor(gui::PointerOf(gui::SystemPointer::Arrow));
    else if (pointer->second == Pointer::Hand)
        SetCursor(gui::PointerOf(gui::SystemPointer::Hand));
    else
        SetCursor(dragCursor_.Get());
    return true;
}

void Form1Window::SizeLabelToText(Component c) {
    HWND label = Control(c);
    const std::wstring text = gui::WideTextOf(label);
    SIZE size{};
    {
        const platform::win32::ScopedGetDc dc(label);
        const platform::win32::ScopedSelect selected(dc.Get(), FontFor(0, 0));
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    SetWindowPos(label, nullptr, 0, 0, size.cx, Scale(13),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

int Form1Window::FamilyOf(Component c) {
    return c == Component::Button1 ? 1 : c == Component::Label_Quorrin_warning ? 2 : 0;
}

platform::win32::ScopedGdiObject<HFONT> Form1Window::MakeFamilyFont(int family, int height) {
    return gui::MakeFont(family == 2 ? L"Arial" : L"Tahoma", height, family == 1);
}

HFONT Form1Window::FontFor(int family, int step) {
    auto& font = fonts_[static_cast<size_t>(family)][static_cast<size_t>(std::max(step, 0))];
    if (!font)
        font = MakeFamilyFont(family, FontHeightAtStep(fontHeight_, step));
    return font.Get();
}

void Form1Window::FitCaption(Component c) {
    HWND control = Control(c);
    if (!control)
        return;
    const int family = FamilyOf(c);
    const std::wstring text = gui::WideTextOf(control);

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

    const platform::win32::ScopedGetDc dc(control);
    const auto measure = [&](int step) {
        const platform::win32::ScopedSelect selected(dc.Get(), FontFor(family, step));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.Get(), &metrics);
        TextExtent extent;
        int lines = 0;
        // Lines end at a CR or LF; a CR LF pair ends one line.
        for (size_t start = 0; start <= text.size();) {
            size_t end = text.find_first_of(L"\r\n", start);
            if (end == std::wstring::npos)
                end = text.size();
            SIZE size{};
            GetTextExtentPoint32W(dc.Get(), text.data() + start, static_cast<int>(end - start),
                                  &size);
            extent.width = std::max(extent.width, static_cast<int>(size.cx));
            ++lines;
            if (end + 1 < text.size() && text[end] == L'\r' && text[end + 1] == L'\n')
                ++end;
            start = end + 1;
        }
        extent.height = lines * metrics.tmHeight;
        return extent;
    };
    const int step = FittingFontStep(measure, room);
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

} // namespace season::win32
