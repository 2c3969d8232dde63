// Text helpers that follow the rules of the Windows shell.
#pragma once

#include <string>

namespace platform {

// Orders two names without regard to case, as CompareStringA with NORM_IGNORECASE
// under the user's default locale does. Returns <0, 0 or >0.
int CompareNamesNoCase(const std::string& a, const std::string& b);

// True when two names are equal without regard to case (file-system rule).
bool SameNameNoCase(const std::string& a, const std::string& b);

} // namespace platform
