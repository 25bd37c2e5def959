#include "mainwindow/SlideshowRules.h"

#include <algorithm>

int steppedPhotoOffset(int clientHeight, int photoTop, int photoHeight, int rowGap) {
    const int seen = std::min(photoTop + photoHeight, clientHeight) - std::max(photoTop, 0);
    if (seen >= photoHeight)
        return -1;
    const int half = rowGap / 2;
    const int centred = (clientHeight - photoHeight) / 2;
    if (centred <= 0)
        return 0;
    if (centred < half)
        return centred;
    if (photoTop <= 0)
        return half;
    return clientHeight - (photoHeight + half);
}

SlideshowSpeed slideshowSpeed(bool slowChecked, bool fastChecked) {
    if (slowChecked)
        return SlideshowSpeed::slow;
    return fastChecked ? SlideshowSpeed::fast : SlideshowSpeed::moderate;
}

UINT slideshowInterval(SlideshowSpeed speed) {
    switch (speed) {
    case SlideshowSpeed::slow:
        return 9000;
    case SlideshowSpeed::fast:
        return 3000;
    default:
        return 6000;
    }
}

int slideshowButtonFace(bool running, SlideshowSpeed speed) {
    if (!running)
        return 15058;
    switch (speed) {
    case SlideshowSpeed::slow:
        return 15141;
    case SlideshowSpeed::fast:
        return 15135;
    default:
        return 15138;
    }
}

int checkedOverlayLevel(const std::vector<bool>& checked) {
    const auto first = std::find(checked.begin(), checked.end(), true);
    const int level = static_cast<int>(first - checked.begin());
    return std::min(level, kBlackOverlayLevel);
}

const OverlayLevel& overlayLevel(int level) {
    // Level 0 keeps the bar's own track colour.
    static const OverlayLevel levels[kOverlayLevels] = {
        {15123, 0, 0x3C4041},   {15124, 128, 0x1D1F20}, {15125, 140, 0x1B1C1D}, {15126, 153, 0x18191A},
        {15127, 166, 0x141616}, {15128, 179, 0x111313}, {15129, 191, 0x0F1010}, {15130, 204, 0x0C0C0D},
        {15131, 217, 0x080909}, {15132, 230, 0x050606}, {15133, 242, 0x030303}, {15134, 255, 0x000000},
    };
    return levels[std::clamp(level, 0, kBlackOverlayLevel)];
}
