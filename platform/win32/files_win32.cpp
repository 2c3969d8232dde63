// Win32 side of the file system layer. Paths arrive as UTF-8 and go to the wide
// calls (WidePath: the "\\?\" form beyond MAX_PATH), so any name works whatever
// the system's code page is; the behaviour is that of the calls named in the
// comments. The shell's folder copy takes no "\\?\" form and keeps its limit.
#include "platform/files.h"

#include "platform/path.h"

#include "scoped_win32.h"
#include "windows_support.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {

using win32::LastError;
using win32::Widen;
using win32::WidePath;

bool FilePresent(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderPresent(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FolderHasFiles(const std::string& folder) {
    WIN32_FIND_DATAW data;
    const win32::ScopedFindHandle find(FindFirstFileW(WidePath(folder + "\\*").c_str(), &data));
    if (!find)
        return false;
    bool any = false;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            any = true;
            break;
        }
    } while (FindNextFileW(find.Get(), &data));
    return any;
}

std::error_code CopyFileReplacing(const std::string& source, const std::string& target) {
    // CopyFileW(source, target, FALSE): an existing target is replaced, but never a
    // read-only one. Windows refuses that by itself; Wine run by root does not, so
    // the attribute is checked here too. (A copy loop of our own with a 1 MiB buffer
    // was measured against it under Wine, switching 280 textures of 1 to 4 MiB: it
    // was no faster; replacing a file costs the file system more than its bytes.)
    const DWORD existing = GetFileAttributesW(WidePath(target).c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0)
        return win32::MakeError(ERROR_ACCESS_DENIED);
    if (!CopyFileW(WidePath(source).c_str(), WidePath(target).c_str(), FALSE))
        return LastError();
    return {};
}

