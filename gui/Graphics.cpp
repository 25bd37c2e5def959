#include "gui/Graphics.h"
#include "gui/Bitmap.h"

namespace gui {

void TGraphicsObject::Changed() {
    stale_ = true;
    if (OnChange)
        OnChange();
}

// ---- TPen

void TPen::SetColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(int width) {
    if (width < 0)
        width = 0;
    if (width_ == width)
        return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (style_ == style)
        return;
    style_ = style;
    Changed();
}

void TPen::Assign(const TPen& other) {
    color_ = other.color_;
    width_ = other.width_;
    style_ = other.style_;
    Changed();
}

HPEN TPen::Handle() {
    if (TakeStale() || !handle_) {
        int style = PS_SOLID;
        switch (style_) {
        case psSolid:
            style = PS_SOLID;
            break;
        case psDash:
            style = PS_DASH;
            break;
        case psDot:
            style = PS_DOT;
            break;
        case psDashDot:
            style = PS_DASHDOT;
            break;
        case psDashDotDot:
            style = PS_DASHDOTDOT;
            break;
        case psClear:
            style = PS_NULL;
            break;
        }
        handle_.reset(CreatePen(style, width_, ColorToRGB(color_)));
    }
    return handle_.get();
}

// ---- TBrush

void TBrush::SetColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    if (style_ == bsClear)
        style_ = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style_ == style)
        return;
    style_ = style;
    Changed();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
    if (bitmap_ == bitmap)
        return;
    bitmap_ = bitmap;
    Changed();
}

void TBrush::Assign(const TBrush& other) {
    color_ = other.color_;
    style_ = other.style_;
    bitmap_ = other.bitmap_;
    Changed();
}

HBRUSH TBrush::Handle() {
    if (TakeStale() || !handle_) {
        if (bitmap_ && bitmap_->Handle())
            handle_.reset(CreatePatternBrush(bitmap_->Handle()));
        else if (style_ == bsClear)
            handle_.reset();
        else
            handle_.reset(CreateSolidBrush(ColorToRGB(color_)));
    }
    return handle_.get();
}

// ---- TFont

void TFont::SetName(const std::wstring& name) {
    if (name_ == name)
        return;
    name_ = name;
    Changed();
}

void TFont::SetSize(int points) {
    if (size_ == points)
        return;
    size_ = points;
    Changed();
}

int TFont::Height() const {
    return -MulDiv(size_, PixelsPerInch(), 72);
}

void TFont::SetHeight(int pixels) {
    SetSize(-MulDiv(pixels, 72, PixelsPerInch()));
}

void TFont::SetStyle(TFontStyles style) {
    if (style_ == style)
        return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color_ == color)
        return;
    color_ = color;
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (SameAs(other))
        return;
    name_ = other.name_;
    size_ = other.size_;
    style_ = other.style_;
    color_ = other.color_;
    Changed();
}

bool TFont::SameAs(const TFont& other) const {
    return name_ == other.name_ && size_ == other.size_ && style_ == other.style_ && color_ == other.color_;
}

HFONT TFont::Handle() {
    if (TakeStale() || !handle_) {
        LOGFONTW lf{};
        lf.lfHeight = Height();
        lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
        lf.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
        lf.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynW(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_.reset(CreateFontIndirectW(&lf));
    }
    return handle_.get();
}

int TFont::PixelsPerInch() {
    static const int ppi = [] {
        HDC screen = GetDC(nullptr);
        const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen)
            ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return ppi;
}

}  // namespace gui
