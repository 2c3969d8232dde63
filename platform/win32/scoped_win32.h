// Owners of the system's resources: each closes what it holds when it goes out of
// scope, so an early return or an exception never leaks a handle, and the close
// call of each kind of resource is written once, here. One template over a traits
// struct per kind (what counts as "nothing held", how it is closed), as LLVM's
// ScopedHandle; the DC and COM pairs as small classes of their own.
#pragma once

#include "windows_support.h"

#include <objbase.h>

#include <utility>

namespace platform::win32 {

template <class Traits> class Scoped {
public:
    using Handle = typename Traits::Handle;

    Scoped() = default;
    explicit Scoped(Handle handle) : handle_(handle) {}
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : handle_(other.Release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~Scoped() { Reset(); }

    Handle Get() const { return handle_; }
    bool Valid() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }

    // Gives the handle up without closing it.
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    // Closes what is held and takes `handle` instead.
    void Reset(Handle handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid())
            Traits::Close(handle_);
        handle_ = handle;
    }
    // For functions that hand a handle back through a pointer: what was held is
    // closed first.
    Handle* Receive() {
        Reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

// CreateFileW, CreateToolhelp32Snapshot: INVALID_HANDLE_VALUE when nothing is held.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
// Processes, threads, events, mutexes, tokens: null when nothing is held.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};
struct LibraryTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};
template <class Object> struct GdiObjectTraits {
    using Handle = Object;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};
// CreateCursor: destroyed (the system's shared pointers are never owned).
struct CursorTraits {
    using Handle = HCURSOR;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyCursor(h); }
};
// CreateCompatibleDC: deleted, never released.
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};
// Memory that the system allocated with LocalAlloc (FormatMessageW, security
// descriptors).
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};

// Memory that the system allocated with CoTaskMemAlloc (SHGetKnownFolderPath).
struct TaskMemoryTraits {
    using Handle = wchar_t*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::CoTaskMemFree(h); }
};

using ScopedFileHandle = Scoped<FileHandleTraits>;
using ScopedKernelHandle = Scoped<KernelHandleTraits>;
using ScopedFindHandle = Scoped<FindHandleTraits>;
using ScopedRegistryKey = Scoped<RegistryKeyTraits>;
using ScopedLibrary = Scoped<LibraryTraits>;
template <class Object> using ScopedGdiObject = Scoped<GdiObjectTraits<Object>>;
using ScopedIcon = Scoped<IconTraits>;
using ScopedCursor = Scoped<CursorTraits>;
using ScopedMemoryDc = Scoped<MemoryDcTraits>;
using ScopedLocalMemory = Scoped<LocalMemoryTraits>;
using ScopedTaskMemory = Scoped<TaskMemoryTraits>;

// A window's device context from GetDC, released to that window.
class ScopedGetDc {
public:
    explicit ScopedGetDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ScopedGetDc(const ScopedGetDc&) = delete;
    ScopedGetDc& operator=(const ScopedGetDc&) = delete;
    ~ScopedGetDc() {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC, selected out again when this goes.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (previous_)
            ::SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// COM on the calling thread for as long as this lives; uninitialised again only
// when this call initialised it (S_OK or S_FALSE).
class ScopedCom {
public:
    explicit ScopedCom(DWORD model = COINIT_APARTMENTTHREADED)
        : result_(::CoInitializeEx(nullptr, model)) {}
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;
    ~ScopedCom() {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    bool Initialised() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

} // namespace platform::win32
