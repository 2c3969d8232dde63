// Pictures for the programs' Win32 windows, decoded by GDI+: JPEG and PNG from the
// program's own resources (RCDATA) or from a file beside the program. Windows only;
// window bindings are the only users.
#pragma once

#include "windows_support.h"

#include <string>

namespace platform::gui {

// Starts GDI+ for the lifetime of the object; pictures live inside it.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

// One decoded picture; empty when it could not be read or decoded.
class Picture {
public:
    Picture() = default;
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // An RCDATA resource of the running program.
    static Picture FromResource(int resourceId);
    // A picture file (its format is taken from its content). `path` is UTF-8, as
    // the program's other paths are.
    static Picture FromFile(const std::string& path);

    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;

    bool Loaded() const { return bitmap_ != nullptr; }
    int Width() const;
    int Height() const;
    // Draws the picture into a box, scaled with a high-quality filter when the box
    // differs from its size; transparent parts let what is below show through.
    void Draw(HDC dc, const RECT& box) const;
    // A 32-bit copy at the given size (for brushes and backgrounds).
    HBITMAP MakeBitmap(int width, int height) const;
    // An icon at the given size (for button glyphs).
    HICON MakeIcon(int size) const;

private:
    // The picture decoded from bytes that are copied into a stream of its own.
    static Picture FromBytes(const void* bytes, unsigned size);
    void Reset();
    void* bitmap_ = nullptr; // Gdiplus::Bitmap
    void* stream_ = nullptr; // IStream, which GDI+ reads for the bitmap's lifetime
};

} // namespace platform::gui
