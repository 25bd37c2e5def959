#pragma once
// Arithmetic of a scrolling control's bar: the largest position, clamping, the line and page
// steps and the position a scroll request leads to. Pure logic.
#include <windows.h>

namespace gui {

// range: the content's extent; page: the visible extent (client size).
int MaxScrollPosition(int range, int page);
int ClampScrollPosition(int position, int range, int page);
// A page is nine tenths of the visible extent (at least 1).
int ScrollPageStep(int page);
// A smooth bar steps a tenth of a page; otherwise the fixed increment.
int ScrollLineStep(int increment, bool smooth, int page);

struct ScrollRequest {
    int code = SB_ENDSCROLL;  // SB_LINEUP, SB_PAGEDOWN, SB_THUMBPOSITION, ...
    int trackPosition = 0;    // for SB_THUMBTRACK / SB_THUMBPOSITION
};

// The new position after a request (clamped), or the current one when the request does not
// move the bar (SB_ENDSCROLL, or SB_THUMBTRACK while not tracking).
int ScrollTarget(const ScrollRequest& request, int position, int range, int page, int lineStep,
                 bool tracking);

// Both hold the same range, page and position (a bar that holds them need not be set again).
bool SameScrollValues(const SCROLLINFO& a, const SCROLLINFO& b);

}  // namespace gui
