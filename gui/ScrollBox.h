#pragma once
// TScrollBox: a windowed container with its own scroll bars. The program sets each bar's Range
// (the content's extent); setting Position scrolls every child, and the default handling of
// WM_VSCROLL / WM_HSCROLL moves the position (lines, pages, thumb, top, bottom).
#include "gui/WinControl.h"

namespace gui {

class TScrollBox;

enum TScrollBarKind { sbHorizontal, sbVertical };

class TControlScrollBar {
public:
    TControlScrollBar(TScrollBox& box, TScrollBarKind kind) : box_(box), kind_(kind) {}

    TScrollBarKind Kind() const { return kind_; }
    int Range() const { return range_; }
    void SetRange(int range);
    int Position() const { return position_; }
    // Clamped to 0 .. Range - visible extent; the children move with it.
    void SetPosition(int position);
    int Increment() const { return increment_; }
    void SetIncrement(int increment) { increment_ = increment > 0 ? increment : 1; }
    // A smooth bar steps a tenth of nine tenths of the visible extent per line.
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool smooth) { smooth_ = smooth; }
    // The content follows the thumb while it is dragged (else only when it is released).
    bool Tracking() const { return tracking_; }
    void SetTracking(bool tracking) { tracking_ = tracking; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // The bar is shown (visible and the range exceeds the visible extent).
    bool IsScrollBarVisible() const;
    int LineStep() const;
    int PageSize() const;

    // WM_VSCROLL / WM_HSCROLL of the box.
    void ScrollMessage(WPARAM wParam);
    // Sends range, page and position to the window's bar.
    void Update();

private:
    TScrollBox& box_;
    TScrollBarKind kind_;
    int range_ = 0;
    int position_ = 0;
    int increment_ = 8;
    bool smooth_ = false;
    bool tracking_ = false;
    bool visible_ = true;
};

class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* owner);

    TControlScrollBar* VertScrollBar() { return &vertScrollBar_; }
    TControlScrollBar* HorzScrollBar() { return &horzScrollBar_; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // Brings both bars in line with the client size.
    void UpdateScrollBars();
    // The owner lays bars of its own over the box's, which still take their room and hold range
    // and position: drawing them would only be painted over.
    bool BarsCovered() const { return barsCovered_; }
    void SetBarsCovered(bool covered) { barsCovered_ = covered; }

    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void HandleCreated() override;

private:
    TControlScrollBar vertScrollBar_;
    TControlScrollBar horzScrollBar_;
    TBorderStyle borderStyle_ = bsSingle;
    bool updating_ = false;
    bool barsCovered_ = false;
};

}  // namespace gui
