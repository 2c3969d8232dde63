// Win32 side of safe deletion. The shell's own tree delete follows junctions and
// directory links into their targets, so the tree is walked here: every entry with
// FILE_ATTRIBUTE_REPARSE_POINT is removed as the link it is (RemoveDirectoryW for a
// folder link or junction, DeleteFileW for a file link) and never entered.
#include "platform/deletion.h"

#include "platform/shell.h"
#include "windows_support.h"

#include <cstdlib>

namespace platform {
namespace {

using win32::Narrow;
using win32::Widen;

std::wstring WithoutDevicePrefix(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0)
        return path.substr(4);
    return path;
}

// The final path of an existing file or folder, links followed; empty when it
// cannot be opened.
std::wstring FinalPath(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
    return WithoutDevicePrefix(out);
}

std::wstring LongPath(const std::wstring& path) {
    const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0)
        return {};
    std::wstring out(needed, L'\0');
    const DWORD n = GetLongPathNameW(path.c_str(), out.data(), needed);
    if (n == 0 || n >= needed)
        return {};
    out.resize(n);
    return out;
}

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

// Returns true when `path` is gone.
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
    if (!folder)
        return DeleteFileClearingReadOnly(path) || fail(GetLastError());
    if (!link) {
        bool childInUse = false;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const size_t before = result.inUse.size();
                Delete(path + L"\\" + name, data.dwFileAttributes, result);
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
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // For a junction or a folder link this removes the link, never its target.
    return RemoveDirectoryW(path.c_str()) || fail(GetLastError());
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
            resolved = LongPath(head);
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
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
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
    if (!DeleteFileClearingReadOnly(Widen(path)))
        return win32::LastError();
    return {};
}

TreeDeletion DeleteTree(const std::string& folder) {
    TreeDeletion result;
    const std::wstring path = Widen(FullPathName(folder));
    const DWORD attributes = GetFileAttributesW(path.c_str());
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
    if (!MoveFileExW(Widen(FullPathName(path)).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        return win32::LastError();
    return {};
}

} // namespace platform
