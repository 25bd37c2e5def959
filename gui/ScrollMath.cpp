#include "gui/ScrollMath.h"

namespace gui {

int MaxScrollPosition(int range, int page) {
    const int max = range - page;
    return max > 0 ? max : 0;
}

int ClampScrollPosition(int position, int range, int page) {
    const int max = MaxScrollPosition(range, page);
    if (position > max)
        position = max;
    if (position < 0)
        position = 0;
    return position;
}

int ScrollPageStep(int page) {
    const int step = page * 9 / 10;
    return step > 0 ? step : 1;
}

int ScrollLineStep(int increment, bool smooth, int page) {
    if (smooth) {
        const int step = ScrollPageStep(page) / 10;
        return step > 0 ? step : 1;
    }
    return increment > 0 ? increment : 1;
}

int ScrollTarget(const ScrollRequest& request, int position, int range, int page, int lineStep,
                 bool tracking) {
    int target = position;
    switch (request.code) {
    case SB_LINEUP:
        target = position - lineStep;
        break;
    case SB_LINEDOWN:
        target = position + lineStep;
        break;
    case SB_PAGEUP:
        target = position - ScrollPageStep(page);
        break;
    case SB_PAGEDOWN:
        target = position + ScrollPageStep(page);
        break;
    case SB_THUMBPOSITION:
        target = request.trackPosition;
        break;
    case SB_THUMBTRACK:
        if (tracking)
            target = request.trackPosition;
        break;
    case SB_TOP:
        target = 0;
        break;
    case SB_BOTTOM:
        target = MaxScrollPosition(range, page);
        break;
    default:
        break;
    }
    return ClampScrollPosition(target, range, page);
}

bool SameScrollValues(const SCROLLINFO& a, const SCROLLINFO& b) {
    return a.nMin == b.nMin && a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}

}  // namespace gui
