// Win32 side of the atomic file replacement: a unique temporary file in the target's
// folder, flushed, then ReplaceFileW with write-through; where the volume cannot do
// that (or ReplaceFileW left the target missing), MoveFileExW with replace and
// write-through.
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

    if (!result && !ReplaceFileW(target.c_str(), temp, nullptr,
                                 REPLACEFILE_WRITE_THROUGH | REPLACEFILE_IGNORE_MERGE_ERRORS,
                                 nullptr, nullptr)) {
        result = LastError();
        // MoveFileExW either puts the new content in place in one step or leaves the
        // target as it was: a locked file stays locked for it as well.
        if (MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            result.clear();
    }
    if (result)
        DeleteFileW(temp);
    return result;
}

} // namespace platform
