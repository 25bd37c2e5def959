#include "gui/Panel.h"

namespace gui {

namespace {

// Lines along the top and left in one colour and along the bottom and right in another, width
// times, each inside the previous; r shrinks accordingly.
void frame3D(HDC dc, RECT& r, COLORREF topLeft, COLORREF bottomRight, int width) {
    GdiObject<HBRUSH> light(CreateSolidBrush(topLeft));
    GdiObject<HBRUSH> dark(CreateSolidBrush(bottomRight));
    for (int i = 0; i < width && r.right - r.left > 1 && r.bottom - r.top > 1; ++i) {
        RECT top{r.left, r.top, r.right - 1, r.top + 1};
        RECT left{r.left, r.top, r.left + 1, r.bottom - 1};
        RECT bottom{r.left, r.bottom - 1, r.right, r.bottom};
        RECT right{r.right - 1, r.top, r.right, r.bottom};
        FillRect(dc, &top, light.get());
        FillRect(dc, &left, light.get());
        FillRect(dc, &bottom, dark.get());
        FillRect(dc, &right, dark.get());
        InflateRect(&r, -1, -1);
    }
}

void bevel(HDC dc, RECT& r, TBevelCut cut, int width, TColor color) {
    switch (cut) {
    case bvNone:
        break;
    case bvRaised:
        frame3D(dc, r, ColorToRGB(clBtnHighlight), ColorToRGB(clBtnShadow), width);
        break;
    case bvLowered:
        frame3D(dc, r, ColorToRGB(clBtnShadow), ColorToRGB(clBtnHighlight), width);
        break;
    case bvSpace:
        frame3D(dc, r, ColorToRGB(color), ColorToRGB(color), width);
        break;
    }
}

}  // namespace

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque);
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
    bevelOuter_ = bevel;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut bevel) {
    bevelInner_ = bevel;
    Invalidate();
}

void TPanel::SetBevelWidth(int width) {
    bevelWidth_ = width < 1 ? 1 : width;
    Invalidate();
}

void TPanel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void TPanel::SetBorderStyle(TBorderStyle style) {
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    ChangeFrameStyle(GWL_STYLE, WS_BORDER, style == bsSingle);
}

void TPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    if (borderStyle_ == bsSingle)
        params.Style |= WS_BORDER;
}

void TPanel::Dispatch(TMessage& message) {
    if (message.Msg == WM_ERASEBKGND) {
        // Paint fills the whole client area.
        message.Result = 1;
        return;
    }
    TCustomControl::Dispatch(message);
}

void TPanel::Paint() {
    HDC dc = Canvas()->Handle();
    RECT r = ClientRect();
    bevel(dc, r, bevelOuter_, bevelWidth_, Color());
    bevel(dc, r, bevelInner_, bevelWidth_, Color());
    if (HBRUSH brush = Brush()->Handle())
        FillRect(dc, &r, brush);
    const std::wstring caption = Caption();
    if (caption.empty())
        return;
    Canvas()->Font()->Assign(*Font());
    Canvas()->Brush()->SetStyle(bsClear);
    SelectedObject font(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    UINT format = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
    format |= alignment_ == taCenter ? DT_CENTER : (alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, format);
}

}  // namespace gui
