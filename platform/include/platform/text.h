// Text helpers that follow the rules of the Windows shell. Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Orders two names without regard to case, as CompareStringW with NORM_IGNORECASE
// under the user's default locale does. Returns <0, 0 or >0.
int CompareNamesNoCase(const std::string& a, const std::string& b);

// True when two names are equal without regard to case (file-system rule).
bool SameNameNoCase(const std::string& a, const std::string& b);

// Text in the system's ANSI code page (as files without a byte-order mark hold it,
// and as the system's profile functions read them) to UTF-8. The POSIX side stands
// in for a Western system: its ANSI code page is Windows-1252.
std::string AnsiToUtf8(std::string_view bytes);

// UTF-8 to the system's ANSI code page, for the few interfaces that know nothing
// else (entry points of other programs' libraries); a character the code page
// lacks becomes "?", never a look-alike ("Ł" as "L") that could name another file.
std::string Utf8ToAnsi(std::string_view text);

// The comparable form of a name: every letter in upper case by its simple Unicode
// mapping, one character for one, as Windows compares file and registry names
// (Ä and ä, Ω and ω, Ж and ж are the same). Win32: LCMapStringEx with the invariant
// locale; POSIX: the C.UTF-8 locale's towupper over UTF-8 text.
std::string UpperCaseName(const std::string& name);

} // namespace platform
