#include "instance_win32.h"

#include "components.h"
#include "guards.h"

#include "platform/path.h"
#include "platform/text.h"

namespace season::win32 {
namespace {

constexpr const wchar_t* kMarkProperty = L"Brightmere.Turnleaf.Folder";

std::wstring Wide(const std::string& utf8) {
    return platform::win32::Widen(utf8);
}

std::string Utf8(const std::wstring& wide) {
    return platform::win32::Narrow(wide);
}

// The program's folder as the system spells it, in the system's upper case (the
// rule by which it compares names), as UTF-8.
std::string ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return platform::UpperCaseName(platform::FolderOf(Utf8(path)));
}

struct Search {
    ULONG_PTR mark;
    DWORD self;
    HWND found;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->self)
        return TRUE;
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (lstrcmpW(name, kFormClassName) != 0)
        return TRUE;
    if (reinterpret_cast<ULONG_PTR>(GetPropW(window, kMarkProperty)) != search->mark)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

InstanceLock::InstanceLock() {
    const std::string folder = ProgramFolder();
    name_ = Wide(InstanceMutexName(folder));
    // Never zero: a window without the property reads as zero.
    mark_ = static_cast<ULONG_PTR>(FolderFingerprint(folder)) | 1u;
}

InstanceLock::~InstanceLock() {
    Release();
}

bool InstanceLock::Acquire() {
    if (mutex_.Valid())
        return true;
    platform::win32::ScopedKernelHandle mutex(CreateMutexW(nullptr, FALSE, name_.c_str()));
    // An elevated switcher's mutex may not even be opened by a normal one.
    if (!mutex.Valid() || GetLastError() == ERROR_ALREADY_EXISTS)
        return false;
    mutex_ = std::move(mutex);
    return true;
}

void InstanceLock::Release() {
    mutex_.Reset();
}

void InstanceLock::MarkWindow(HWND window) const {
    SetPropW(window, kMarkProperty, reinterpret_cast<HANDLE>(mark_));
}

void InstanceLock::UnmarkWindow(HWND window) const {
    RemovePropW(window, kMarkProperty);
}

bool InstanceLock::BringOtherToFront(double seconds) const {
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        Search search{mark_, GetCurrentProcessId(), nullptr};
        EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            if (IsIconic(search.found))
                ShowWindow(search.found, SW_RESTORE);
            // A question the other switcher shows comes to the front with it.
            SetForegroundWindow(GetLastActivePopup(search.found));
            return true;
        }
        if (static_cast<LONG>(GetTickCount() - end) >= 0)
            return false;
        Sleep(100);
    }
}

} // namespace season::win32
