#include "window_driver.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace window_driver {
namespace {

BOOL CALLBACK CollectLongestStatic(HWND child, LPARAM data) {
    auto* seen = reinterpret_cast<MessageBoxSeen*>(data);
    if (ClassOf(child) == L"Static") {
        const std::wstring t = TextOf(child);
        if (t.size() > seen->text.size())
            seen->text = t;
    }
    return TRUE;
}

struct Search {
    DWORD pid;
    const wchar_t* cls;
    HWND found;
};

BOOL CALLBACK MatchVisibleWindow(HWND h, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == s->pid && ClassOf(h) == s->cls && IsWindowVisible(h)) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

} // namespace

bool NoDisplayUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const bool underWine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    if (!underWine || GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) != 0)
        return false;
    std::printf("no X display (DISPLAY is not set): the window tests are skipped\n");
    return true;
}

std::wstring DriverFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string InCodePage(const std::wstring& text, UINT codePage) {
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::string Narrow(const std::wstring& text) {
    return InCodePage(text, CP_ACP);
}

std::string Utf8(const std::wstring& text) {
    return InCodePage(text, CP_UTF8);
}

void DeleteTree(const std::wstring& folder) {
    // The shell's source list is ended by two NUL characters.
    std::wstring from = folder;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationW(&op);
}

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    std::wstring source = from + L"\\*";
    source.push_back(L'\0');
    std::wstring target = to;
    target.push_back(L'\0');
    CreateDirectoryW(to.c_str(), nullptr);
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    op.pFrom = source.c_str();
    op.pTo = target.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationW(&op) == 0;
}

std::wstring TextOf(HWND h) {
    wchar_t buffer[2048] = {};
    SendMessageTimeoutW(h, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        5000, nullptr);
    return buffer;
}

std::wstring ClassOf(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return name;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, bool mustBeVisible) {
    if (!mustBeVisible) {
        HWND h = nullptr;
        while ((h = FindWindowExW(nullptr, h, className, nullptr))) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == processId)
                return h;
        }
        return nullptr;
    }
    Search search{processId, className, nullptr};
    EnumWindows(MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

MessageBoxSeen ReadMessageBox(HWND box) {
    MessageBoxSeen seen;
    seen.hwnd = box;
    if (!box)
        return seen;
    seen.caption = TextOf(box);
    EnumChildWindows(box, CollectLongestStatic, reinterpret_cast<LPARAM>(&seen));
    return seen;
}

MessageBoxSeen WaitForMessageBox(DWORD processId, double seconds) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindProcessWindow(processId, L"#32770")) != nullptr; }, seconds);
    return ReadMessageBox(box);
}

void AnswerMessageBox(const MessageBoxSeen& box, int button) {
    PostMessageW(GetDlgItem(box.hwnd, button), BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindow(box.hwnd); }, 10);
}

void DragWithPointer(POINT from, int dx, int dy) {
    SetCursorPos(from.x, from.y);
    Sleep(100);
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &press, sizeof(press));
    Sleep(100);
    for (int step = 1; step <= 5; ++step) {
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = dx / 5;
        move.mi.dy = dy / 5;
        move.mi.dwFlags = MOUSEEVENTF_MOVE;
        SendInput(1, &move, sizeof(move));
        Sleep(100);
    }
    INPUT release{};
    release.type = INPUT_MOUSE;
    release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &release, sizeof(release));
    Sleep(300);
}

RECT RectAfterDrag(HWND window, POINT from, int dx, int dy) {
    RECT before;
    GetWindowRect(window, &before);
    DragWithPointer(from, dx, dy);
    RECT after = before;
    WaitFor(
        [&] {
            GetWindowRect(window, &after);
            return after.left != before.left || after.top != before.top;
        },
        5);
    return after;
}

InkColumns DarkColumns(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    InkColumns ink;
    ink.width = r.right - r.left;
    const int height = r.bottom - r.top;
    const platform::win32::ScopedGetDc screen(nullptr);
    for (int x = 0; x < ink.width; ++x) {
        for (int y = height / 4; y < height - height / 4; ++y) {
            const COLORREF c = GetPixel(screen.Get(), r.left + x, r.top + y);
            const int top = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
            if (c != CLR_INVALID && top < 110) {
                if (ink.first < 0)
                    ink.first = x;
                ink.last = x;
                break;
            }
        }
    }
    return ink;
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const platform::win32::ScopedGetDc screen(nullptr);
    const platform::win32::ScopedMemoryDc dc(CreateCompatibleDC(screen.Get()));
    const platform::win32::ScopedGdiObject<HBITMAP> bitmap(
        CreateCompatibleBitmap(screen.Get(), w, h));
    {
        // Selected out again before GetDIBits reads it.
        const platform::win32::ScopedSelect selected(dc.Get(), bitmap.Get());
        BitBlt(dc.Get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
    }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = ((w * 3) + 3) & ~3;
    std::vector<char> pixels(static_cast<size_t>(stride * h));
    GetDIBits(dc.Get(), bitmap.Get(), 0, static_cast<UINT>(h), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

} // namespace window_driver
