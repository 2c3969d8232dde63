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
using win32::Widen;

std::error_code ReplaceFileContent(const std::string& path, const std::string& bytes) {
    const std::wstring target = Widen(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastError();
    // Windows refuses to replace a read-only file by itself; Wine run by root does
    // not, so the attribute is checked here too.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return MakeError(ERROR_ACCESS_DENIED);

    const size_t cut = target.find_last_of(L"\\/");
    const std::wstring folder = cut == std::wstring::npos ? L"." : target.substr(0, cut + 1);
    wchar_t temp[MAX_PATH];
    if (GetTempFileNameW(folder.c_str(), L"sws", 0, temp) == 0)
        return LastError();

    std::error_code result;
    HANDLE file =
        CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        result = LastError();
        DeleteFileW(temp);
        return result;
    }
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
    if (!result && !SetFileAttributesW(temp, attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes))
        result = LastError();
    // One rename that replaces: the target holds either the old or the new content,
    // never a part. A target that another program holds open without sharing its
    // deletion stays as it was, and the rename fails.
    if (!result &&
        !MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = LastError();
    if (result)
        DeleteFileW(temp);
    return result;
}

} // namespace platform
