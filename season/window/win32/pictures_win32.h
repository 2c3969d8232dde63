// The window's pictures, decoded by GDI+ from the program's resources (JPEG for
// the background and the seasons, PNG with transparency for the icons).
#pragma once

#include "windows_gui.h"

#include <memory>

namespace season::win32 {

// Starts GDI+ for the lifetime of the object.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

// One decoded picture.
class Picture {
public:
    explicit Picture(int resourceId);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool Loaded() const { return bitmap_ != nullptr; }
    // Draws the picture into a box, scaled with a high-quality filter when the box
    // differs from its size; transparent parts let what is below show through.
    void Draw(HDC dc, const RECT& box) const;
    // A 32-bit copy at the given size (for the background brush).
    HBITMAP MakeBitmap(int width, int height) const;
    // An icon at the given size (for button glyphs).
    HICON MakeIcon(int size) const;

private:
    Gdiplus::Bitmap* bitmap_ = nullptr;
    IStream* stream_ = nullptr; // GDI+ reads from it for the bitmap's lifetime
};

} // namespace season::win32
