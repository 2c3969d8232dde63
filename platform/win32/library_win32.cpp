#include "platform/library.h"

#include "windows_support.h"

namespace platform {

LibraryCallResult CallLibraryEntry(const std::string& library, const std::string& entryPoint,
                                   const char* first, const char* second, const char* third) {
    HMODULE module = LoadLibraryW(win32::Widen(library).c_str());
    if (!module)
        return LibraryCallResult::NotLoaded;
    using EntryPoint = void(WINAPI*)(const char*, const char*, const char*);
    const FARPROC address = GetProcAddress(module, entryPoint.c_str());
    LibraryCallResult result = LibraryCallResult::EntryMissing;
    if (address) {
        // FARPROC is the generic function pointer type of GetProcAddress; the log
        // states the real signature.
        const auto call = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(address));
        call(first, second, third);
        result = LibraryCallResult::Called;
    }
    FreeLibrary(module);
    return result;
}

} // namespace platform
