#include "pictures_win32.h"

namespace season::win32 {

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiplusSession::~GdiplusSession() {
    Gdiplus::GdiplusShutdown(token_);
}

Picture::Picture(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    if (!info)
        return;
    HGLOBAL data = LoadResource(module, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    const DWORD size = SizeofResource(module, info);
    if (!bytes || size == 0)
        return;
    stream_ = SHCreateMemStream(static_cast<const BYTE*>(bytes), size);
    if (!stream_)
        return;
    bitmap_ = Gdiplus::Bitmap::FromStream(stream_);
    if (bitmap_ && bitmap_->GetLastStatus() != Gdiplus::Ok) {
        delete bitmap_;
        bitmap_ = nullptr;
    }
}

Picture::~Picture() {
    delete bitmap_;
    if (stream_)
        stream_->Release();
}

void Picture::Draw(HDC dc, const RECT& box) const {
    if (!bitmap_)
        return;
    Gdiplus::Graphics g(dc);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const bool fullSize = static_cast<int>(bitmap_->GetWidth()) == width &&
                          static_cast<int>(bitmap_->GetHeight()) == height;
    g.SetInterpolationMode(fullSize ? Gdiplus::InterpolationModeNearestNeighbor
                                    : Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.DrawImage(bitmap_, Gdiplus::Rect(box.left, box.top, width, height));
}

HBITMAP Picture::MakeBitmap(int width, int height) const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!bitmap)
        return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT box{0, 0, width, height};
    Draw(dc, box);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

HICON Picture::MakeIcon(int size) const {
    if (!bitmap_)
        return nullptr;
    Gdiplus::Bitmap scaled(size, size, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&scaled);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        g.DrawImage(bitmap_, Gdiplus::Rect(0, 0, size, size));
    }
    HICON icon = nullptr;
    scaled.GetHICON(&icon);
    return icon;
}

} // namespace season::win32
