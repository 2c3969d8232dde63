#include "platform/version.h"

#include "windows_support.h"

#include <vector>

namespace platform {

bool ReadFileVersion(const std::string& path, FileVersionNumbers& numbers) {
    const std::wstring file = win32::WidePath(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<char> buffer(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, buffer.data()))
        return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(buffer.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    numbers.versionMS = fixed->dwFileVersionMS;
    numbers.versionLS = fixed->dwFileVersionLS;
    return true;
}

} // namespace platform
