// Benchmark driver under Wine: for each of its arguments in turn, runs
// "data\season.exe /season=S /mipmaps=no /quiet" in the tree beside it (S a season's
// name), or for "plain" "data\season-plain-switch.exe", the floor of a winter switch
// of generic add-ons (bare CopyFileW calls), and prints the wall-clock time of each
// run from the start of the process to its end, both started and timed the same way.
// Before each run it writes "data\bench-ready" and waits until the calling script
// has flushed the disk and written "data\bench-go": replacing files whose pages are
// still being written back would wait for that writing. Before each winter run it
// also writes "data\bench-start.stamp", so that the script can find the files the
// last winter run wrote.
//   season-cli-bench SEASON|plain...
#include "scoped_win32.h"
#include "windows_support.h"

#include <cstdio>
#include <string>

namespace {

void Touch(const std::wstring& path) {
    const platform::win32::ScopedFileHandle file(CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
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
        const std::string run = argv[i];
        const bool plain = run == "plain";
        if (run == "winter") {
            Touch(folder + L"bench-start.stamp");
            Sleep(1100); // the stamp's time lies clearly before any file written
        }
        Touch(folder + L"bench-ready");
        for (int tenths = 0; tenths < 3000 && !Exists(folder + L"bench-go"); ++tenths)
            Sleep(100);
        DeleteFileW((folder + L"bench-go").c_str());
        DeleteFileW((folder + L"bench-ready").c_str());

        std::wstring command = plain ? L"\"" + folder + L"season-plain-switch.exe\""
                                     : L"\"" + folder + L"season.exe\" /season=" +
                                           std::wstring(run.begin(), run.end()) +
                                           L" /mipmaps=no /quiet";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION p{};
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &si, &p)) {
            std::printf("%s did not start\n", plain ? "season-plain-switch.exe" : "season.exe");
            return 1;
        }
        const platform::win32::ScopedKernelHandle process(p.hProcess);
        const platform::win32::ScopedKernelHandle thread(p.hThread);
        WaitForSingleObject(p.hProcess, INFINITE);
        QueryPerformanceCounter(&end);
        DWORD code = 0;
        GetExitCodeProcess(p.hProcess, &code);
        std::printf("%s %s seconds %.3f exit %lu\n",
                    plain ? "season-plain-switch.exe" : "season.exe", run.c_str(),
                    static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart),
                    code);
        std::fflush(stdout);
        if (code != 0)
            result = static_cast<int>(code);
    }
    return result;
}
