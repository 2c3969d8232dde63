// Helpers for the end-to-end drivers that start a program under test and drive its
// window from another process, as a user would: finding its windows, reading
// texts, answering its message boxes, real pointer input and screenshots.
#pragma once

#include "scoped_win32.h"

#include <chrono>
#include <string>
#include <thread>

namespace window_driver {

// Under Wine windows need an X display; without one (DISPLAY not set) a window test
// would only wait for windows that never come. Says so on standard output and
// returns true then: the caller reports "skipped".
bool NoDisplayUnderWine();

// The folder of the running driver, ending in a backslash.
std::wstring DriverFolder();

// A file's bytes, or "<missing>".
std::string ReadFile(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// Text in a code page: CP_ACP, the system's, or CP_UTF8.
std::string InCodePage(const std::wstring& text, UINT codePage);
// Text in the system code page, for test messages.
std::string Narrow(const std::wstring& text);
std::string Utf8(const std::wstring& text);

// Deletes a folder with everything in it through the shell, silently: clears what an
// earlier run left, independently of the programs' own deletion.
void DeleteTree(const std::wstring& folder);
// Copies every file and sub-folder of `from` into `to` (made when missing) through
// the shell, silently.
bool CopyTree(const std::wstring& from, const std::wstring& to);

std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);

// Waits until `done` holds, up to `seconds`.
template <typename F> bool WaitFor(F done, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// A top-level window of the process of that class (visible ones only, unless
// `mustBeVisible` is false: tooltip windows stay hidden until a tip shows).
HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool mustBeVisible = true);

struct MessageBoxSeen {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
};

// A message box's caption and text (the longest of its static controls).
MessageBoxSeen ReadMessageBox(HWND box);
// The next message box of the process, or one with a null handle after `seconds`.
MessageBoxSeen WaitForMessageBox(DWORD processId, double seconds = 20);
// Presses a button of a message box and waits until the box is gone.
void AnswerMessageBox(const MessageBoxSeen& box, int button);

// Real pointer input: press the primary button at `from`, move in steps, release.
void DragWithPointer(POINT from, int dx, int dy);

// Drags from `from` by (dx, dy) with real pointer input and returns the window's
// rectangle once it has moved, or after five seconds when it has not.
RECT RectAfterDrag(HWND window, POINT from, int dx, int dy);

// The columns of a control, as the screen shows it, that hold dark grey or black
// pixels (text, not coloured pictures) in the middle half of its rows; -1 when
// there are none.
struct InkColumns {
    int first = -1;
    int last = -1;
    int width = 0; // of the control
};
InkColumns DarkColumns(HWND control);

// Saves what the screen shows of the window as a 24-bit BMP.
bool SaveScreenshot(HWND window, const std::wstring& path);

} // namespace window_driver
