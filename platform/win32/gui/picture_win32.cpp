#include "gui/picture.h"

#include "scoped_win32.h"

#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
// GDI+'s headers use min and max unqualified.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

#include <utility>

namespace platform::gui {
namespace {

Gdiplus::Bitmap* AsBitmap(void* p) {
    return static_cast<Gdiplus::Bitmap*>(p);
}

} // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiplusSession::~GdiplusSession() {
    Gdiplus::GdiplusShutdown(token_);
}

Picture::~Picture() {
    Reset();
}

Picture::Picture(Picture&& other) noexcept
    : bitmap_(std::exchange(other.bitmap_, nullptr)),
      stream_(std::exchange(other.stream_, nullptr)) {}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        Reset();
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        stream_ = std::exchange(other.stream_, nullptr);
    }
    return *this;
}

void Picture::Reset() {
    delete AsBitmap(bitmap_);
    bitmap_ = nullptr;
    if (stream_)
        static_cast<IStream*>(stream_)->Release();
    stream_ = nullptr;
}

Picture Picture::FromResource(int resourceId) {
    Picture picture;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));
    if (!info)
        return picture;
    HGLOBAL data = LoadResource(module, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    const DWORD size = SizeofResource(module, info);
    if (!bytes || size == 0)
        return picture;
    return FromBytes(bytes, size);
}

Picture Picture::FromFile(const std::string& path) {
    Picture picture;
    // Read whole into memory, so that the file is not held open while the picture
    // is shown: the removal deletes it.
    std::string bytes;
    {
        const platform::win32::ScopedFileHandle file(
            CreateFileW(platform::win32::WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return picture;
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0 && size.QuadPart < (64 << 20)) {
            bytes.resize(static_cast<size_t>(size.QuadPart));
            DWORD read = 0;
            if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read,
                          nullptr) ||
                read != bytes.size())
                bytes.clear();
        }
    }
    if (bytes.empty())
        return picture;
    return FromBytes(bytes.data(), static_cast<unsigned>(bytes.size()));
}

Picture Picture::FromBytes(const void* bytes, unsigned size) {
    Picture picture;
    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(bytes), size);
    if (!stream)
        return picture;
    picture.stream_ = stream;
    Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromStream(stream);
    if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok)
        picture.bitmap_ = bitmap;
    else
        delete bitmap;
    return picture;
}

int Picture::Width() const {
    return bitmap_ ? static_cast<int>(AsBitmap(bitmap_)->GetWidth()) : 0;
}

int Picture::Height() const {
    return bitmap_ ? static_cast<int>(AsBitmap(bitmap_)->GetHeight()) : 0;
}

void Picture::Draw(HDC dc, const RECT& box) const {
    if (!bitmap_)
        return;
    Gdiplus::Graphics g(dc);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const bool fullSize = Width() == width && Height() == height;
    g.SetInterpolationMode(fullSize ? Gdiplus::InterpolationModeNearestNeighbor
                                    : Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.DrawImage(AsBitmap(bitmap_), Gdiplus::Rect(box.left, box.top, width, height));
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
    HBITMAP bitmap = nullptr;
    {
        const platform::win32::ScopedGetDc screen(nullptr);
        bitmap = CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    if (!bitmap)
        return nullptr;
    const platform::win32::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
    const platform::win32::ScopedSelect selected(dc.Get(), bitmap);
    const RECT box{0, 0, width, height};
    FillRect(dc.Get(), &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Draw(dc.Get(), box);
    return bitmap;
}

HICON Picture::MakeIcon(int size) const {
    if (!bitmap_)
        return nullptr;
    Gdiplus::Bitmap scaled(size, size, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&scaled);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        g.DrawImage(AsBitmap(bitmap_), Gdiplus::Rect(0, 0, size, size));
    }
    HICON icon = nullptr;
    scaled.GetHICON(&icon);
    return icon;
}

} // namespace platform::gui
