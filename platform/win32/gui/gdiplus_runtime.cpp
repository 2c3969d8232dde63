// GDI+ loaded at run time from the system folder, not imported.
//
// An imported gdiplus.dll is looked for in the program's own folder first, and the
// wizard runs elevated from a folder the user may write to: a planted copy would run
// with administrator rights before the first line of the program. So the programs
// link no import library for GDI+. The flat functions that the GDI+ classes of
// <gdiplus.h> call are defined here instead, each forwarding to the same function of
// the system's gdiplus.dll (platform::win32::LoadSystemLibrary), looked up on first
// use. The linker binds the classes' calls to these definitions by their C names;
// the parameters are spelled with plain types (every one a 32-bit word, pointer or
// integer, as in the flat API), so this file needs no GDI+ header. Without the
// library every call fails: GdiplusStartup reports an error, pictures stay empty.
#include "../windows_support.h"

namespace {

using Status = int; // Gdiplus::Status
constexpr Status kGenericError = 1;

FARPROC Entry(const char* name) {
    static HMODULE library = platform::win32::LoadSystemLibrary(L"gdiplus.dll");
    return library ? GetProcAddress(library, name) : nullptr;
}

template <class Function> Function Resolve(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(Entry(name)));
}

} // namespace

// Each forwarder: a C function of the flat API's name and parameters that calls the
// library's own, or returns `failure` without it.
#define GDIPLUS_FORWARD(result, failure, name, parameters, arguments)                              \
    extern "C" result WINAPI name parameters {                                                     \
        using Function = result(WINAPI*) parameters;                                               \
        static const Function function = Resolve<Function>(#name);                                 \
        if (!function)                                                                             \
            return failure;                                                                        \
        return function arguments;                                                                 \
    }

using Word = void*;

GDIPLUS_FORWARD(Status, kGenericError, GdiplusStartup, (Word token, Word input, Word output),
                (token, input, output))
GDIPLUS_FORWARD(void, , GdiplusShutdown, (ULONG_PTR token), (token))
GDIPLUS_FORWARD(void*, nullptr, GdipAlloc, (size_t size), (size))
GDIPLUS_FORWARD(void, , GdipFree, (void* memory), (memory))
GDIPLUS_FORWARD(Status, kGenericError, GdipCloneImage, (Word image, Word clone), (image, clone))
GDIPLUS_FORWARD(Status, kGenericError, GdipCreateBitmapFromScan0,
                (int width, int height, int stride, int format, Word scan0, Word bitmap),
                (width, height, stride, format, scan0, bitmap))
GDIPLUS_FORWARD(Status, kGenericError, GdipCreateBitmapFromStream, (Word stream, Word bitmap),
                (stream, bitmap))
GDIPLUS_FORWARD(Status, kGenericError, GdipCreateFromHDC, (Word dc, Word graphics), (dc, graphics))
GDIPLUS_FORWARD(Status, kGenericError, GdipCreateHICONFromBitmap, (Word bitmap, Word icon),
                (bitmap, icon))
GDIPLUS_FORWARD(Status, kGenericError, GdipDeleteGraphics, (Word graphics), (graphics))
GDIPLUS_FORWARD(Status, kGenericError, GdipDisposeImage, (Word image), (image))
GDIPLUS_FORWARD(Status, kGenericError, GdipDrawImageRectI,
                (Word graphics, Word image, int x, int y, int width, int height),
                (graphics, image, x, y, width, height))
GDIPLUS_FORWARD(Status, kGenericError, GdipGetImageGraphicsContext, (Word image, Word graphics),
                (image, graphics))
GDIPLUS_FORWARD(Status, kGenericError, GdipGetImageHeight, (Word image, Word height),
                (image, height))
GDIPLUS_FORWARD(Status, kGenericError, GdipGetImageWidth, (Word image, Word width), (image, width))
GDIPLUS_FORWARD(Status, kGenericError, GdipSetInterpolationMode, (Word graphics, int mode),
                (graphics, mode))
GDIPLUS_FORWARD(Status, kGenericError, GdipSetPixelOffsetMode, (Word graphics, int mode),
                (graphics, mode))
