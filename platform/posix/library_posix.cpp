#include "platform/library.h"

#include "posix_path.h"

#include <dlfcn.h>

namespace platform {

LibraryCallResult CallLibraryEntry(const std::string& library, const std::string& entryPoint,
                                   const char* first, const char* second, const char* third) {
    // A name without a folder is left to the loader's search, as on Windows.
    const bool hasFolder = library.find_first_of("\\/") != std::string::npos;
    void* handle =
        ::dlopen(hasFolder ? ResolvePath(library).c_str() : library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return LibraryCallResult::NotLoaded;
    using EntryPoint = void (*)(const char*, const char*, const char*);
    void* address = ::dlsym(handle, entryPoint.c_str());
    LibraryCallResult result = LibraryCallResult::EntryMissing;
    if (address) {
        const auto call = reinterpret_cast<EntryPoint>(address);
        try {
            call(first, second, third);
        } catch (...) {
            ::dlclose(handle);
            throw;
        }
        result = LibraryCallResult::Called;
    }
    ::dlclose(handle);
    return result;
}

} // namespace platform
