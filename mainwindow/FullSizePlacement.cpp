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
    if (isVideo) {
        // The player fills the picture's place whatever the video's shape: the view stays as wide
        // as its picture part is high, and shrinks with that ratio.
        const double ratio = static_cast<double>(width) / std::max(1, height - kFullSizeControlBarHeight);
        width = std::min(width, height);
        if (height > usable) {
            height = usable;
            width = static_cast<int>(std::lround(ratio * (usable - kFullSizeControlBarHeight)));
        }
    } else {
        // The picture keeps its proportions: a larger one shrinks to fit the usable square, inside
        // the frame.
        const int frame = 2 * kFullSizeFrame;
        const double pictureWidth = std::max(1, width - frame);
        const double pictureHeight = std::max(1, height - frame);
        const double room = std::max(1, usable - frame);
        if (pictureWidth > room || pictureHeight > room) {
            const double scale = std::min(room / pictureWidth, room / pictureHeight);
            width = static_cast<int>(std::lround(pictureWidth * scale)) + frame;
            height = static_cast<int>(std::lround(pictureHeight * scale)) + frame;
        }
    }
    return FullSizeBounds{(area.availableWidth - width) / 2, (area.clientHeight - height) / 2, width, height};
}

FullSizePanelPlaces fullSizePanelPlaces(const FullSizeArea& area, const FullSizeBounds& view,
                                        int previousHeight, int nextHeight) {
    // The view is centred: its right side mirrors its left one.
    const int right = area.availableWidth - view.left;
    FullSizePanelPlaces places{};
    places.previous = POINT{std::max(0, view.left - area.leftPanelWidth - kPreviousNextGap),
                            (area.clientHeight - previousHeight) / 2};
    int nextLeft = right + kPreviousNextGap;
    if (nextLeft + area.rightPanelWidth > area.availableWidth)
        nextLeft = area.availableWidth - area.rightPanelWidth;
    places.next = POINT{nextLeft, (area.clientHeight - nextHeight) / 2};
    places.close = POINT{right + kCloseGap, view.top};
    return places;
}
