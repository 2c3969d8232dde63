// The floor of the benchmark's work: the deletions that sweepstone.exe /VERYSILENT
// makes for the benchmark's product, with the bare calls and no rule at all. It reads
// the Uninstall.log beside it, walks each [Path] value with FindFirstFileW /
// DeleteFileW / RemoveDirectoryW, then deletes each [File] value that
// GetFileAttributesW still finds. uninstall_bench_win32.cpp starts and times it as it
// starts and times the wizard, on an identical tree.
#include "scoped_win32.h"
#include "windows_support.h"

#include <string>
#include <vector>

namespace {

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

void DeleteWalk(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    platform::win32::ScopedFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteWalk(folder + L"\\" + name);
            else
                DeleteFileW((folder + L"\\" + name).c_str());
        } while (FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    RemoveDirectoryW(folder.c_str());
}

} // namespace

int main() {
    std::string log;
    if (platform::win32::ScopedFileHandle file(CreateFileW((OwnFolder() + L"Uninstall.log").c_str(),
                                                           GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                           OPEN_EXISTING, 0, nullptr));
        file) {
        char buffer[65536];
        DWORD read = 0;
        while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
            log.append(buffer, read);
    } else {
        return 2;
    }
    std::vector<std::wstring> paths, files;
    std::vector<std::wstring>* section = nullptr;
    size_t at = 0;
    while (at < log.size()) {
        size_t end = log.find('\n', at);
        if (end == std::string::npos)
            end = log.size();
        std::string line = log.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            section = line == "[Path]" ? &paths : line == "[File]" ? &files : nullptr;
            continue;
        }
        const size_t equals = line.find('=');
        if (section && equals != std::string::npos)
            section->push_back(platform::win32::Widen(line.substr(equals + 1), CP_ACP));
    }
    for (const std::wstring& folder : paths)
        DeleteWalk(folder);
    for (const std::wstring& file : files) {
        if (GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES)
            DeleteFileW(file.c_str());
    }
    return 0;
}
