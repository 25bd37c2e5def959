#pragma once
// CustomScrollBar: takes over the vertical scroll bar of a window (one created with WS_VSCROLL)
// and lets the window's parent draw it. The bar keeps its own scroll information, answers the
// mouse (arrows and track scroll at once and repeat while held, the thumb can be dragged, parts
// under the pointer are hot with hot tracking on) and sends the usual WM_VSCROLL codes to the
// window it belongs to, with lParam 0 as a window's own bar does.
//
// It draws nothing itself. Each time it is drawn the parent receives WM_NOTIFY records of
// ScrollBarCustomDraw with the code kScrollBarCustomDraw: one with CDDS_PREPAINT for the whole
// bar, one with CDDS_ITEMPREPAINT for each part that is not empty, in the order up arrow, down
// arrow, track above the thumb, track below it, thumb (items 0, 1, 2, 3 and 5; their states are
// ScrollBarPartState flags), and one with CDDS_POSTPAINT. The device context draws off-screen;
// the bar shows the result once the last record has been answered. Results are not read.
#include "gui/ScrollBarLayout.h"
#include "gui/ScrollBarTracker.h"
#include <memory>

namespace gui {

// The code of the drawing notification (NMHDR::code).
constexpr UINT kScrollBarCustomDraw = static_cast<UINT>(-4095);

struct ScrollBarCustomDraw {
    NMHDR Header;     // the bar's window, its control identifier, kScrollBarCustomDraw
    DWORD DrawStage;  // CDDS_PREPAINT, CDDS_ITEMPREPAINT or CDDS_POSTPAINT
    HDC DC;
    RECT Rect;   // the part, or the whole bar, in the window's coordinates
    UINT Item;   // a ScrollBarPart; kNoScrollBarItem for the whole-bar stages
    UINT State;  // ScrollBarPartState flags
    UINT Bar;    // SB_VERT
};

constexpr UINT kNoScrollBarItem = static_cast<UINT>(-1);

class CustomScrollBar {
public:
    // Takes over the vertical bar of window. Null when the window has no WS_VSCROLL or already
    // has a bar of ours.
    static std::unique_ptr<CustomScrollBar> Attach(HWND window);
    // The bar attached to a window, or null.
    static CustomScrollBar* FromWindow(HWND window);
    // Gives the window its own scroll bar back (when the window still exists).
    ~CustomScrollBar();
    CustomScrollBar(const CustomScrollBar&) = delete;
    CustomScrollBar& operator=(const CustomScrollBar&) = delete;

    // Null once the window has been destroyed.
    HWND Window() const { return window_; }

    void SetHotTracking(bool on);
    bool HotTracking() const { return tracker_.HotTracking(); }

    // As SetScrollInfo and GetScrollInfo of a window's bar: fMask picks the fields; SIF_TRACKPOS
    // reads the position of the thumb being dragged. SetScrollInfo returns the new position.
    int SetScrollInfo(const SCROLLINFO& info, bool redraw);
    bool GetScrollInfo(SCROLLINFO& info) const;
    // Returns the previous position.
    int SetScrollPos(int position, bool redraw);
    int GetScrollPos() const { return values_.Position; }

    // ESB_ENABLE_BOTH, ESB_DISABLE_UP, ESB_DISABLE_DOWN or ESB_DISABLE_BOTH (the whole bar).
    // Returns false when nothing changed.
    bool EnableArrows(UINT flags);
    UINT DisabledArrows() const { return tracker_.DisabledArrows(); }

    // Draws the bar now.
    void Redraw();

    // Where the parts lie as drawn now (the dragged thumb where it is dragged), in the window's
    // coordinates (origin at the window rectangle's top-left corner).
    ScrollBarLayout Layout() const;
    // The drawing state of a part now.
    unsigned PartState(ScrollBarPart part) const { return tracker_.PartState(part, values_); }

    static constexpr UINT kRepeatDelay = 300;    // milliseconds from a press to the first repeat
    static constexpr UINT kRepeatInterval = 50;  // milliseconds between repeats

private:
    explicit CustomScrollBar(HWND window);
    static LRESULT CALLBACK SubclassProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR data);
    LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    ScrollBarLayout layout() const;
    POINT fromScreen(POINT screen) const;
    POINT fromClient(POINT client) const;
    void apply(const ScrollBarStep& step);
    void endTracking();
    void paint(HDC target);
    void notify(HDC dc, DWORD stage, const RECT& rect, UINT item, UINT state);

    HWND window_;
    ScrollBarValues values_;
    ScrollBarTracker tracker_;
    int barWidth_ = 0;  // the width the bar took from the window in WM_NCCALCSIZE
    bool leaveTracked_ = false;
    // Cleared by the destructor, so that code after a scroll message knows the bar is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace gui
