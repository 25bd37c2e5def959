#include "mainwindow/VideoControlBarLayout.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace videobar {

namespace {

constexpr int kThumbOverhang = 5;  // the thumb starts this far before the point it marks
constexpr int kThumbTravelLoss = 13;
constexpr int kGap = 15;

// Halves away from zero, as the bars have always been rounded.
int roundHalfAway(double value) {
    return static_cast<int>(std::lround(value));
}

int centredTop(int rowTop, int rowHeight, int height) {
    return rowTop + (rowHeight - height) / 2;
}

}  // namespace

BarLayout layOutBar(const BarInput& in) {
    BarLayout out;
    const int f = kFrameWidth;
    const int rowTop = in.viewHeight - in.markSide;
    const int row = in.markSide;
    auto inRow = [&](int left, int width, int height) {
        return Box{left, centredTop(rowTop, row, height), width, height};
    };

    const int free = in.viewWidth - in.markSide - f - kSmallButtonSize - in.labelWidth - kSmallButtonSize -
                     kFullScreenButtonWidth - 105;
    const int volumeWidth = free <= 200 ? free / 2 : 100;
    const int seekWidth = free - volumeWidth;
    const int seekStart = f + kSmallButtonSize + 30;
    out.playButton = inRow(f + 15, kSmallButtonSize, kSmallButtonSize);

    const int seekFill =
        in.duration < 1 ? 0 : roundHalfAway((seekWidth - kThumbTravelLoss) * in.position / in.duration);
    out.elapsed = inRow(seekStart, seekFill, kSeekBarHeight);
    out.remaining = inRow(seekStart + seekFill + kThumbTravelLoss, seekWidth - seekFill - kThumbTravelLoss,
                          kSeekBarHeight);
    out.seekThumb = inRow(seekStart + seekFill - kThumbOverhang, kThumbSize, kThumbSize);
    out.seekDragMin = seekStart - kThumbOverhang;
    out.seekDragMax = seekStart + seekWidth - 18;

    const int labelLeft = seekStart + seekWidth + kGap;
    out.timeLabel = inRow(labelLeft, in.labelWidth, in.labelHeight);
    const int muteLeft = labelLeft + in.labelWidth + kGap;
    out.muteButton = inRow(muteLeft, kSmallButtonSize, kSmallButtonSize);
    const int volumeStart = muteLeft + kSmallButtonSize + kGap;

    const int volumeFill = roundHalfAway((volumeWidth - kThumbTravelLoss) * std::min(in.volume, 100.0) / 100);
    out.volumeFilled = inRow(volumeStart, volumeFill, kVolumeFillHeight);
    out.volumeRest = inRow(volumeStart + volumeFill + kThumbTravelLoss,
                           volumeWidth - volumeFill - kThumbTravelLoss, kVolumeRestHeight);
    out.volumeThumb = inRow(volumeStart + volumeFill - kThumbOverhang, kThumbSize, kThumbSize);
    out.volumeDragMin = volumeStart - kThumbOverhang;
    out.volumeDragMax = volumeStart + volumeWidth - 18;

    out.fullScreenButton = inRow(volumeStart + volumeWidth + kGap, kFullScreenButtonWidth, kSmallButtonSize);
    out.leftStrip = Box{0, in.viewHeight - kBarHeight - f, f, kBarHeight};
    out.bottomStrip = Box{0, in.viewHeight - f, in.viewWidth - in.markSide, f};
    return out;
}

std::wstring timeLabelText(double positionSeconds) {
    const int seconds = std::clamp(static_cast<int>(positionSeconds), 0, 599);
    wchar_t text[16];
    std::swprintf(text, 16, L"%d:%02d", seconds / 60, seconds % 60);
    return text;
}

double seekPositionAt(int thumbLeft, int dragMin, int dragMax, double duration) {
    if (dragMax <= dragMin)
        return 0;
    return static_cast<double>(thumbLeft - dragMin) / (dragMax - dragMin) * duration;
}

int volumeAt(int thumbLeft, int dragMin, int dragMax) {
    if (dragMax <= dragMin)
        return 0;
    return std::clamp(roundHalfAway(static_cast<double>(thumbLeft - dragMin) / (dragMax - dragMin) * 100), 0,
                      100);
}

int draggedThumbLeft(int thumbLeft, int pointerDelta, int dragMin, int dragMax) {
    return std::max(dragMin, std::min(thumbLeft + pointerDelta, dragMax));
}

Box playerBox(int viewWidth, int viewHeight) {
    const int f = kFrameWidth;
    return Box{f, f, viewWidth - 2 * f, viewHeight - kBarHeight - 2 * f};
}

Box bigPlayBox(int pictureWidth, int pictureHeight) {
    auto scaled = [](int length) {
        return std::min(kBigPlayMaxSide,
                        static_cast<int>(static_cast<double>(length) / kVideoPictureSide * kBigPlayMaxSide));
    };
    const int side = scaled(pictureWidth);
    return Box{(pictureWidth - side) / 2, (pictureHeight - scaled(pictureHeight)) / 2, side, side};
}

}  // namespace videobar
