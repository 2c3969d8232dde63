// POSIX side of the owner and rights queries: root stands for the administrators.
#include "platform/rights.h"

#include "posix_path.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::error_code LinkOwner(const std::string& path, OwnerKind& owner) {
    struct stat st {};
    if (::lstat(ResolvePath(path).c_str(), &st) != 0)
        return {errno, std::generic_category()};
    owner = st.st_uid == 0 ? OwnerKind::Administrators : OwnerKind::Other;
    return {};
}

bool RunningElevated() {
    return ::geteuid() == 0;
}

} // namespace platform
