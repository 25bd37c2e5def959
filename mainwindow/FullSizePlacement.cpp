#include "mainwindow/FullSizePlacement.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSmallestPicture = 100;
constexpr int kPreviousNextGap = 56;
constexpr int kCloseGap = 12;

}  // namespace

int fullSizeUsable(const FullSizeArea& area) {
    return std::min({kFullSizePhotoSide, area.clientHeight,
                     area.availableWidth - area.leftPanelWidth - area.rightPanelWidth});
}

FullSizeBounds fullSizeBounds(const FullSizeArea& area, int width, int height, bool isVideo, bool videoMode) {
    const int usable = fullSizeUsable(area);
    if (width < kSmallestPicture || height < kSmallestPicture) {
        width = videoMode ? kFullSizeVideoWidth : kFullSizePhotoSide;
        height = videoMode ? kFullSizeVideoHeight : kFullSizePhotoSide;
    }
    const int pictureHeight = isVideo ? height - kFullSizeControlBarHeight : height;
    const double ratio = pictureHeight > 0 ? static_cast<double>(width) / pictureHeight : 1.0;
    width = std::min(width, height);
    if (height > usable) {
        height = usable;
        const int scaledHeight = isVideo ? usable - kFullSizeControlBarHeight : usable;
        width = static_cast<int>(std::lround(ratio * scaledHeight));
    }
    return FullSizeBounds{(area.availableWidth - width) / 2, (area.clientHeight - height) / 2, width, height};
}

FullSizePanelPlaces fullSizePanelPlaces(const FullSizeArea& area, int previousHeight, int nextHeight) {
    const int usable = fullSizeUsable(area);
    const int beside = (area.availableWidth - usable) / 2;
    FullSizePanelPlaces places{};
    places.previous = POINT{std::max(0, beside - area.leftPanelWidth - kPreviousNextGap),
                            (area.clientHeight - previousHeight) / 2};
    int nextLeft = area.availableWidth - beside + kPreviousNextGap;
    if (nextLeft + area.rightPanelWidth > area.availableWidth)
        nextLeft = area.availableWidth - area.rightPanelWidth;
    places.next = POINT{nextLeft, (area.clientHeight - nextHeight) / 2};
    places.close = POINT{area.availableWidth - beside + kCloseGap, (area.clientHeight - usable) / 2};
    return places;
}
