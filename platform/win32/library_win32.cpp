#include "platform/library.h"
#include "platform/text.h"

#include "windows_support.h"

#include <cstdint>
#include <float.h>

namespace platform {
namespace {

using EntryPoint = void(WINAPI*)(const char*, const char*, const char*);

// After a stack overflow the stack has no guard page left: a second overflow would
// end the process without any exception. This puts a guard page back on the lowest
// usable page of the stack, as the C runtime's _resetstkoflw does; it leaves the
// stack alone when a guard page is still there or when the page is too close to the
// caller's own frame.
void RestoreStackGuard() {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const uintptr_t page = system.dwPageSize;
    MEMORY_BASIC_INFORMATION here{};
    if (!VirtualQuery(&here, &here, sizeof here))
        return;
    const uintptr_t current = reinterpret_cast<uintptr_t>(&here) & ~(page - 1);
    uintptr_t address = reinterpret_cast<uintptr_t>(here.AllocationBase);
    while (address < current) {
        MEMORY_BASIC_INFORMATION region{};
        if (!VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region))
            return;
        if (region.State == MEM_COMMIT && (region.Protect & PAGE_GUARD))
            return; // the guard is in place
        if (region.State == MEM_COMMIT && !(region.Protect & PAGE_NOACCESS)) {
            if (address + 2 * page <= current) {
                DWORD old = 0;
                VirtualProtect(reinterpret_cast<void*>(address), page, PAGE_READWRITE | PAGE_GUARD,
                               &old);
            }
            return;
        }
        address = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
}

#if !defined(_MSC_VER) && (defined(__i386__) || defined(__x86_64__))

// The first field of the thread information block, FS:[0] on 32-bit and GS:[0] on
// 64-bit. Written as volatile assembly with a memory clobber, so that the compiler
// neither moves nor drops the accesses (mingw's __writefsdword is neither); this
// branch is GCC's only.
void* TibChain() {
    void* head = nullptr;
#if defined(__i386__)
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head) : : "memory");
#else
    __asm__ __volatile__("movq %%gs:0, %0" : "=r"(head) : : "memory");
#endif
    return head;
}
void SetTibChain(void* head) {
#if defined(__i386__)
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
#else
    __asm__ __volatile__("movq %0, %%gs:0" : : "r"(head) : "memory");
#endif
}

#endif

#if defined(_MSC_VER)

// The Microsoft compiler has structured exception handling: any exception that the
// library does not handle itself ends the call here, after the library's own
// clean-up handlers ran.
DWORD GuardedCall(EntryPoint call, const char* first, const char* second, const char* third) {
    DWORD code = 0;
    __try {
        call(first, second, third);
    } __except (code = GetExceptionCode(), EXCEPTION_EXECUTE_HANDLER) {
    }
    return code;
}

#elif defined(__i386__)

// GCC for 32-bit Windows has no __try. The same effect comes from a hand-built
// exception registration frame: a record {next, handler} on this function's stack,
// pushed onto the thread's chain (FS:[0], the first field of the thread information
// block) before the call and popped after it. Windows walks that chain from the
// newest frame when an exception is raised, so the library's own handlers come first
// and only what the library leaves unhandled reaches GuardHandler, before the
// process's last-chance handler would end everything.
//
// GuardHandler does not return to the dispatcher (returning "continue" would resume
// the faulting code, and is refused for a C++ exception, which is raised as not
// continuable). It notes the code and jumps straight back into GuardedCall with
// __builtin_longjmp, which restores the frame and stack pointers saved by
// __builtin_setjmp (GCC saves and restores every other register around the
// receiver itself), after restoring FS:[0] to what it was before the call: the
// frames the library and the dispatcher left on the chain lie below and are
// dropped with the stack they live on. The handler runs on the stack the fault left
// (after a stack overflow, the page Windows reserves for that) and needs only a few
// words of it. No unwinding runs through the library's frames: after a fault their
// state is unknown. The handler is plain code of this image; GNU ld writes no SafeSEH
// table, so Windows accepts it, and the chain stays well-formed for SEH overwrite
// protection.
struct GuardFrame {
    GuardFrame* next; // the two fields Windows reads: the older frame ...
    void* handler;    // ... and this frame's handler
    void* jump[5];    // __builtin_setjmp's buffer
    DWORD code;
};

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* established,
                                                      CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    auto* frame = static_cast<GuardFrame*>(established);
    frame->code = record->ExceptionCode;
    SetTibChain(frame->next);
    __builtin_longjmp(frame->jump, 1);
}

