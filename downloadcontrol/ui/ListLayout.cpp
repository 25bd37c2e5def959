#include "downloadcontrol/ui/ListLayout.h"

#include <algorithm>

void ProgressBarSettings::set(bool newVisible, int32_t newTopMargin, int32_t newHeight) {
    visible = newVisible;
    if (newTopMargin >= 0) {
        topMargin = newTopMargin;
    }
    if (newHeight >= 0) {
        height = newHeight;
    }
}

bool ProgressBarSettings::field(int32_t fieldId, int32_t& value) const {
    switch (fieldId) {
    case ProgressBarVisible:
        value = visible ? 1 : 0;
        return true;
    case ProgressBarTopMargin:
        value = topMargin;
        return true;
    case ProgressBarHeight:
        value = height;
        return true;
    default:
        return false;
    }
}

ListLayout layoutList(int32_t width, int32_t height, const ProgressBarSettings& bar) {
    width = std::max<int32_t>(width, 0);
    height = std::max<int32_t>(height, 0);
    ListLayout layout;
    if (!bar.visible) {
        layout.list = {0, 0, width, height};
        return layout;
    }
    // 64-bit sums: a host may pass margins near the 32-bit limit.
    const int64_t barTop = std::max<int64_t>(static_cast<int64_t>(height) - bar.height, 0);
    const int64_t listBottom = std::max<int64_t>(barTop - bar.topMargin, 0);
    layout.list = {0, 0, width, static_cast<LONG>(listBottom)};
    layout.bar = {0, static_cast<LONG>(barTop), width, height};
    return layout;
}
