// What the programs' Win32 windows have in common: the window procedure that hands
// each message to the object owning the window, the frameless main window and its
// class, child controls made from a table of plain records, tooltips, fonts and
// pointers at the screen's DPI, the program's icons, the move by the window's
// background and the message loop. Each window keeps only what is its own: its
// table, its pictures and colours, and its handlers. Message boxes are
// platform/dialogs.h. Windows only; window bindings are the only users.
#pragma once

#include "scoped_win32.h"
#include "windows_support.h"

// The common controls: hooks pass messages on with DefSubclassProc.
#include <commctrl.h>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gui {

// --- The window procedure ------------------------------------------------------------

// The window procedure of every class whose windows are made for a MessageTarget.
LRESULT CALLBACK TargetWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

// The object that handles the messages of one window. It goes to the window as the
// creation parameter (CreateMainWindow does that). From WM_NCCREATE on, hwnd_ is the
// window, each WM_COMMAND reaches OnCommand split into the control's identifier and
// its notification code, and every other message reaches OnMessage.
class MessageTarget {
public:
    virtual void OnCommand(int id, int code) = 0;
    virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wp, LPARAM lp) = 0;

protected:
    ~MessageTarget() = default;
    HWND hwnd_ = nullptr;

private:
    friend LRESULT CALLBACK TargetWindowProc(HWND, UINT, WPARAM, LPARAM);
};

// A hook on one control's messages, ahead of the control's own handling: true when
// it handled the message (`result` is then returned), false to pass it on. It lives
// as long as the control.
using ControlHook =
    std::function<bool(HWND control, UINT message, WPARAM wp, LPARAM lp, LRESULT& result)>;
void HookControl(HWND control, ControlHook hook);

// --- Scale --------------------------------------------------------------------------

// Layouts are given in pixels at 96 DPI and shown at the screen's DPI.
struct Dpi {
    int dotsPerInch = 96;

    // The screen's (LOGPIXELSY); 96 when it cannot be read.
    static Dpi OfScreen();
    int Scale(int pixels) const { return MulDiv(pixels, dotsPerInch, 96); }
    // The character height of a font of `points` points (negative: lfHeight).
    int FontHeight(int points) const { return -MulDiv(points, dotsPerInch, 72); }
};

// A font of the face at the character height `height` (lfHeight: negative pixels).
win32::ScopedGdiObject<HFONT> MakeFont(const wchar_t* face, int height, bool bold = false);

// --- Icons and pointers --------------------------------------------------------------

// The program's icon resource at the sizes of the window's two icons.
struct ProgramIcons {
    win32::ScopedIcon big;    // SM_CXICON: Alt+Tab
    win32::ScopedIcon little; // SM_CXSMICON: the task bar and the window's menu
};
ProgramIcons LoadProgramIcons(HINSTANCE instance, int resourceId);

enum class SystemPointer { Arrow, Hand, Wait };
HCURSOR PointerOf(SystemPointer pointer);

// --- The main window -----------------------------------------------------------------

struct WindowClass {
    const wchar_t* name;
    WNDPROC procedure = TargetWindowProc;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    HBRUSH background = nullptr; // null: the window paints its background itself
};
// Registers the class with the arrow pointer; a class that exists already stays.
void RegisterWindowClass(HINSTANCE instance, const WindowClass& windowClass);

// A frameless main window (no border, title bar or system buttons: the client area
// is the whole window) of the class, with its own task-bar button, whose messages go
// to `target`. The class's icons are the window's icons too, where the task bar and
// Alt+Tab ask for them. Null when it could not be made.
HWND CreateMainWindow(HINSTANCE instance, const WindowClass& windowClass, const wchar_t* text,
                      const RECT& place, MessageTarget& target);

// Where a window of that size lies in the screen's centre.
RECT CentredOnScreen(int width, int height);

// The top left corner of `control` in the client area of `window`.
POINT PositionIn(HWND window, HWND control);

// --- Controls ------------------------------------------------------------------------

enum class ControlKind {
    Picture, // drawn by the window (SS_OWNERDRAW), reports clicks
    Label,   // text; takes the pointer's events itself, so that only the bare
             // background moves the window
    ListBox,
    Button,
    Progress, // msctls_progress32
    Panel,    // a window of the class named in ControlTable::panelClass, holding
              // the controls whose `parent` is its identifier
};

// One control of a window, as the window's table lists it.
struct ControlRecord {
    int id; // the control identifier (GetDlgCtrlID)
    ControlKind kind;
    int left, top, width, height; // at 96 DPI, in its parent's client area
    DWORD style;                  // added to WS_CHILD | WS_CLIPSIBLINGS and the kind's own
    const wchar_t* text;          // design text, or the accessible name of a picture
    int parent = 0;               // the panel it lies in; 0: the window itself
};

struct ControlTable {
    std::span<const ControlRecord> records; // in z-order from the top: the tab order
    const wchar_t* panelClass = nullptr;
};

// Makes the table's controls on `window`, each below those made before it, at the
// DPI's scale, with the font `fontOf` gives for it. Returns the controls in the
// table's order (null where one could not be made).
std::vector<HWND> CreateControls(HWND window, const ControlTable& table, const Dpi& dpi,
                                 const std::function<HFONT(const ControlRecord&)>& fontOf);

// A control's text as the system holds it (for measuring), and setting it from
// UTF-8.
std::wstring WideTextOf(HWND control);
void SetText(HWND control, std::string_view text);

// For a control lying transparently over the window's background picture: paints
// the piece of `background` (a pattern brush of the picture at the window's size)
// that lies beneath the control (answer to WM_CTLCOLORSTATIC and WM_CTLCOLORBTN).
LRESULT TransparentOver(HWND window, HDC dc, HWND control, HBRUSH background);

// --- Moving by the background --------------------------------------------------------

// The bare background, which moves the window: each move of the pointer over it
// goes to `moved`, with whether the primary button is held, instead of to the
// control.
void OnBackgroundPointerMove(HWND background, std::function<void(bool buttonHeld)> moved);

// A control on which a press never turns into a move of the window: it keeps the
// pointer while the primary button is held on it.
void KeepPointerWhilePressed(HWND control);

// Moves the window with the pointer while the primary button stays down, as a drag
// of its title bar would.
void BeginDragMove(HWND window);

// --- Tooltips ------------------------------------------------------------------------

// The tooltips of one window. Texts are UTF-8. The tooltip window goes with its
// owner.
class Tooltips {
public:
    // `maxWidth`: the widest tip in pixels; wider texts wrap.
    void Create(HWND owner, int maxWidth);
    // A tip over a control of the owner.
    void AddForControl(HWND control, std::string_view text);
    // A tip over an area of `window`'s client area, known by `id`.
    void AddForArea(HWND window, UINT_PTR id, const RECT& area, std::string_view text);
    void SetControlText(HWND control, std::string_view text);
    void SetAreaText(HWND window, UINT_PTR id, std::string_view text);
    HWND Handle() const { return tips_; }

private:
    void Send(UINT message, HWND window, UINT_PTR id, UINT flags, const RECT* area,
              std::string_view text);
    HWND owner_ = nullptr;
    HWND tips_ = nullptr;
};

// --- The message loop ----------------------------------------------------------------

// Dispatches the thread's messages until WM_QUIT, with the dialog keyboard interface
// (Tab, Enter, Esc) on `window` while it exists.
void RunMessageLoop(HWND window);

} // namespace platform::gui
