#include "platform/library.h"

#include "posix_path.h"

#include <dlfcn.h>
#include <setjmp.h>
#include <signal.h>

#include <cstdint>
#include <vector>

namespace platform {
namespace {

// The POSIX stand-in for a fault inside the library: the signals a fault raises are
// caught while the call runs (on a stack of their own, so that a stack overflow is
// caught too) and jump back to the call's start; an exception thrown out of the call
// is caught as well. Each is reported with the Windows code of the same fault; a
// stack overflow shows as an access violation here.
thread_local sigjmp_buf* activeJump = nullptr;
thread_local volatile sig_atomic_t faultSignal = 0;

void OnFault(int signal, siginfo_t*, void*) {
    faultSignal = signal;
    siglongjmp(*activeJump, 1);
}

std::uint32_t CodeOfSignal(int signal) {
    switch (signal) {
    case SIGFPE:
        return kFaultIntegerDivideByZero;
    case SIGILL:
        return kFaultIllegalInstruction;
    default:
        return kFaultAccessViolation;
    }
}

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE};

using EntryPoint = void (*)(const char*, const char*, const char*);

std::uint32_t GuardedCall(EntryPoint call, const char* first, const char* second,
                          const char* third) {
    std::vector<char> signalStack(256 * 1024);
    stack_t own{};
    own.ss_sp = signalStack.data();
    own.ss_size = signalStack.size();
    stack_t previousStack{};
    sigaltstack(&own, &previousStack);
    struct sigaction action {};
    action.sa_sigaction = &OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    struct sigaction previous[sizeof kFaultSignals / sizeof kFaultSignals[0]] = {};
    for (size_t i = 0; i < sizeof kFaultSignals / sizeof kFaultSignals[0]; ++i)
        sigaction(kFaultSignals[i], &action, &previous[i]);

    sigjmp_buf jump;
    sigjmp_buf* const outer = activeJump;
    activeJump = &jump;
    faultSignal = 0;
    volatile std::uint32_t code = 0;
    if (sigsetjmp(jump, 1) == 0) {
        try {
            call(first, second, third);
        } catch (...) {
            code = kFaultCppException;
        }
    } else {
        code = CodeOfSignal(faultSignal);
    }
    activeJump = outer;
    for (size_t i = 0; i < sizeof kFaultSignals / sizeof kFaultSignals[0]; ++i)
        sigaction(kFaultSignals[i], &previous[i], nullptr);
    sigaltstack(&previousStack, nullptr);
    return code;
}

} // namespace

void HardenLibrarySearch() {}

LibraryCallOutcome CallLibraryEntry(const std::string& library, const std::string& entryPoint,
                                    const char* first, const char* second, const char* third) {
    // A name without a folder is left to the loader's search, as on Windows.
    const bool hasFolder = library.find_first_of("\\/") != std::string::npos;
    void* handle =
        ::dlopen(hasFolder ? ResolvePath(library).c_str() : library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return {LibraryCallResult::NotLoaded};
    void* address = ::dlsym(handle, entryPoint.c_str());
    if (!address) {
        ::dlclose(handle);
        return {LibraryCallResult::EntryMissing};
    }
    const std::uint32_t code =
        GuardedCall(reinterpret_cast<EntryPoint>(address), first, second, third);
    if (code != 0)
        return {LibraryCallResult::Faulted, code}; // stays loaded, as on Windows
    ::dlclose(handle);
    return {LibraryCallResult::Called};
}

} // namespace platform
