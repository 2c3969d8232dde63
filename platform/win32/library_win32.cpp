#include "platform/library.h"

#include "platform/text.h"

#include "windows_support.h"

#include <optional>

namespace platform {

LibraryCallResult CallLibraryEntry(const std::string& library, const std::string& entryPoint,
                                   const char* first, const char* second, const char* third) {
    HMODULE module = LoadLibraryW(win32::WidePath(library).c_str());
    if (!module)
        return LibraryCallResult::NotLoaded;
    using EntryPoint = void(WINAPI*)(const char*, const char*, const char*);
    // GetProcAddress has no wide form: export names are ASCII.
    const FARPROC address = GetProcAddress(module, entryPoint.c_str());
    LibraryCallResult result = LibraryCallResult::EntryMissing;
    if (address) {
        // FARPROC is the generic function pointer type of GetProcAddress; the log
        // states the real signature.
        const auto call = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(address));
        // Entry points of this kind take text in the ANSI code page; the texts are
        // converted at this last moment.
        const auto ansi = [](const char* text) {
            return text ? std::optional<std::string>(Utf8ToAnsi(text)) : std::nullopt;
        };
        const std::optional<std::string> a = ansi(first), b = ansi(second), c = ansi(third);
        call(a ? a->c_str() : nullptr, b ? b->c_str() : nullptr, c ? c->c_str() : nullptr);
        result = LibraryCallResult::Called;
    }
    FreeLibrary(module);
    return result;
}

} // namespace platform
