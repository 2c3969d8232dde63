// Who made a file system object, and whether the program runs with administrator
// rights: what the switcher's rule for writing through links asks.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace platform {

enum class OwnerKind {
    Administrators,
    System,
    TrustedInstaller,
    Other, // anyone else: a user who may have made the object to mislead
};

// The owner of `path` itself (a link's own owner, never its target's). On POSIX
// root counts as Administrators and everyone else as Other.
std::error_code LinkOwner(const std::string& path, OwnerKind& owner);

// The kind of an owner given as a SID in its string form ("S-1-5-32-544"
// Administrators, "S-1-5-18" SYSTEM, the TrustedInstaller service's SID); Other
// for every other SID.
OwnerKind OwnerKindOfSid(std::string_view sid);

// True when the program runs with administrator rights: an elevated token on
// Windows, the effective user root on POSIX.
bool RunningElevated();

} // namespace platform
