// Calling an entry point of a library by name, as uninstall logs ask.
#pragma once

#include <string>

namespace platform {

enum class LibraryCallResult {
    NotLoaded,    // the library could not be loaded
    EntryMissing, // it loaded, but exports no entry point of that name
    Called,
};

// Loads the library, looks up the entry point, calls it with three pointers to
// NUL-terminated text (each may be null) by the standard calling convention in which
// the called function removes its arguments (stdcall on 32-bit Windows), and
// releases the library again, whether or not the call happened. The entry point's
// result is not read. The library's path and the texts are UTF-8; on Windows the
// texts reach the entry point in the system's ANSI code page, the only text such
// entry points know ("?" for a character the code page lacks). On POSIX the library
// is a shared object and the entry point a C function of three `const char*`, which
// receives the UTF-8 texts.
LibraryCallResult CallLibraryEntry(const std::string& library, const std::string& entryPoint,
                                   const char* first, const char* second, const char* third);

} // namespace platform
