#include "support/ScreenCapture.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <set>

#include "support/TestSupport.h"

namespace testsupport {
namespace {

// GDI+ for the duration of one save.
class GdiPlusToken {
public:
    GdiPlusToken() {
        Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiPlusToken() {
        if (started_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiPlusToken(const GdiPlusToken&) = delete;
    GdiPlusToken& operator=(const GdiPlusToken&) = delete;
    bool started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

bool pngEncoder(CLSID& clsid) {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == L"image/png") {
            clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

ScreenCapture::ScreenCapture(const RECT& area)
    : width_(area.right > area.left ? area.right - area.left : 0),
      height_(area.bottom > area.top ? area.bottom - area.top : 0) {
    if (width_ == 0 || height_ == 0)
        return;
    pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
    HDC screen = GetDC(nullptr);
    if (!screen)
        return;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        valid_ = BitBlt(memory, 0, 0, width_, height_, screen, area.left, area.top, SRCCOPY) != FALSE;
        GdiFlush();
        const auto* source = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < pixels_.size(); ++i)
            pixels_[i] = source[i] & 0x00FFFFFFu;
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

ScreenCapture ScreenCapture::ofWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return ScreenCapture(rect);
}

COLORREF ScreenCapture::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return RGB(0, 0, 0);
    const uint32_t pixel =
        pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

int ScreenCapture::count(const RECT& r, COLORREF colour, int tolerance) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += closeTo(at(x, y), colour, tolerance) ? 1 : 0;
    return n;
}

int ScreenCapture::distinctColours(int step) const {
    std::set<COLORREF> colours;
    for (int y = 0; y < height_; y += step)
        for (int x = 0; x < width_; x += step)
            colours.insert(at(x, y));
    return static_cast<int>(colours.size());
}

bool ScreenCapture::saveArtifact(const std::wstring& name) const {
    const std::wstring folder = binaryPath(L"artifacts");
    CreateDirectoryW(folder.c_str(), nullptr);
    return savePng(folder + L"\\" + name);
}

bool ScreenCapture::savePng(const std::wstring& path) const {
    if (!valid_)
        return false;
    GdiPlusToken gdiPlus;
    CLSID png{};
    if (!gdiPlus.started() || !pngEncoder(png))
        return false;
    std::vector<uint32_t> copy(pixels_);
    Gdiplus::Bitmap picture(width_, height_, width_ * 4, PixelFormat32bppRGB,
                            reinterpret_cast<BYTE*>(copy.data()));
    return picture.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool closeTo(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace testsupport
