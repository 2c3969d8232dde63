// A library for the tests of the uninstall log's library calls. Each entry point
// appends one line to the file that BRIGHTMERE_TEST_ENTRY_RECORD names: its name and
// its three arguments, "<null>" for a null pointer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
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

// Entry points that fault for real, each in its own way. They are built without the
// sanitizers' checks, so that the fault itself happens.
#if defined(__GNUC__)
#define RAW_CODE __attribute__((no_sanitize("address", "undefined"), noinline))
#else
#define RAW_CODE
#endif
#ifdef _WIN32
#define FAULTING_ENTRY extern "C" __declspec(dllexport) RAW_CODE void __stdcall
#else
#define FAULTING_ENTRY extern "C" __attribute__((visibility("default"))) RAW_CODE void
#endif

namespace {

volatile std::uintptr_t badAddress = 16;
volatile int zero = 0;
volatile int sink = 7;

RAW_CODE int Deeper(int depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (depth > 100000000) // never: the stack ends long before
        return 0;
    return Deeper(depth + 1) + frame[0];
}

} // namespace

FAULTING_ENTRY AccessViolation(const char* a, const char* b, const char* c) {
    Record("AccessViolation", a, b, c);
    *reinterpret_cast<volatile int*>(badAddress) = 1;
}

FAULTING_ENTRY IllegalInstruction(const char* a, const char* b, const char* c) {
    Record("IllegalInstruction", a, b, c);
#if defined(_MSC_VER)
    __ud2();
#else
    __builtin_trap();
#endif
}

FAULTING_ENTRY DivideByZero(const char* a, const char* b, const char* c) {
    Record("DivideByZero", a, b, c);
    sink = sink / zero; // a variable dividend: "1 / x" compiles to comparisons
}

FAULTING_ENTRY StackOverflow(const char* a, const char* b, const char* c) {
    Record("StackOverflow", a, b, c);
    sink = Deeper(0);
}

// An exception that leaves the entry point: on Windows raised the way the Microsoft
// compiler's `throw` raises it (_CxxThrowException), on POSIX a C++ throw.
ENTRY CppException(const char* a, const char* b, const char* c) {
    Record("CppException", a, b, c);
#ifdef _WIN32
    const ULONG_PTR parameters[3] = {0x19930520, 0, 0};
    RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 3, parameters);
#else
    throw std::runtime_error("thrown out of the library");
#endif
}