std::error_code CopyFileOntoResolved(const std::string& source, const std::string& target,
                                     const std::string& resolvedTarget, bool& ledElsewhere) {
    ledElsewhere = false;
    const win32::ScopedFileHandle in(CreateFileW(WidePath(source).c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in)
        return LastError();
    BY_HANDLE_FILE_INFORMATION from{};
    if (!GetFileInformationByHandle(in.Get(), &from))
        return LastError();
    if (from.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return win32::MakeError(ERROR_DIRECTORY);
    // An existing target is opened through its links, since the check resolved them;
    // a new one is created at its very name (a link there makes CREATE_NEW fail).
    // The source itself under another name cannot be opened for writing beside the
    // read above: a sharing violation, as CopyFileW gives.
    const std::wstring name = WidePath(target);
    bool created = false;
    win32::ScopedFileHandle out(CreateFileW(name.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out && GetLastError() == ERROR_FILE_NOT_FOUND) {
        out.Reset(CreateFileW(name.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE,
                              FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        created = true;
    }
    if (!out)
        return LastError();
    BY_HANDLE_FILE_INFORMATION onto{};
    if (!GetFileInformationByHandle(out.Get(), &onto))
        return LastError();
    const std::wstring place = win32::PlaceOfHandle(out.Get());
    if (place.empty() || !SamePathText(win32::Narrow(place), resolvedTarget)) {
        ledElsewhere = true;
        if (created) {
            FILE_DISPOSITION_INFO disposition{};
            disposition.DeleteFile = TRUE;
            SetFileInformationByHandle(out.Get(), FileDispositionInfo, &disposition,
                                       sizeof disposition);
        }
        return win32::MakeError(ERROR_ACCESS_DENIED);
    }
    // Windows refuses to open a read-only file for writing; Wine run by root does not.
    if (onto.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        return win32::MakeError(ERROR_ACCESS_DENIED);
    FILE_END_OF_FILE_INFO empty{};
    if (!SetFileInformationByHandle(out.Get(), FileEndOfFileInfo, &empty, sizeof empty))
        return LastError();
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(in.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return LastError();
        if (got == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(out.Get(), buffer.data(), got, &written, nullptr))
            return LastError();
        if (written != got)
            return win32::MakeError(ERROR_WRITE_FAULT);
    }
    // What CopyFileW carries over: the attributes and the last-write time.
    FILE_BASIC_INFO basic{};
    basic.LastWriteTime.LowPart = from.ftLastWriteTime.dwLowDateTime;
    basic.LastWriteTime.HighPart = static_cast<LONG>(from.ftLastWriteTime.dwHighDateTime);
    basic.FileAttributes =
        from.dwFileAttributes &
        (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
         FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(out.Get(), FileBasicInfo, &basic, sizeof basic))
        return LastError();
    return {};
}

std::error_code ReadFileFacts(const std::string& path, FileFacts& facts) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data))
        return LastError();
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return win32::MakeError(ERROR_DIRECTORY);
    facts.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    facts.lastWrite = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    return {};
}

std::error_code CompareFileBytes(const std::string& first, const std::string& second, bool& same) {
    same = false;
    const auto open = [](const std::string& path) {
        return win32::ScopedFileHandle(
            CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    };
    const win32::ScopedFileHandle a = open(first);
    if (!a)
        return LastError();
    const win32::ScopedFileHandle b = open(second);
    if (!b)
        return LastError();
    static constexpr DWORD kChunk = 64 * 1024;
    std::vector<char> bufA(kChunk), bufB(kChunk);
    for (;;) {
        DWORD gotA = 0, gotB = 0;
        if (!ReadFile(a.Get(), bufA.data(), kChunk, &gotA, nullptr) ||
            !ReadFile(b.Get(), bufB.data(), kChunk, &gotB, nullptr))
            return LastError();
        if (gotA != gotB || std::memcmp(bufA.data(), bufB.data(), gotA) != 0)
            return {};
        if (gotA == 0)
            break;
    }
    same = true;
    return {};
}

std::error_code RenameNoReplace(const std::string& source, const std::string& target) {
    // MoveFileA never replaces an existing target.
    if (!MoveFileW(WidePath(source).c_str(), WidePath(target).c_str()))
        return LastError();
    return {};
}

std::error_code RemoveFile(const std::string& path) {
    if (!DeleteFileW(WidePath(path).c_str()))
        return LastError();
    return {};
}

std::error_code MakeFolders(const std::string& path) {
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            const std::string partial = path.substr(0, i);
            if (partial.empty() || partial.back() == ':' || partial == "\\\\" || partial == "\\")
                continue;
            if (!CreateDirectoryW(WidePath(partial).c_str(), nullptr)) {
                const DWORD code = GetLastError();
                if (code != ERROR_ALREADY_EXISTS && code != ERROR_ACCESS_DENIED)
                    return win32::MakeError(code);
            }
        }
    }
    return FolderPresent(path) ? std::error_code{} : win32::MakeError(ERROR_PATH_NOT_FOUND);
}

std::vector<FolderEntry> ListFolder(const std::string& folder, std::error_code& error) {
    std::vector<FolderEntry> entries;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW data;
    const win32::ScopedFindHandle find(FindFirstFileW(WidePath(pattern).c_str(), &data));
    if (!find) {
        error = LastError();
        return entries;
    }
    error.clear();
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        FolderEntry entry;
        entry.name = win32::Narrow(name);
        entry.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        entry.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        entries.push_back(std::move(entry));
    } while (FindNextFileW(find.Get(), &data));
    return entries;
}

namespace {
// Read by the thread that copies; set before it starts.
HWND shellOwner = nullptr;
} // namespace

void SetShellOwner(void* window) {
    shellOwner = static_cast<HWND>(window);
}

bool FolderWritable(const std::string& folder) {
    // Not GetTempFileName: Wine's returns a name even when it could not create
    // the file. An empty file under an unused name, deleted again on closing.
    std::wstring base = Widen(folder);
    if (!base.empty() && base.back() != L'\\' && base.back() != L'/')
        base += L'\\';
    const unsigned long seed = GetCurrentProcessId() * 65599ul + GetTickCount();
    for (unsigned long attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = base + L"~stw" + std::to_wstring(seed + attempt) + L".tmp";
        const win32::ScopedFileHandle file(
            CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (file)
            return true; // deleted again as it closes
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool ShellFolderCopy(const std::string& folder, const std::string& target) {
    // The files of the folder, named one by one rather than as "folder\*.*": a
    // read-only target is left out (the shell would replace it without asking
    // under FOF_NOCONFIRMATION), and a wildcard that matches nothing, which Wine's
    // shell reports as success, never reaches the shell.
    WIN32_FIND_DATAW data;
    const win32::ScopedFindHandle find(FindFirstFileW(Widen(folder + "\\*").c_str(), &data));
    if (!find)
        return false;
    const std::wstring source = Widen(folder) + L"\\";
    const std::wstring into = Widen(target) + L"\\";
    std::wstring from; // the list ends in two NUL characters: the last name's and one more
    bool anyFile = false;
    bool skipped = false;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        anyFile = true;
        const DWORD existing = GetFileAttributesW((into + data.cFileName).c_str());
        if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
            skipped = true;
            continue;
        }
        from += source + data.cFileName;
        from.push_back(L'\0');
    } while (FindNextFileW(find.Get(), &data));
    if (!anyFile)
        return false;
    if (from.empty())
        return false; // every target is read-only
    // With the target folder in place, a single file is copied into it rather than
    // to a file of the folder's name.
    if (MakeFolders(target))
        return false;
    from.push_back(L'\0');
    std::wstring to = Widen(target);
    to.push_back(L'\0');

    SHFILEOPSTRUCTW op{};
    op.hwnd = shellOwner;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_FILESONLY; // 0x10 + 0x80
    // A copy the user cancelled or skipped in the shell's own windows reports 0
    // but sets fAnyOperationsAborted: that is no success.
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted && !skipped;
}

std::string ProgramPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) {
            buffer.resize(n);
            return win32::Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string TempFolder() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    return win32::Narrow(std::wstring(buffer, n));
}

std::error_code ReadWholeFile(const std::string& path, std::string& bytes) {
    const win32::ScopedFileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastError();
    bytes.clear();
    char buf[64 * 1024];
    DWORD got = 0;
    std::error_code result;
    for (;;) {
        if (!ReadFile(file.Get(), buf, sizeof buf, &got, nullptr)) {
            result = LastError();
            break;
        }
        if (got == 0)
            break;
        bytes.append(buf, got);
    }
    return result;
}

std::error_code WriteWholeFile(const std::string& path, const std::string& bytes) {
    const win32::ScopedFileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0,
                                                   nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                                   nullptr));
    if (!file)
        return LastError();
    std::error_code result;
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr)) {
            result = LastError();
            break;
        }
        done += written;
    }
    return result;
}

std::error_code SetReadOnly(const std::string& path, bool readOnly) {
    const std::wstring wide = WidePath(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastError();
    attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                          : (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    if (!SetFileAttributesW(wide.c_str(), attributes))
        return LastError();
    return {};
}

} // namespace platform
