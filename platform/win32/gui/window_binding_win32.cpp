#include "window_binding.h"

#include <algorithm>

namespace platform::gui {
namespace {

// WM_SYSCOMMAND's move, started as by a press on the caption: the system then moves
// the window with the pointer until the button is released.
constexpr WPARAM kDragMove = SC_MOVE | HTCAPTION;

// A hook that the control's destruction may reach while the hook itself runs (a
// click that closes the window): it is freed once the outermost call has returned.
struct InstalledHook {
    ControlHook hook;
    int running = 0;
    bool controlGone = false;
};

LRESULT CALLBACK HookProc(HWND control, UINT message, WPARAM wp, LPARAM lp, UINT_PTR id,
                          DWORD_PTR data) {
    auto* installed = reinterpret_cast<InstalledHook*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, HookProc, id);
        if (installed->running == 0)
            delete installed;
        else
            installed->controlGone = true;
        return DefSubclassProc(control, message, wp, lp);
    }
    LRESULT result = 0;
    ++installed->running;
    const bool handled = installed->hook(control, message, wp, lp, result);
    --installed->running;
    if (installed->controlGone) {
        if (installed->running == 0)
            delete installed;
        return handled ? result : 0;
    }
    return handled ? result : DefSubclassProc(control, message, wp, lp);
}

const wchar_t* ClassOf(ControlKind kind, const wchar_t* panelClass) {
    switch (kind) {
    case ControlKind::ListBox:
        return L"LISTBOX";
    case ControlKind::Button:
        return L"BUTTON";
    case ControlKind::Progress:
        return PROGRESS_CLASSW;
    case ControlKind::Panel:
        return panelClass;
    case ControlKind::Picture:
    case ControlKind::Label:
        break;
    }
    return L"STATIC";
}

DWORD StyleOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Picture:
        return SS_OWNERDRAW | SS_NOTIFY;
    case ControlKind::Label:
        return SS_NOTIFY | SS_NOPREFIX;
    default:
        return 0;
    }
}

} // namespace

LRESULT CALLBACK TargetWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    MessageTarget* target = nullptr;
    if (message == WM_NCCREATE) {
        target = static_cast<MessageTarget*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
        if (target)
            target->hwnd_ = window;
    } else {
        target = reinterpret_cast<MessageTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!target)
        return DefWindowProcW(window, message, wp, lp);
    if (message == WM_COMMAND) {
        target->OnCommand(LOWORD(wp), HIWORD(wp));
        return 0;
    }
    return target->OnMessage(window, message, wp, lp);
}

void HookControl(HWND control, ControlHook hook) {
    auto* installed = new InstalledHook{std::move(hook)};
    // The hook's address tells it apart from the control's other hooks.
    if (!SetWindowSubclass(control, HookProc, reinterpret_cast<UINT_PTR>(installed),
                           reinterpret_cast<DWORD_PTR>(installed)))
        delete installed;
}

Dpi Dpi::OfScreen() {
    const int dpi = GetDeviceCaps(win32::ScopedGetDc(nullptr).Get(), LOGPIXELSY);
    return Dpi{dpi > 0 ? dpi : 96};
}

win32::ScopedGdiObject<HFONT> MakeFont(const wchar_t* face, int height, bool bold) {
    return win32::ScopedGdiObject<HFONT>(
        CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face));
}

ProgramIcons LoadProgramIcons(HINSTANCE instance, int resourceId) {
    const auto load = [&](int width, int height) {
        return win32::ScopedIcon(static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, width, height, 0)));
    };
    return ProgramIcons{load(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)),
                        load(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON))};
}

HCURSOR PointerOf(SystemPointer pointer) {
    // The system's shared pointers (IDC_ARROW, IDC_HAND, IDC_WAIT), spelled for the
    // wide call.
    const int id = pointer == SystemPointer::Hand   ? 32649
                   : pointer == SystemPointer::Wait ? 32514
                                                    : 32512;
    return LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
}

void RegisterWindowClass(HINSTANCE instance, const WindowClass& windowClass) {
    WNDCLASSEXW c{};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = windowClass.procedure;
    c.hInstance = instance;
    c.hCursor = PointerOf(SystemPointer::Arrow);
    c.hIcon = windowClass.bigIcon;
    c.hIconSm = windowClass.smallIcon;
    c.hbrBackground = windowClass.background;
    c.lpszClassName = windowClass.name;
    RegisterClassExW(&c);
}

HWND CreateMainWindow(HINSTANCE instance, const WindowClass& windowClass, const wchar_t* text,
                      const RECT& place, MessageTarget& target) {
    RegisterWindowClass(instance, windowClass);
    HWND window = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, windowClass.name, text,
                                  WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
                                  place.left, place.top, place.right - place.left,
                                  place.bottom - place.top, nullptr, nullptr, instance, &target);
    if (!window)
        return nullptr;
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowClass.bigIcon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowClass.smallIcon));
    return window;
}

