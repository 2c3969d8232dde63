// The floor of a quiet winter switch of generic add-ons: the copies that
// "season.exe /season=winter /quiet" makes for them, with the bare calls and no
// rule at all. For every folder beside this program it copies
// Texture\Default\treeshw.bmp over Texture\treesSU.bmp with CopyFileW, and nothing
// else: no detection, no check, no report. tools/bench-season-cli.sh has
// season-cli-bench start and time it as it starts and times season.exe, on the same
// tree.
#include "scoped_win32.h"
#include "windows_support.h"

#include <string>

// A window program as season.exe is, so that both start the same way.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder = self;
    folder.resize(folder.find_last_of(L'\\') + 1);
    WIN32_FIND_DATAW data;
    const platform::win32::ScopedFindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
    if (!find)
        return 2;
    int failed = 0;
    do {
        const std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || name == L"." ||
            name == L"..")
            continue;
        const std::wstring texture = folder + name + L"\\Texture\\";
        if (!CopyFileW((texture + L"Default\\treeshw.bmp").c_str(),
                       (texture + L"treesSU.bmp").c_str(), FALSE))
            ++failed;
    } while (FindNextFileW(find.Get(), &data));
    return failed == 0 ? 0 : 1;
}
