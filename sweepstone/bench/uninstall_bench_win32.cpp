// sweepstone.exe /VERYSILENT removing a product of 10,000 files in 500 folders: 20
// area folders of 24 sub-folders each, 20 files of 4 KiB in every folder. The log
// names the 20 area folders in [Path] and every file in [File], as an installer that
// records all it wrote does. Each round builds the product beside this program,
// starts "Uninstall.exe /VERYSILENT /LOG=..." and times it from its start to its end
// (the self-deletion batch runs after that), then checks that everything is gone and
// that the exit code is 0. The floor it is measured against: the same deletions made
// with the bare calls and no rule (plain_uninstall_win32.cpp), on an identical tree
// with the same log, started and timed the same way right after it in each round. It
// also builds the same tree under rm-<round>\ for tools/bench-silent-uninstall.sh,
// which times rm -r of it on the Linux side. Needs data\sweepstone.exe and
// data\plain_uninstall.exe beside it (the sandbox runner's data).
#include "platform/deletion.h"
#include "scoped_win32.h"
#include "windows_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

namespace {

constexpr int kAreas = 20;
constexpr int kSubFolders = 24;     // 20 + 20 * 24 = 500 folders
constexpr int kFilesPerFolder = 20; // 500 * 20 = 10,000 files
constexpr DWORD kFileSize = 4096;

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

// The log is ANSI text, as installers write it; the paths here are ASCII.
std::string Narrow(const std::wstring& w) {
    return platform::win32::Narrow(w, CP_ACP);
}

// Clears what an earlier round left.
void DeleteTree(const std::wstring& path) {
    platform::DeleteTree(platform::win32::Narrow(path));
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    const platform::win32::ScopedFileHandle file(CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok && written == bytes.size();
}

// Builds the product's content below `root` ("root\Content\Area01\Sub01\file01.dat"
// ...) and returns the log's [Path] and [File] sections naming it.
std::string MakeContent(const std::wstring& root) {
    const std::string bytes(kFileSize, 'x');
    std::string paths = "[Path]\r\n", files = "[File]\r\n";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"Content").c_str(), nullptr);
    int fileNumber = 0;
    for (int a = 1; a <= kAreas; ++a) {
        wchar_t area[64];
        swprintf(area, 64, L"Content\\Area%02d", a);
        const std::wstring areaPath = root + area;
        CreateDirectoryW(areaPath.c_str(), nullptr);
        paths += "P" + std::to_string(a) + "=" + Narrow(areaPath) + "\r\n";
        for (int s = 0; s <= kSubFolders; ++s) {
            std::wstring folder = areaPath;
            if (s > 0) {
                wchar_t sub[32];
                swprintf(sub, 32, L"\\Sub%02d", s);
                folder += sub;
                CreateDirectoryW(folder.c_str(), nullptr);
            }
            for (int f = 1; f <= kFilesPerFolder; ++f) {
                wchar_t name[32];
                swprintf(name, 32, L"\\file%02d.dat", f);
                const std::wstring file = folder + name;
                if (!WriteBytes(file, bytes)) {
                    std::printf("cannot write %s\n", Narrow(file).c_str());
                    std::exit(2);
                }
                files += "F" + std::to_string(++fileNumber) + "=" + Narrow(file) + "\r\n";
            }
        }
    }
    return paths + files;
}

// Starts `command` in `folder` and returns the seconds from its start to its end;
// negative when it cannot be started.
double Timed(std::wstring command, const std::wstring& folder, DWORD& code) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi)) {
        std::printf("cannot start %s\n", Narrow(command).c_str());
        return -1;
    }
    const platform::win32::ScopedKernelHandle process(pi.hProcess);
    const platform::win32::ScopedKernelHandle thread(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    GetExitCodeProcess(pi.hProcess, &code);
    return seconds;
}

bool Removed(const std::wstring& root) {
    return GetFileAttributesW((root + L"Content\\Area01").c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetFileAttributesW((root + L"Content\\Area20").c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace

int main(int argc, char** argv) {
    const std::string phase = argc > 1 ? argv[1] : "";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    if (phase != "make" && phase != "run") {
        std::printf("usage: sweepstone_uninstall_bench make|run ROUNDS\n");
        return 2;
    }
    const std::wstring here = L"C:\\uninstall-bench\\";
    CreateDirectoryW(here.c_str(), nullptr);
    int status = 0;
    for (int round = 1; round <= rounds; ++round) {
        const std::wstring root = here + L"product-" + std::to_wstring(round) + L"\\";
        const std::wstring program = root + L"Program\\Uninstall.exe";
        const std::wstring plainRoot = here + L"plain-" + std::to_wstring(round) + L"\\";
        const std::wstring plain = plainRoot + L"Program\\plain_uninstall.exe";
        if (phase == "make") {
            for (const auto& [folder, source, target] :
                 {std::tuple{root, L"sweepstone.exe", program},
                  std::tuple{plainRoot, L"plain_uninstall.exe", plain}}) {
                DeleteTree(folder.substr(0, folder.size() - 1));
                const std::string log =
                    "[General]\r\nName=Benchmark Product\r\n" + MakeContent(folder);
                CreateDirectoryW((folder + L"Program").c_str(), nullptr);
                if (!CopyFileW((OwnFolder() + L"data\\" + source).c_str(), target.c_str(), FALSE) ||
                    !WriteBytes(folder + L"Program\\Uninstall.log", log)) {
                    std::printf("cannot place %s in %s\n", Narrow(source).c_str(),
                                Narrow(folder).c_str());
                    return 2;
                }
            }
            const std::wstring rmRoot = here + L"rm-" + std::to_wstring(round) + L"\\";
            DeleteTree(rmRoot.substr(0, rmRoot.size() - 1));
            MakeContent(rmRoot);
            std::printf("round %d: made product-%d, plain-%d and rm-%d\n", round, round, round,
                        round);
            continue;
        }

        DWORD code = 99;
        const double seconds =
            Timed(L"\"" + program + L"\" /VERYSILENT /LOG=\"" + root + L"report.txt\"", root, code);
        DWORD plainCode = 99;
        const double floor = Timed(L"\"" + plain + L"\"", plainRoot, plainCode);
        if (seconds < 0 || floor < 0)
            return 2;
        const bool gone = Removed(root);
        const bool plainGone = Removed(plainRoot);
        std::printf("round %d: sweepstone /VERYSILENT %.3f s, exit code %lu, %s; plain "
                    "deletions %.3f s, %s; ratio %.2f\n",
                    round, seconds, static_cast<unsigned long>(code),
                    gone ? "product removed" : "PRODUCT LEFT", floor,
                    plainGone ? "removed" : "LEFT", seconds / floor);
        if (code != 0 || !gone || plainCode != 0 || !plainGone)
            status = 1;
    }
    return status;
}
