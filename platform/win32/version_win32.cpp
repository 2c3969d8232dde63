#include "platform/version.h"

#include "windows_support.h"

#include <vector>

namespace platform {

bool ReadFileVersion(const std::string& path, FileVersionNumbers& numbers) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<char> buffer(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, buffer.data()))
        return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(buffer.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    numbers.versionMS = fixed->dwFileVersionMS;
    numbers.versionLS = fixed->dwFileVersionLS;
    return true;
}

} // namespace platform
