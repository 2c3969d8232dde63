// A library for the tests of the uninstall log's library calls. Each entry point
// appends one line to the file that BRIGHTMERE_TEST_ENTRY_RECORD names: its name and
// its three arguments, "<null>" for a null pointer.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#define ENTRY extern "C" __declspec(dllexport) void __stdcall
#else
#define ENTRY extern "C" __attribute__((visibility("default"))) void
#endif

namespace {

void Record(const char* name, const char* a, const char* b, const char* c) {
    const char* path = std::getenv("BRIGHTMERE_TEST_ENTRY_RECORD");
    if (!path)
        return;
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s|%s|%s|%s\n", name, a ? a : "<null>", b ? b : "<null>",
                     c ? c : "<null>");
        std::fclose(f);
    }
}

} // namespace

ENTRY Unregister(const char* a, const char* b, const char* c) {
    Record("Unregister", a, b, c);
}

ENTRY Cleanup(const char* a, const char* b, const char* c) {
    Record("Cleanup", a, b, c);
}

#ifndef _WIN32
// A fault inside a library: the step that called it ends there.
ENTRY Fault(const char* a, const char* b, const char* c) {
    Record("Fault", a, b, c);
    throw std::runtime_error("fault inside the library");
}
#endif
