#pragma once
// The drawing tools: pen, brush and font. Each creates its GDI handle on demand, recreates it
// after a change and tells its user through OnChange (a canvas deselects it, a control repaints).
#include "gui/Types.h"
#include "gui/Win32Handles.h"
#include <functional>
#include <string>

namespace gui {

class TBitmap;

class TGraphicsObject {
public:
    TGraphicsObject() = default;
    virtual ~TGraphicsObject() = default;
    TGraphicsObject(const TGraphicsObject&) = delete;
    TGraphicsObject& operator=(const TGraphicsObject&) = delete;

    // Called after every change. The old handle stays valid until the next Handle() request
    // makes the new one, so a canvas deselects it here and a control may ask for the new one.
    std::function<void()> OnChange;

protected:
    void Changed();
    // True once after a change: the handle must be made again.
    bool TakeStale() {
        const bool stale = stale_;
        stale_ = false;
        return stale;
    }

private:
    bool stale_ = false;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

class TPen : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    void Assign(const TPen& other);

    HPEN Handle();

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    GdiObject<HPEN> handle_;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    // A bitmap makes a pattern brush (the bitmap repeats from the device origin). The brush
    // does not own the bitmap; the caller keeps it alive while it is set.
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* bitmap);
    void Assign(const TBrush& other);

    // Null for a clear brush.
    HBRUSH Handle();

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
    GdiObject<HBRUSH> handle_;
};

enum TFontStyle : unsigned {
    fsBold = 1u << 0,
    fsItalic = 1u << 1,
    fsUnderline = 1u << 2,
    fsStrikeOut = 1u << 3
};
using TFontStyles = unsigned;

class TFont : public TGraphicsObject {
public:
    const std::wstring& Name() const { return name_; }
    void SetName(const std::wstring& name);
    // Size in points; Height in pixels (negative: character height, as LOGFONT).
    int Size() const { return size_; }
    void SetSize(int points);
    int Height() const;
    void SetHeight(int pixels);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    HFONT Handle();

    // Pixels per logical inch of the screen.
    static int PixelsPerInch();

private:
    std::wstring name_ = L"Tahoma";
    int size_ = 8;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    GdiObject<HFONT> handle_;
};

}  // namespace gui
