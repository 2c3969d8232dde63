// Calling an entry point of a library by name, as uninstall logs ask.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class LibraryCallResult {
    NotLoaded,    // the library could not be loaded
    EntryMissing, // it loaded, but exports no entry point of that name
    Called,
    Faulted, // the entry point was called and faulted; `faultCode` says how
};

// Exception codes of the faults a call reports (the Windows codes; the POSIX side
// maps its signals and C++ exceptions onto them).
inline constexpr std::uint32_t kFaultAccessViolation = 0xC0000005;
inline constexpr std::uint32_t kFaultIllegalInstruction = 0xC000001D;
inline constexpr std::uint32_t kFaultIntegerDivideByZero = 0xC0000094;
inline constexpr std::uint32_t kFaultStackOverflow = 0xC00000FD;
inline constexpr std::uint32_t kFaultCppException = 0xE06D7363; // the Microsoft compiler's

struct LibraryCallOutcome {
    LibraryCallResult result = LibraryCallResult::NotLoaded;
    std::uint32_t faultCode = 0; // for Faulted
};

// Removes the program's own folder and the current folder from the places Windows
// searches for libraries, so that a library planted beside the program (often a
// folder the user can write to) is never loaded in place of the system's. Called
// first thing at start; nothing on POSIX.
void HardenLibrarySearch();

// Loads the library, looks up the entry point, calls it with three pointers to
// NUL-terminated text (each may be null) by the standard calling convention in which
// the called function removes its arguments (stdcall on 32-bit Windows), and
// releases the library again, whether or not the call happened. The entry point's
// result is not read. On POSIX the library is a shared object and the entry point a
// C function of three `const char*`.
//
// A fault inside the call (an access violation, an illegal instruction, a division
// by zero, an exception thrown out of it, a stack overflow) ends the call, not the
// process: the result is Faulted with the exception's code, the library's own
// clean-up handlers between the fault and the call do not run, and a library that
// faulted stays loaded (its state is unknown, so its unload code is not run either).
LibraryCallOutcome CallLibraryEntry(const std::string& library, const std::string& entryPoint,
                                    const char* first, const char* second, const char* third);

} // namespace platform
