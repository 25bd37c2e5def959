#include "gui/ScrollBox.h"
#include "gui/ScrollMath.h"

namespace gui {

// ---- one bar

void TControlScrollBar::SetRange(int range) {
    range_ = range < 0 ? 0 : range;
    box_.UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool visible) {
    visible_ = visible;
    box_.UpdateScrollBars();
}

int TControlScrollBar::PageSize() const {
    return kind_ == sbVertical ? box_.ClientHeight() : box_.ClientWidth();
}

int TControlScrollBar::LineStep() const {
    return ScrollLineStep(increment_, smooth_, PageSize());
}

bool TControlScrollBar::IsScrollBarVisible() const {
    if (box_.HandleAllocated()) {
        const LONG_PTR style = GetWindowLongPtrW(box_.Handle(), GWL_STYLE);
        return (style & (kind_ == sbVertical ? WS_VSCROLL : WS_HSCROLL)) != 0;
    }
    return visible_ && range_ > PageSize();
}

void TControlScrollBar::SetPosition(int position) {
    const int clamped = visible_ ? ClampScrollPosition(position, range_, PageSize()) : 0;
    if (clamped != position_) {
        const int delta = position_ - clamped;
        position_ = clamped;
        if (kind_ == sbVertical)
            box_.ScrollBy(0, delta);
        else
            box_.ScrollBy(delta, 0);
    }
    // Every setting redraws the bar, even one it holds already: those are left out.
    const int bar = kind_ == sbVertical ? SB_VERT : SB_HORZ;
    if (box_.HandleAllocated() && GetScrollPos(box_.Handle(), bar) != position_)
        SetScrollPos(box_.Handle(), bar, position_, box_.BarsCovered() ? FALSE : TRUE);
}

void TControlScrollBar::ScrollMessage(WPARAM wParam) {
    ScrollRequest request;
    request.code = LOWORD(wParam);
    if (request.code == SB_THUMBTRACK || request.code == SB_THUMBPOSITION) {
        request.trackPosition = HIWORD(wParam);
        if (range_ > 0xFFFF) {
            // The message holds only 16 bits; the bar knows the whole track position.
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(box_.Handle(), kind_ == sbVertical ? SB_VERT : SB_HORZ, &info))
                request.trackPosition = info.nTrackPos;
        }
    }
    SetPosition(ScrollTarget(request, position_, range_, PageSize(), LineStep(), tracking_));
}

void TControlScrollBar::Update() {
    if (!box_.HandleAllocated())
        return;
    HWND window = box_.Handle();
    const int bar = kind_ == sbVertical ? SB_VERT : SB_HORZ;
    const int page = PageSize();
    const bool show = visible_ && range_ > page;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (show) {
        info.nMin = 0;
        info.nMax = range_ - 1;
        info.nPage = static_cast<UINT>(page > 0 ? page : 0);
        info.nPos = position_;
    }
    // A growing grid sets its range often, and every setting redraws the bar (showing it asks the
    // window server too): what the bar holds already is not set again.
    SCROLLINFO held{};
    held.cbSize = sizeof(held);
    held.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (!GetScrollInfo(window, bar, &held) || !SameScrollValues(held, info))
        SetScrollInfo(window, bar, &info, box_.BarsCovered() ? FALSE : TRUE);
    if (show != IsScrollBarVisible())
        ShowScrollBar(window, bar, show ? TRUE : FALSE);
}

// ---- the box

TScrollBox::TScrollBox(TComponent* owner)
    : TWinControl(owner), vertScrollBar_(*this, sbVertical), horzScrollBar_(*this, sbHorizontal) {
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents);
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    if (borderStyle_ == bsSingle)
        params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::HandleCreated() {
    UpdateScrollBars();
}

void TScrollBox::SetBorderStyle(TBorderStyle style) {
    if (borderStyle_ == style)
        return;
    borderStyle_ = style;
    ChangeFrameStyle(GWL_EXSTYLE, WS_EX_CLIENTEDGE, style == bsSingle);
}

void TScrollBox::UpdateScrollBars() {
    if (updating_)
        return;
    updating_ = true;
    // Showing one bar narrows the client area for the other: settle in two rounds.
    for (int round = 0; round < 2; ++round) {
        vertScrollBar_.SetPosition(vertScrollBar_.Position());
        horzScrollBar_.SetPosition(horzScrollBar_.Position());
        vertScrollBar_.Update();
        horzScrollBar_.Update();
    }
    updating_ = false;
}

void TScrollBox::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_VSCROLL:
        if (message.LParam == 0) {
            vertScrollBar_.ScrollMessage(message.WParam);
            message.Result = 0;
            return;
        }
        break;
    case WM_HSCROLL:
        if (message.LParam == 0) {
            horzScrollBar_.ScrollMessage(message.WParam);
            message.Result = 0;
            return;
        }
        break;
    case WM_SIZE:
        TWinControl::Dispatch(message);
        UpdateScrollBars();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(message);
}

}  // namespace gui
