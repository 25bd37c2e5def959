#pragma once
// A drawing surface over a device context that the canvas does not own: the paint context of a
// control, or a bitmap's memory context. It selects its pen, brush and font as drawing needs them
// and puts the context's own objects back when the context is replaced.
#include "gui/Graphics.h"
#include <string>

namespace gui {

class TBitmap;

class TCanvas {
public:
    TCanvas();
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return dc_; }
    void SetHandle(HDC dc);

    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    TFont* Font() { return &font_; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    POINT PenPos() const { return penPos_; }
    void Polyline(const POINT* points, int count);
    void Polygon(const POINT* points, int count);
    // Outlined with the pen and filled with the brush; right and bottom exclusive.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void Ellipse(int left, int top, int right, int bottom);
    // Filled with the brush only.
    void FillRect(const RECT& r);
    void FrameRect(const RECT& r);

    // Text in the font; the background is the brush colour unless the brush is clear.
    void TextOut(int x, int y, const std::wstring& text);
    void TextRect(const RECT& r, int x, int y, const std::wstring& text);
    SIZE TextExtent(const std::wstring& text);
    int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
    int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }

    // Bitmaps with alpha are blended; others are copied.
    void Draw(int x, int y, TBitmap* bitmap);
    void StretchDraw(const RECT& dest, TBitmap* bitmap);
    void CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect);

    // The clip box in logical coordinates.
    RECT ClipRect() const;
    COLORREF Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

private:
    void requirePen();
    void requireBrush();
    void requireFont();
    void deselectPen();
    void deselectBrush();
    void deselectFont();
    void prepareText();

    HDC dc_ = nullptr;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    HGDIOBJ originalPen_ = nullptr;
    HGDIOBJ originalBrush_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
    POINT penPos_{};
};

}  // namespace gui
