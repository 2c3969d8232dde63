// Program entry of season.exe: no command-line arguments, exit code 0. A second
// start on a folder that a switcher already works on brings that one's window to
// the front and ends.
#include "form1_win32.h"
#include "instance_win32.h"

#include "platform/library.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: never from the program's or the current folder.
    platform::HardenLibrarySearch();
    season::win32::InstanceLock lock;
    if (!lock.Acquire()) {
        // The other one may still be starting: its window comes within moments.
        lock.BringOtherToFront(10);
        return 0;
    }
    // For the task-bar button's progress.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    platform::gui::GdiplusSession gdiplus;
    {
        // The application's title is the main window's text: the task bar shows
        // it, and it captions the program's information messages.
        season::win32::Form1Window form(instance, lock);
        if (!form.Create()) {
            if (SUCCEEDED(com))
                CoUninitialize();
            return 0;
        }
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (form.Handle() && IsDialogMessageW(form.Handle(), &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
