#include "gui/Canvas.h"
#include "gui/Bitmap.h"

namespace gui {

TCanvas::TCanvas() {
    font_.SetColor(clBlack);
    pen_.OnChange = [this] { deselectPen(); };
    brush_.OnChange = [this] { deselectBrush(); };
    font_.OnChange = [this] { deselectFont(); };
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
}

void TCanvas::SetHandle(HDC dc) {
    if (dc_ == dc)
        return;
    if (dc_) {
        deselectPen();
        deselectBrush();
        deselectFont();
    }
    dc_ = dc;
    penPos_ = POINT{0, 0};
    if (dc_) {
        POINT current{};
        if (GetCurrentPositionEx(dc_, &current))
            penPos_ = current;
    }
}

void TCanvas::requirePen() {
    if (!originalPen_)
        originalPen_ = SelectObject(dc_, pen_.Handle());
}

void TCanvas::requireBrush() {
    if (!originalBrush_) {
        HBRUSH brush = brush_.Handle();
        originalBrush_ = SelectObject(dc_, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
        if (brush_.Bitmap()) {
            // Pattern brushes draw with the text colours for monochrome patterns.
            SetBkColor(dc_, RGB(255, 255, 255));
            SetTextColor(dc_, RGB(0, 0, 0));
        }
    }
}

void TCanvas::requireFont() {
    if (!originalFont_)
        originalFont_ = SelectObject(dc_, font_.Handle());
}

void TCanvas::deselectPen() {
    if (dc_ && originalPen_)
        SelectObject(dc_, originalPen_);
    originalPen_ = nullptr;
}

void TCanvas::deselectBrush() {
    if (dc_ && originalBrush_)
        SelectObject(dc_, originalBrush_);
    originalBrush_ = nullptr;
}

void TCanvas::deselectFont() {
    if (dc_ && originalFont_)
        SelectObject(dc_, originalFont_);
    originalFont_ = nullptr;
}

void TCanvas::MoveTo(int x, int y) {
    if (!dc_)
        return;
    MoveToEx(dc_, x, y, nullptr);
    penPos_ = POINT{x, y};
}

void TCanvas::LineTo(int x, int y) {
    if (!dc_)
        return;
    requirePen();
    ::LineTo(dc_, x, y);
    penPos_ = POINT{x, y};
}

void TCanvas::Polyline(const POINT* points, int count) {
    if (!dc_ || count <= 0)
        return;
    requirePen();
    ::Polyline(dc_, points, count);
}

void TCanvas::Polygon(const POINT* points, int count) {
    if (!dc_ || count <= 0)
        return;
    requirePen();
    requireBrush();
    ::Polygon(dc_, points, count);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (!dc_)
        return;
    requirePen();
    requireBrush();
    ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
    if (!dc_)
        return;
    requirePen();
    requireBrush();
    ::RoundRect(dc_, left, top, right, bottom, cornerWidth, cornerHeight);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (!dc_)
        return;
    requirePen();
    requireBrush();
    ::Ellipse(dc_, left, top, right, bottom);
}

void TCanvas::FillRect(const RECT& r) {
    if (!dc_)
        return;
    if (HBRUSH brush = brush_.Handle())
        ::FillRect(dc_, &r, brush);
}

void TCanvas::FrameRect(const RECT& r) {
    if (!dc_)
        return;
    if (HBRUSH brush = brush_.Handle())
        ::FrameRect(dc_, &r, brush);
}

void TCanvas::prepareText() {
    requireFont();
    SetTextColor(dc_, ColorToRGB(font_.Color()));
    if (brush_.Style() == bsClear && !brush_.Bitmap()) {
        SetBkMode(dc_, TRANSPARENT);
    } else {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, ColorToRGB(brush_.Color()));
    }
}

void TCanvas::TextOut(int x, int y, const std::wstring& text) {
    if (!dc_)
        return;
    prepareText();
    ExtTextOutW(dc_, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    penPos_.x = x + TextExtent(text).cx;
}

void TCanvas::TextRect(const RECT& r, int x, int y, const std::wstring& text) {
    if (!dc_)
        return;
    prepareText();
    const UINT options = ETO_CLIPPED | (brush_.Style() == bsClear ? 0 : ETO_OPAQUE);
    ExtTextOutW(dc_, x, y, options, &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::wstring& text) {
    SIZE size{};
    if (!dc_)
        return size;
    requireFont();
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TBitmap* bitmap) {
    if (!dc_ || !bitmap || bitmap->Empty())
        return;
    StretchDraw(RECT{x, y, x + bitmap->Width(), y + bitmap->Height()}, bitmap);
}

void TCanvas::StretchDraw(const RECT& dest, TBitmap* bitmap) {
    if (!dc_ || !bitmap || bitmap->Empty())
        return;
    HDC source = bitmap->Canvas()->Handle();
    const int w = dest.right - dest.left;
    const int h = dest.bottom - dest.top;
    if (w <= 0 || h <= 0 || !source)
        return;
    if (bitmap->HasAlpha()) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc_, dest.left, dest.top, w, h, source, 0, 0, bitmap->Width(), bitmap->Height(), blend);
    } else if (w == bitmap->Width() && h == bitmap->Height()) {
        BitBlt(dc_, dest.left, dest.top, w, h, source, 0, 0, SRCCOPY);
    } else {
        const int oldMode = SetStretchBltMode(dc_, COLORONCOLOR);
        StretchBlt(dc_, dest.left, dest.top, w, h, source, 0, 0, bitmap->Width(), bitmap->Height(), SRCCOPY);
        SetStretchBltMode(dc_, oldMode);
    }
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect) {
    if (!dc_ || !source || !source->Handle())
        return;
    const int oldMode = SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source->Handle(),
               sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
               sourceRect.bottom - sourceRect.top, SRCCOPY);
    SetStretchBltMode(dc_, oldMode);
}

RECT TCanvas::ClipRect() const {
    RECT r{};
    if (dc_)
        GetClipBox(dc_, &r);
    return r;
}

COLORREF TCanvas::Pixel(int x, int y) const {
    return dc_ ? GetPixel(dc_, x, y) : CLR_INVALID;
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    if (dc_)
        ::SetPixel(dc_, x, y, ColorToRGB(color));
}

}  // namespace gui
