// Benchmark driver under Wine: runs "data\season.exe /season=S /mipmaps=no /quiet"
// in the tree beside it for each season S its arguments name, in turn, and prints
// the wall-clock time of each run from the start of the process to its end.
// Before each run it writes "data\bench-ready" and waits until the calling script
// has flushed the disk and written "data\bench-go": replacing files whose pages are
// still being written back would wait for that writing. Before each winter run it
// also writes "data\bench-start.stamp", so that the script can find the files the
// last winter run wrote.
//   season-cli-bench SEASON...
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Touch(const std::wstring& path) {
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

int main(int argc, char** argv) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder = folder.substr(0, folder.find_last_of(L'\\') + 1) + L"data\\";
    int result = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string season = argv[i];
        if (season == "winter") {
            Touch(folder + L"bench-start.stamp");
            Sleep(1100); // the stamp's time lies clearly before any file written
        }
        Touch(folder + L"bench-ready");
        for (int tenths = 0; tenths < 3000 && !Exists(folder + L"bench-go"); ++tenths)
            Sleep(100);
        DeleteFileW((folder + L"bench-go").c_str());
        DeleteFileW((folder + L"bench-ready").c_str());

        std::wstring command = L"\"" + folder + L"season.exe\" /season=" +
                               std::wstring(season.begin(), season.end()) + L" /mipmaps=no /quiet";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION p{};
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &si, &p)) {
            std::printf("season.exe did not start\n");
            return 1;
        }
        WaitForSingleObject(p.hProcess, INFINITE);
        QueryPerformanceCounter(&end);
        DWORD code = 0;
        GetExitCodeProcess(p.hProcess, &code);
        CloseHandle(p.hProcess);
        CloseHandle(p.hThread);
        std::printf("season.exe %s seconds %.3f exit %lu\n", season.c_str(),
                    static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart),
                    code);
        std::fflush(stdout);
        if (code != 0)
            result = static_cast<int>(code);
    }
    return result;
}
