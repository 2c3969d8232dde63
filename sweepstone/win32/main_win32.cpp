// Program entry of sweepstone.exe: no command-line arguments, exit code 0.
#include "form2_win32.h"

#include "platform/library.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: never from the program's or the current folder.
    platform::HardenLibrarySearch();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    platform::gui::GdiplusSession gdiplus;
    {
        sweepstone::win32::Form2 form(instance);
        if (!form.Create())
            return 0;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (form.Handle() && IsDialogMessageW(form.Handle(), &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}
