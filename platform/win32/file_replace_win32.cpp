// Win32 side of the atomic file replacement: a unique temporary file in the target's
// folder, flushed, then MoveFileExW with replace and write-through. ReplaceFileW
// would keep the original's security descriptor too, but the temporary file already
// inherits the folder's, which is what the replaced file carries in practice; and
// ReplaceFileW without a backup name moves the original aside under a name of its
// own, which Wine leaves behind when the replacement fails.
#include "platform/file_replace.h"

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
    HANDLE file = INVALID_HANDLE_VALUE;
    const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (DWORD attempt = 0; attempt < 1000 && file == INVALID_HANDLE_VALUE; ++attempt) {
        wchar_t name[16];
        wsprintfW(name, L"sws%04X.tmp", (seed + attempt) & 0xFFFF);
        temp = folder + name;
        file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return LastError();
    }
    if (file == INVALID_HANDLE_VALUE)
        return LastError();

    std::error_code result;
    for (size_t done = 0; done < bytes.size();) {
        const DWORD chunk =
            static_cast<DWORD>(bytes.size() - done > 0x10000000 ? 0x10000000 : bytes.size() - done);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            result = LastError();
            break;
        }
        done += written;
    }
    if (!result && !FlushFileBuffers(file))
        result = LastError();
    CloseHandle(file);

    // The original's attributes (archive, hidden, system) go with the new content.
    if (!result &&
        !SetFileAttributesW(temp.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes))
        result = LastError();
    // One rename that replaces: the target holds either the old or the new content,
    // never a part. A target that another program holds open without sharing its
    // deletion stays as it was, and the rename fails.
    if (!result && !MoveFileExW(temp.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = LastError();
    if (result)
        DeleteFileW(temp.c_str());
    return result;
}

} // namespace platform
