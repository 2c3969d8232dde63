#include "platform/version.h"

namespace platform {

// PLATFORM_VERSION_MS and _LS are the project's version, fixed at build time.
bool ReadFileVersion(const std::string&, FileVersionNumbers& numbers) {
    numbers.versionMS = PLATFORM_VERSION_MS;
    numbers.versionLS = PLATFORM_VERSION_LS;
    return true;
}

} // namespace platform
