// Win32 side of the owner and rights queries: the owner SID of the object itself
// (opened without following a link), and the token's elevation.
#include "platform/rights.h"

#include "scoped_win32.h"
#include "windows_support.h"

#include <aclapi.h>
#include <sddl.h>

namespace platform {

using win32::LastError;
using win32::WidePath;

std::error_code LinkOwner(const std::string& path, OwnerKind& owner) {
    // FILE_FLAG_OPEN_REPARSE_POINT: the link itself, not what it leads to.
    const win32::ScopedFileHandle object(
        CreateFileW(WidePath(path).c_str(), READ_CONTROL,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!object)
        return LastError();
    PSID sid = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD status = GetSecurityInfo(object.Get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION,
                                         &sid, nullptr, nullptr, nullptr, &descriptor);
    if (status != ERROR_SUCCESS)
        return win32::MakeError(status);
    const win32::ScopedLocalMemory descriptorMemory(descriptor);
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text))
        return LastError();
    const win32::ScopedLocalMemory textMemory(text);
    owner = OwnerKindOfSid(win32::Narrow(std::wstring(text)));
    return {};
}

bool RunningElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    const win32::ScopedKernelHandle owned(token);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

} // namespace platform
