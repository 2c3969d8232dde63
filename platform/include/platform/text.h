// Text helpers that follow the rules of the Windows shell.
#pragma once

#include <string>

namespace platform {

// Orders two names without regard to case, as CompareStringA with NORM_IGNORECASE
// under the user's default locale does. Returns <0, 0 or >0.
int CompareNamesNoCase(const std::string& a, const std::string& b);

// True when two names are equal without regard to case (file-system rule).
bool SameNameNoCase(const std::string& a, const std::string& b);

// The comparable form of a name: every letter in upper case by its simple Unicode
// mapping, one character for one, as Windows compares file and registry names
// (Ä and ä, Ω and ω, Ж and ж are the same). Win32: LCMapStringEx with the invariant
// locale; POSIX: the C.UTF-8 locale's towupper over UTF-8 text.
std::string FoldCase(const std::string& name);

} // namespace platform
