// Benchmark driver under Wine: runs "data\season.exe /season=winter /mipmaps=no
// /quiet" in the tree beside it and prints the wall-clock time from the start of
// the process to its end. Before the start it writes "data\bench-start.stamp", so
// that the calling script can find the files the switch wrote, and waits until the
// script has flushed the freshly copied tree to disk and written "data\bench-go"
// (at most the number of seconds its argument gives, default 120): replacing files
// whose pages are still being written back would wait for that writing.
//   season-cli-bench [SECONDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder = folder.substr(0, folder.find_last_of(L'\\') + 1) + L"data\\";
    HANDLE stamp = CreateFileW((folder + L"bench-start.stamp").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(stamp);
    // At least a second: the stamp's time lies clearly before any file written.
    Sleep(1100);
    const int wait = argc > 1 ? std::atoi(argv[1]) : 120;
    for (int tenths = 0; tenths < wait * 10; ++tenths) {
        if (GetFileAttributesW((folder + L"bench-go").c_str()) != INVALID_FILE_ATTRIBUTES)
            break;
        Sleep(100);
    }

    std::wstring command = L"\"" + folder + L"season.exe\" /season=winter /mipmaps=no /quiet";
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
    std::printf("season.exe seconds %.3f exit %lu\n",
                static_cast<double>(end.QuadPart - start.QuadPart) /
                    static_cast<double>(frequency.QuadPart),
                code);
    return static_cast<int>(code);
}
