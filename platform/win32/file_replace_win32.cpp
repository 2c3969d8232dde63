// Win32 side of the atomic file replacement: a unique temporary file in the target's
// folder, flushed, then ReplaceFileW, which gives the new content the original's
// owner, security descriptor, attributes and creation time. (A rename over the
// target would leave the file with the folder's inherited descriptor and the
// elevated wizard as its owner: a Scenery.cfg that the user owned would then belong
// to the administrators, and a simulator run by the user might no longer write it.)
// ReplaceFileW is given a backup name of its own: without one, some of its failures
// leave the original under a name nobody knows; with one, every failure leaves the
// original under its own name or the backup name, from where it is moved back.
#include "platform/file_replace.h"

#include "scoped_win32.h"
#include "windows_support.h"

namespace platform {

using win32::LastError;
using win32::MakeError;

std::error_code ReplaceFileContent(const std::string& path, const std::string& bytes) {
    const std::wstring target = win32::WidePath(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastError();
    // Windows refuses to replace a read-only file by itself; Wine run by root does
    // not, so the attribute is checked here too.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return MakeError(ERROR_ACCESS_DENIED);

    // A unique name beside the target, made here rather than by GetTempFileNameW,
    // whose folder must stay below MAX_PATH.
    const size_t cut = target.find_last_of(L"\\/");
    const std::wstring folder = cut == std::wstring::npos ? L"" : target.substr(0, cut + 1);
    std::wstring temp;
    win32::ScopedFileHandle file;
    const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (DWORD attempt = 0; attempt < 1000 && !file; ++attempt) {
        wchar_t name[16];
        wsprintfW(name, L"sws%04X.tmp", (seed + attempt) & 0xFFFF);
        temp = folder + name;
        file.Reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return LastError();
    }
    if (!file)
        return LastError();

    std::error_code result;
    for (size_t done = 0; done < bytes.size();) {
        const DWORD chunk =
            static_cast<DWORD>(bytes.size() - done > 0x10000000 ? 0x10000000 : bytes.size() - done);
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            result = LastError();
            break;
        }
        done += written;
    }
    if (!result && !FlushFileBuffers(file.Get()))
        result = LastError();
    file.Reset();

    // The original's attributes (archive, hidden, system) go with the new content.
    if (!result &&
        !SetFileAttributesW(temp.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes))
        result = LastError();
    // The target holds either the old or the new content, never a part. A target
    // that another program holds open without sharing its deletion stays as it was.
    const std::wstring backup = temp.substr(0, temp.size() - 3) + L"old";
    if (!result && !ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(),
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        result = LastError();
        // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the original went to the backup name
        // and the new content could not take its place; the original comes back.
        if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetFileAttributesW(backup.c_str()) != INVALID_FILE_ATTRIBUTES)
            MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    DeleteFileW(backup.c_str());
    if (result)
        DeleteFileW(temp.c_str());
    return result;
}

std::error_code WriteFileNotThroughLink(const std::string& path, const std::string& bytes) {
    // Opened as it is, not truncated yet: what the name is gets checked on this very
    // handle before one byte changes.
    win32::ScopedFileHandle file(
        CreateFileW(win32::WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return LastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info))
        return LastError();
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        info.nNumberOfLinks > 1)
        return MakeError(ERROR_CANT_ACCESS_FILE);
    if (!SetEndOfFile(file.Get()))
        return LastError();
    for (size_t done = 0; done < bytes.size();) {
        const DWORD chunk =
            static_cast<DWORD>(bytes.size() - done > 0x10000000 ? 0x10000000 : bytes.size() - done);
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return LastError();
        done += written;
    }
    return {};
}

} // namespace platform
