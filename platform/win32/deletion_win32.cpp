// Win32 side of safe deletion. The shell's own tree delete follows junctions and
// directory links into their targets, so the tree is walked here: every entry with
// FILE_ATTRIBUTE_REPARSE_POINT is removed as the link it is (RemoveDirectoryW for a
// folder link or junction, DeleteFileW for a file link) and never entered.
//
// The walk keeps full paths as GetFullPathNameW made them, with the names the folder
// listings gave appended, and hands each call the long form of its path (the "\\?\"
// form from 248 characters on), so trees deeper than MAX_PATH go too. Paths in results
// are the walk's own, without that prefix.
#include "platform/deletion.h"

#include "platform/shell.h"
#include "scoped_win32.h"
#include "windows_support.h"

#include <cstdlib>

namespace platform {
namespace {

using win32::Narrow;
using win32::Widen;

std::wstring Long(const std::wstring& fullPath) {
    return win32::LongFormOfFullPath(fullPath);
}

// A name inside `folder`. The long form takes a doubled separator literally, and a
// drive root ("C:\\") already ends in one.
std::wstring Child(const std::wstring& folder, const std::wstring& name) {
    return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// The final path of an existing file or folder (a full path), links followed; empty
// when it cannot be opened.
std::wstring FinalPath(const std::wstring& path) {
    HANDLE h =
        CreateFileW(Long(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::wstring out(1024, L'\0');
    DWORD n = GetFinalPathNameByHandleW(h, out.data(), static_cast<DWORD>(out.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n >= out.size()) {
        out.resize(n + 1);
        n = GetFinalPathNameByHandleW(h, out.data(), static_cast<DWORD>(out.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    CloseHandle(h);
    if (n == 0 || n >= out.size())
        return {};
    out.resize(n);
    return win32::WithoutLongFormPrefix(out);
}

// A full path with its 8.3 short names expanded; empty when it does not exist.
std::wstring LongNames(const std::wstring& path) {
    const std::wstring call = Long(path);
    const DWORD needed = GetLongPathNameW(call.c_str(), nullptr, 0);
    if (needed == 0)
        return {};
    std::wstring out(needed, L'\0');
    const DWORD n = GetLongPathNameW(call.c_str(), out.data(), needed);
    if (n == 0 || n >= needed)
        return {};
    out.resize(n);
    return win32::WithoutLongFormPrefix(out);
}

// `path` as the file functions take it (made by WidePath or Long).
bool DeleteFileClearingReadOnly(const std::wstring& path) {
    if (DeleteFileW(path.c_str()))
        return true;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (DeleteFileW(path.c_str()))
            return true;
        const DWORD again = GetLastError();
        SetFileAttributesW(path.c_str(), attributes); // leave it as it was
        SetLastError(again);
        return false;
    }
    SetLastError(error);
    return false;
}

// Returns true when `path` (a full path) is gone.
bool Delete(const std::wstring& path, DWORD attributes, TreeDeletion& result) {
    auto fail = [&result, &path](DWORD code) {
        const std::error_code error = win32::MakeError(code);
        if (IsInUseError(error))
            result.inUse.push_back(Narrow(path));
        else if (!result.error)
            result.error = error;
        return false;
    };
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const std::wstring call = Long(path);
    if (!folder)
        return DeleteFileClearingReadOnly(call) || fail(GetLastError());
    if (!link) {
        bool childInUse = false;
        WIN32_FIND_DATAW data;
        // The pattern goes after the long form: "\\?\" paths are taken literally.
        HANDLE find = FindFirstFileW(Child(call, L"*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const size_t before = result.inUse.size();
                Delete(Child(path, name), data.dwFileAttributes, result);
                childInUse = childInUse || result.inUse.size() != before;
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        if (childInUse) {
            // The folder goes once what it holds is gone: at the restart, after it.
            result.inUse.push_back(Narrow(path));
            return false;
        }
    }
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(call.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // For a junction or a folder link this removes the link, never its target.
    return RemoveDirectoryW(call.c_str()) || fail(GetLastError());
}

} // namespace

std::string ResolvedPathName(const std::string& path) {
    const std::wstring full = Widen(FullPathName(path));
    // The longest part that exists is resolved by the system; the rest is appended.
    std::wstring head = full;
    std::wstring tail;
    for (;;) {
        std::wstring resolved = FinalPath(head);
        if (resolved.empty())
            resolved = LongNames(head);
        if (!resolved.empty()) {
            if (!tail.empty()) {
                if (resolved.back() != L'\\')
                    resolved += L'\\';
                resolved += tail;
            }
            return Narrow(resolved);
        }
        const size_t cut = head.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut + 1 >= head.size())
            return Narrow(full);
        tail = head.substr(cut + 1) + (tail.empty() ? L"" : L"\\" + tail);
        head = head.substr(0, cut);
        if (head.size() == 2 && head[1] == L':')
            head += L'\\';
    }
}

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(win32::WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsInUseError(std::error_code error) {
    if (error.category() != std::system_category())
        return false;
    switch (error.value()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_ACCESS_DENIED:
        return true;
    default:
        return false;
    }
}

std::error_code DeleteOneFile(const std::string& path) {
    if (!DeleteFileClearingReadOnly(win32::WidePath(path)))
        return win32::LastError();
    return {};
}

TreeDeletion DeleteTree(const std::string& folder) {
    TreeDeletion result;
    std::wstring path = Widen(FullPathName(folder));
    // "C:\\Product\\" is the folder "C:\\Product"; a drive root keeps its separator.
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':')
        path.pop_back();
    const DWORD attributes = GetFileAttributesW(Long(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        result.error = win32::LastError();
        return result;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        result.error = win32::MakeError(ERROR_DIRECTORY);
        return result;
    }
    Delete(path, attributes, result);
    return result;
}

std::error_code DeleteAtRestart(const std::string& path) {
    if (!MoveFileExW(Long(Widen(FullPathName(path))).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        return win32::LastError();
    return {};
}

std::error_code RemoveEmptyFolder(const std::string& folder,
                                  const std::function<bool(const std::string& onDisk)>& allowed) {
    std::wstring path = Widen(FullPathName(folder));
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, never what it leads to.
    win32::ScopedFileHandle handle(
        CreateFileW(Long(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle)
        return win32::LastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.Get(), &info))
        return win32::LastError();
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return win32::MakeError(ERROR_DIRECTORY);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return win32::MakeError(ERROR_REPARSE_ATTRIBUTE_CONFLICT);
    std::wstring onDisk(1024, L'\0');
    const DWORD n =
        GetFinalPathNameByHandleW(handle.Get(), onDisk.data(), static_cast<DWORD>(onDisk.size()),
                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= onDisk.size())
        return n == 0 ? win32::LastError() : win32::MakeError(ERROR_FILENAME_EXCED_RANGE);
    onDisk.resize(n);
    if (!allowed(Narrow(win32::WithoutLongFormPrefix(onDisk))))
        return win32::MakeError(ERROR_ACCESS_DENIED);
    // The system refuses this for a folder that is not empty (ERROR_DIR_NOT_EMPTY);
    // the folder goes when the handle closes.
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(handle.Get(), FileDispositionInfo, &disposition,
                                    sizeof disposition))
        return win32::LastError();
    return {};
}

} // namespace platform