__attribute__((noinline)) DWORD GuardedCall(EntryPoint call, const char* first, const char* second,
                                            const char* third) {
    GuardFrame frame{};
    frame.handler = reinterpret_cast<void*>(&GuardHandler);
    frame.next = static_cast<GuardFrame*>(TibChain()); // the head of the thread's chain
    if (__builtin_setjmp(frame.jump) == 0) {
        SetTibChain(&frame);
        call(first, second, third);
        SetTibChain(frame.next);
        return 0;
    }
    // Back from GuardHandler: the chain is already restored.
    return *static_cast<volatile DWORD*>(&frame.code);
}

#elif defined(__x86_64__)

// GCC for 64-bit Windows has no __try either, and there exception handlers are no
// chain on the stack: each function's unwind information names its handler. The
// assembler directive .seh_handler, standing in GuardedCall's body, makes
// GuardHandler the handler of GuardedCall's own frame, so Windows calls it once an
// exception that the library's frames left unhandled reaches this frame, as the
// registration frame does on 32-bit Windows. GuardedCall holds nothing that needs a
// clean-up, so GCC gives it no handler of its own to clash with.
//
// GuardHandler notes the code and jumps back into GuardedCall with
// __builtin_longjmp; no unwinding runs through the library's frames. The frame it
// returns to is found through a per-thread pointer, since the dispatcher hands the
// handler the frame's stack address, not this record. Wine's own code still keeps a
// chain of frames in the thread information block on 64-bit too (its dispatcher
// pushes one while it calls a handler), so the chain's head is put back as it was
// before the call, as on 32-bit; Windows itself leaves that field unused there.
struct GuardFrame {
    void* jump[5]; // __builtin_setjmp's buffer
    DWORD code;
    void* chain; // the thread information block's frame chain before the call
};

thread_local GuardFrame* activeGuard = nullptr;

extern "C" EXCEPTION_DISPOSITION GuardHandler(EXCEPTION_RECORD* record, void*, CONTEXT*, void*) {
    GuardFrame* frame = activeGuard;
    if (!frame || (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)))
        return ExceptionContinueSearch;
    frame->code = record->ExceptionCode;
    activeGuard = nullptr;
    SetTibChain(frame->chain);
    __builtin_longjmp(frame->jump, 1);
}

__attribute__((noinline)) DWORD GuardedCall(EntryPoint call, const char* first, const char* second,
                                            const char* third) {
    __asm__ __volatile__(".seh_handler GuardHandler, @except");
    GuardFrame frame{};
    frame.chain = TibChain();
    if (__builtin_setjmp(frame.jump) == 0) {
        activeGuard = &frame;
        call(first, second, third);
        activeGuard = nullptr;
        return 0;
    }
    // Back from GuardHandler, which has cleared the pointer.
    return *static_cast<volatile DWORD*>(&frame.code);
}

#else
#error                                                                                             \
    "CallLibraryEntry needs __try (Microsoft compiler) or a GCC exception frame for i386 or x86-64"
#endif

} // namespace

void HardenLibrarySearch() {
    // SetDefaultDllDirectories came with Windows 8 and update KB2533623 for Windows 7:
    // looked up, not imported, so that the program still starts without it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefault =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The current folder leaves the search on every version.
    SetDllDirectoryW(L"");
}

LibraryCallOutcome CallLibraryEntry(const std::string& library, const std::string& entryPoint,
                                    const char* first, const char* second, const char* third) {
    HMODULE module = win32::LoadLogLibrary(library);
    if (!module)
        return {LibraryCallResult::NotLoaded};
    // GetProcAddress has no wide form: export names are ASCII.
    const FARPROC address = GetProcAddress(module, entryPoint.c_str());
    if (!address) {
        FreeLibrary(module);
        return {LibraryCallResult::EntryMissing};
    }
    // FARPROC is the generic function pointer type of GetProcAddress; the log states
    // the real signature.
    const auto call = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(address));
    // The library may change the floating-point unit's modes; they are put back.
    const unsigned int fpu = _control87(0, 0);
    // Entry points of this kind take text in the ANSI code page, the only text they
    // know; the UTF-8 texts are converted at this last moment.
    const std::string a = first ? Utf8ToAnsi(first) : std::string();
    const std::string b = second ? Utf8ToAnsi(second) : std::string();
    const std::string c = third ? Utf8ToAnsi(third) : std::string();
    const DWORD code = GuardedCall(call, first ? a.c_str() : nullptr, second ? b.c_str() : nullptr,
                                   third ? c.c_str() : nullptr);
    _control87(fpu, _MCW_EM | _MCW_RC | _MCW_PC);
    if (code == 0) {
        FreeLibrary(module);
        return {LibraryCallResult::Called};
    }
    if (code == EXCEPTION_STACK_OVERFLOW)
        RestoreStackGuard();
    return {LibraryCallResult::Faulted, static_cast<std::uint32_t>(code)};
}

} // namespace platform
