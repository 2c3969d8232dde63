// One switcher per folder: a named mutex derived from the program's folder, held
// while the window is open, and a mark on the window that a second start on the
// same folder finds it by.
#pragma once

#include "scoped_win32.h"
#include "windows_gui.h"

#include <string>

namespace season::win32 {

class InstanceLock {
public:
    // The lock for the folder of the running program file.
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock; false when another switcher holds it (or holds it with
    // more rights than this one has, so that it cannot even be opened).
    bool Acquire();
    void Release();

    // Marks `window` as the switcher window of this folder.
    void MarkWindow(HWND window) const;
    void UnmarkWindow(HWND window) const;
    // Brings the marked window of another switcher on this folder to the front,
    // waiting up to `seconds` for it to appear; false when none appeared.
    bool BringOtherToFront(double seconds) const;

private:
    std::wstring name_;
    ULONG_PTR mark_ = 0;
    platform::win32::ScopedKernelHandle mutex_;
};

} // namespace season::win32