RECT CentredOnScreen(int width, int height) {
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return RECT{x, y, x + width, y + height};
}

POINT PositionIn(HWND window, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    POINT p{r.left, r.top};
    ScreenToClient(window, &p);
    return p;
}

std::vector<HWND> CreateControls(HWND window, const ControlTable& table, const Dpi& dpi,
                                 const std::function<HFONT(const ControlRecord&)>& fontOf) {
    const auto& records = table.records;
    std::vector<HWND> made(records.size(), nullptr);
    for (size_t i = 0; i < records.size(); ++i) {
        const ControlRecord& r = records[i];
        HWND parent = window;
        if (r.parent != 0) {
            // A panel comes before the controls it holds.
            const auto panel =
                std::find_if(records.begin(), records.begin() + i,
                             [&r](const ControlRecord& p) { return p.id == r.parent; });
            parent = panel == records.begin() + i ? nullptr : made[panel - records.begin()];
            if (!parent)
                continue;
        }
        const DWORD exStyle = r.kind == ControlKind::Panel ? WS_EX_CONTROLPARENT : 0;
        HWND h = CreateWindowExW(
            exStyle, ClassOf(r.kind, table.panelClass), r.text,
            WS_CHILD | WS_CLIPSIBLINGS | StyleOf(r.kind) | r.style, dpi.Scale(r.left),
            dpi.Scale(r.top), dpi.Scale(r.width), dpi.Scale(r.height), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(r.id)),
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr);
        made[i] = h;
        if (!h)
            continue;
        // Each new control goes below those made before it.
        SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(r)), FALSE);
    }
    return made;
}

std::wstring WideTextOf(HWND control) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(read, 0)));
    return text;
}

void SetText(HWND control, std::string_view text) {
    SetWindowTextW(control, win32::Widen(text).c_str());
}

LRESULT TransparentOver(HWND window, HDC dc, HWND control, HBRUSH background) {
    SetBkMode(dc, TRANSPARENT);
    const POINT at = PositionIn(window, control);
    SetBrushOrgEx(dc, -at.x, -at.y, nullptr);
    return reinterpret_cast<LRESULT>(background);
}

void OnBackgroundPointerMove(HWND background, std::function<void(bool buttonHeld)> moved) {
    HookControl(background,
                [moved = std::move(moved)](HWND, UINT message, WPARAM wp, LPARAM, LRESULT& result) {
                    if (message != WM_MOUSEMOVE)
                        return false;
                    moved((wp & MK_LBUTTON) != 0);
                    result = 0;
                    return true;
                });
}

void KeepPointerWhilePressed(HWND control) {
    HookControl(control, [](HWND c, UINT message, WPARAM wp, LPARAM lp, LRESULT& result) {
        if (message == WM_LBUTTONDOWN) {
            // The control's own handling first: a click may close the window.
            result = DefSubclassProc(c, message, wp, lp);
            if (IsWindow(c))
                SetCapture(c);
            return true;
        }
        if (message == WM_LBUTTONUP && GetCapture() == c)
            ReleaseCapture();
        return false;
    });
}

void BeginDragMove(HWND window) {
    ReleaseCapture();
    SendMessageW(window, WM_SYSCOMMAND, kDragMove, 0);
}

void Tooltips::Create(HWND owner, int maxWidth) {
    owner_ = owner;
    tips_ = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)), nullptr);
    SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, maxWidth);
}

void Tooltips::Send(UINT message, HWND window, UINT_PTR id, UINT flags, const RECT* area,
                    std::string_view text) {
    // The tooltip control keeps a copy of the text.
    std::wstring wide = win32::Widen(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = flags;
    tool.hwnd = window;
    tool.uId = id;
    if (area)
        tool.rect = *area;
    tool.lpszText = wide.data();
    SendMessageW(tips_, message, 0, reinterpret_cast<LPARAM>(&tool));
}

void Tooltips::AddForControl(HWND control, std::string_view text) {
    Send(TTM_ADDTOOLW, owner_, reinterpret_cast<UINT_PTR>(control), TTF_IDISHWND | TTF_SUBCLASS,
         nullptr, text);
}

void Tooltips::AddForArea(HWND window, UINT_PTR id, const RECT& area, std::string_view text) {
    Send(TTM_ADDTOOLW, window, id, TTF_SUBCLASS, &area, text);
}

void Tooltips::SetControlText(HWND control, std::string_view text) {
    Send(TTM_UPDATETIPTEXTW, owner_, reinterpret_cast<UINT_PTR>(control), 0, nullptr, text);
}

void Tooltips::SetAreaText(HWND window, UINT_PTR id, std::string_view text) {
    Send(TTM_UPDATETIPTEXTW, window, id, 0, nullptr, text);
}

void RunMessageLoop(HWND window) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(window) && IsDialogMessageW(window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace platform::gui
