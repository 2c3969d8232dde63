#include "platform/version.h"

#include "windows_support.h"

#include <vector>

namespace platform {
namespace {

// version.dll is loaded at run time from the system folder, not imported: an
// imported one would be looked for in the program's own folder first.
struct VersionFunctions {
    using SizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    SizeFunction size = nullptr;
    InfoFunction info = nullptr;
    QueryFunction query = nullptr;

    static const VersionFunctions& Get() {
        static const VersionFunctions functions = [] {
            VersionFunctions f;
            if (HMODULE library = win32::LoadSystemLibrary(L"version.dll")) {
                f.size = reinterpret_cast<SizeFunction>(
                    reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoSizeW")));
                f.info = reinterpret_cast<InfoFunction>(
                    reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoW")));
                f.query = reinterpret_cast<QueryFunction>(
                    reinterpret_cast<void*>(GetProcAddress(library, "VerQueryValueW")));
            }
            return f;
        }();
        return functions;
    }
};

} // namespace

bool ReadFileVersion(const std::string& path, FileVersionNumbers& numbers) {
    const VersionFunctions& version = VersionFunctions::Get();
    if (!version.size || !version.info || !version.query)
        return false;
    const std::wstring file = win32::Widen(path);
    DWORD ignored = 0;
    const DWORD size = version.size(file.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<char> buffer(size);
    if (!version.info(file.c_str(), 0, size, buffer.data()))
        return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!version.query(buffer.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    numbers.versionMS = fixed->dwFileVersionMS;
    numbers.versionLS = fixed->dwFileVersionLS;
    return true;
}

} // namespace platform
