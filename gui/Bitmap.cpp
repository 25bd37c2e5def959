#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include <cstring>
#include <utility>

namespace gui {

namespace {

// Whether the first row in memory is the top row. The height's sign in DIBSECTION cannot be
// trusted (some systems report it positive for top-down sections), so look: draw the top-left
// pixel and see where it lands, then put the old value back.
bool rowsRunDownward(HBITMAP bitmap, uint32_t* bits, int height, int stride) {
    if (height <= 1)
        return true;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return true;
    HGDIOBJ old = SelectObject(dc, bitmap);
    uint32_t* firstRow = bits;
    uint32_t* lastRow = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(bits) +
                                                    static_cast<ptrdiff_t>(height - 1) * stride);
    GdiFlush();
    const uint32_t savedFirst = firstRow[0];
    const uint32_t savedLast = lastRow[0];
    firstRow[0] = 0;
    lastRow[0] = 0;
    SetPixelV(dc, 0, 0, RGB(1, 2, 3));
    GdiFlush();
    const bool downward = firstRow[0] != 0;
    firstRow[0] = savedFirst;
    lastRow[0] = savedLast;
    SelectObject(dc, old);
    DeleteDC(dc);
    return downward;
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    releaseCanvas();
    if (handle_)
        DeleteObject(handle_);
}

void TBitmap::releaseCanvas() {
    if (canvas_)
        canvas_->SetHandle(nullptr);
    if (memoryDC_) {
        if (originalBitmap_)
            SelectObject(memoryDC_, originalBitmap_);
        DeleteDC(memoryDC_);
    }
    memoryDC_ = nullptr;
    originalBitmap_ = nullptr;
}

void TBitmap::setHandleInternal(HBITMAP handle, bool hasAlpha) {
    releaseCanvas();
    if (handle_ && handle_ != handle)
        DeleteObject(handle_);
    handle_ = handle;
    hasAlpha_ = hasAlpha;
    width_ = height_ = 0;
    bits_ = nullptr;
    stride_ = 0;
    topDown_ = true;
    if (handle_) {
        DIBSECTION dib{};
        if (GetObjectW(handle_, sizeof(dib), &dib) == sizeof(dib)) {
            width_ = dib.dsBm.bmWidth;
            height_ = dib.dsBm.bmHeight;
            if (dib.dsBm.bmBitsPixel == 32 && dib.dsBm.bmBits) {
                bits_ = dib.dsBm.bmBits;
                stride_ = dib.dsBm.bmWidthBytes;
                topDown_ = rowsRunDownward(handle_, static_cast<uint32_t*>(bits_), height_, stride_);
            }
        } else {
            BITMAP bm{};
            if (GetObjectW(handle_, sizeof(bm), &bm)) {
                width_ = bm.bmWidth;
                height_ = bm.bmHeight;
            }
        }
    }
    if (OnChange)
        OnChange();
}

void TBitmap::SetSize(int width, int height) {
    if (width <= 0 || height <= 0) {
        setHandleInternal(nullptr, false);
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (handle && bits)
        std::memset(bits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    setHandleInternal(handle, false);
}

void TBitmap::SetHandle(HBITMAP handle, bool hasAlpha) {
    setHandleInternal(handle, hasAlpha);
}

HBITMAP TBitmap::ReleaseHandle() {
    releaseCanvas();
    HBITMAP handle = std::exchange(handle_, nullptr);
    setHandleInternal(nullptr, false);
    return handle;
}

uint32_t* TBitmap::ScanLine(int y) {
    if (!bits_ || y < 0 || y >= height_)
        return nullptr;
    GdiFlush();
    const int row = topDown_ ? y : height_ - 1 - y;
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(bits_) + static_cast<ptrdiff_t>(row) * stride_);
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_)
        canvas_ = std::make_unique<TCanvas>();
    if (!memoryDC_ && handle_) {
        memoryDC_ = CreateCompatibleDC(nullptr);
        if (memoryDC_)
            originalBitmap_ = SelectObject(memoryDC_, handle_);
        canvas_->SetHandle(memoryDC_);
    }
    return canvas_.get();
}

bool TBitmap::LoadFromResourceID(HINSTANCE module, int id) {
    HANDLE image = LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!image)
        return false;
    setHandleInternal(static_cast<HBITMAP>(image), false);
    return true;
}

void TBitmap::Assign(TBitmap* source) {
    if (!source || source == this)
        return;
    if (source->Empty()) {
        SetSize(0, 0);
        return;
    }
    const bool alpha = source->HasAlpha();
    SetSize(source->Width(), source->Height());
    HDC from = source->Canvas()->Handle();
    HDC to = Canvas()->Handle();
    if (from && to)
        BitBlt(to, 0, 0, width_, height_, from, 0, 0, SRCCOPY);
    hasAlpha_ = alpha;
}

}  // namespace gui
