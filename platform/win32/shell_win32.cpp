#include "platform/shell.h"

#include "platform/path.h"

#include "scoped_win32.h"
#include "windows_support.h"

#include <exdisp.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

namespace platform {
namespace {

using win32::ScopedBstr;
using win32::ScopedComPointer;

// A COM failure as an error value: a Win32 error carried in an HRESULT as its
// code, any other HRESULT as itself (FormatMessageW knows the common ones).
std::error_code ComError(HRESULT result) {
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return win32::MakeError(HRESULT_CODE(result));
    return win32::MakeError(static_cast<DWORD>(result));
}

// A VARIANT that refers to `text` (owned elsewhere); never cleared.
VARIANT TextVariant(const ScopedBstr& text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();
    return v;
}

// The application object (Shell.Application) of the desktop's own shell process,
// reached through the folder view of the desktop window, the one way that leads to
// the instance inside the shell rather than a new one inside this process. Null,
// with the reason, when there is no desktop shell to reach.
HRESULT DesktopShell(ScopedComPointer<IShellDispatch2>& shell) {
    ScopedComPointer<IShellWindows> windows;
    HRESULT result = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                      windows.ReceiveVoid());
    if (FAILED(result))
        return result;
    VARIANT desktop;
    VariantInit(&desktop);
    desktop.vt = VT_I4;
    desktop.lVal = CSIDL_DESKTOP;
    VARIANT empty;
    VariantInit(&empty);
    long window = 0;
    ScopedComPointer<IDispatch> found;
    // S_FALSE: no desktop window is registered; the call gives no object then.
    result = windows->FindWindowSW(&desktop, &empty, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                                   found.Receive());
    if (result != S_OK || !found)
        return FAILED(result) ? result : E_FAIL;
    ScopedComPointer<IServiceProvider> provider;
    if (FAILED(result = found->QueryInterface(IID_IServiceProvider, provider.ReceiveVoid())))
        return result;
    ScopedComPointer<IShellBrowser> browser;
    if (FAILED(result = provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                               browser.ReceiveVoid())))
        return result;
    ScopedComPointer<IShellView> view;
    if (FAILED(result = browser->QueryActiveShellView(view.Receive())) || !view)
        return FAILED(result) ? result : E_FAIL;
    ScopedComPointer<IDispatch> background;
    if (FAILED(result =
                   view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.ReceiveVoid())))
        return result;
    ScopedComPointer<IShellFolderViewDual> folderView;
    if (FAILED(result =
                   background->QueryInterface(IID_IShellFolderViewDual, folderView.ReceiveVoid())))
        return result;
    ScopedComPointer<IDispatch> application;
    if (FAILED(result = folderView->get_Application(application.Receive())) || !application)
        return FAILED(result) ? result : E_FAIL;
    return application->QueryInterface(IID_IShellDispatch2, shell.ReceiveVoid());
}

} // namespace

DesktopOpen OpenAsDesktopUser(const std::string& file, const std::string& parameters) {
    const win32::ScopedCom com;
    ScopedComPointer<IShellDispatch2> shell;
    if (const HRESULT result = DesktopShell(shell); FAILED(result) || !shell)
        return {false, FAILED(result) ? ComError(result) : std::error_code()};
    const ScopedBstr name(SysAllocString(win32::Widen(file).c_str()));
    const ScopedBstr arguments(SysAllocString(win32::Widen(parameters).c_str()));
    const ScopedBstr folder(SysAllocString(win32::Widen(FolderOf(file)).c_str()));
    if (!name || !arguments || !folder)
        return {true, win32::MakeError(ERROR_OUTOFMEMORY)};
    VARIANT defaultVerb;
    VariantInit(&defaultVerb);
    VARIANT show;
    VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    const HRESULT result = shell->ShellExecute(name.Get(), TextVariant(arguments),
                                               TextVariant(folder), defaultVerb, show);
    return {true, FAILED(result) ? ComError(result) : std::error_code()};
}

ElevatedRun RunElevatedAndWait(void* owner, const std::string& file,
                               const std::string& parameters) {
    const std::wstring wideFile = win32::Widen(file);
    const std::wstring wideParameters = win32::Widen(parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = static_cast<HWND>(owner);
    info.lpVerb = L"runas";
    info.lpFile = wideFile.c_str();
    info.lpParameters = wideParameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    ElevatedRun run;
    if (!ShellExecuteExW(&info)) {
        run.cancelled = GetLastError() == ERROR_CANCELLED;
        return run;
    }
    run.started = true;
    const win32::ScopedKernelHandle process(info.hProcess);
    if (process) {
        WaitForSingleObject(process.Get(), INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.Get(), &code);
        run.exitCode = code;
    }
    return run;
}

std::string FullPathName(const std::string& path) {
    const std::wstring wide = win32::Widen(path);
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD n = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    full.resize(n);
    return win32::Narrow(full);
}

} // namespace platform
