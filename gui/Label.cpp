#include "gui/Label.h"

namespace gui {

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() | csOpaque);
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    adjustBounds();
}

void TLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void TLabel::SetWordWrap(bool wordWrap) {
    wordWrap_ = wordWrap;
    adjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    SetOpaque(!transparent);
    Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
    showAccelChar_ = show;
    adjustBounds();
    Invalidate();
}

UINT TLabel::textFormat() const {
    UINT format = DT_EXPANDTABS;
    format |= wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE;
    if (!showAccelChar_)
        format |= DT_NOPREFIX;
    if (alignment_ == taCenter)
        format |= DT_CENTER;
    else if (alignment_ == taRightJustify)
        format |= DT_RIGHT;
    return format;
}

void TLabel::TextChanged() {
    adjustBounds();
    Invalidate();
}

void TLabel::FontChanged() {
    adjustBounds();
    Invalidate();
}

void TLabel::adjustBounds() {
    if (!autoSize_)
        return;
    std::wstring text = Caption();
    if (text.empty())
        text = L" ";
    HDC screen = GetDC(nullptr);
    if (!screen)
        return;
    RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
    {
        SelectedObject font(screen, Font()->Handle());
        DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &r, textFormat() | DT_CALCRECT);
    }
    ReleaseDC(nullptr, screen);
    int left = Left();
    const int width = wordWrap_ ? Width() : r.right;
    if (alignment_ == taRightJustify && !wordWrap_)
        left = Left() + Width() - width;
    SetBounds(left, Top(), width, r.bottom);
}

void TLabel::Paint() {
    HDC dc = Canvas()->Handle();
    RECT r = ClientRect();
    if (!transparent_) {
        GdiObject<HBRUSH> background(CreateSolidBrush(ColorToRGB(Color())));
        FillRect(dc, &r, background.get());
    }
    const std::wstring text = Caption();
    SelectedObject font(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, textFormat());
}

}  // namespace gui
