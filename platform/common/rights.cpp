#include "platform/rights.h"

namespace platform {

OwnerKind OwnerKindOfSid(std::string_view sid) {
    if (sid == "S-1-5-32-544")
        return OwnerKind::Administrators;
    if (sid == "S-1-5-18")
        return OwnerKind::System;
    // NT SERVICE\TrustedInstaller: the service SID of its name, the same on every machine.
    if (sid == "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464")
        return OwnerKind::TrustedInstaller;
    return OwnerKind::Other;
}

} // namespace platform
