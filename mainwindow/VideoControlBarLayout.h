#pragma once
// The arithmetic of the full-size view's video part: where the control bar puts its buttons, bars
// and thumbs, what the time label reads, where a thumb drag lands, where the player and the big
// play picture go. No windows here, so it is checked without a screen.
#include <string>

#include "mainwindow/FrameGeometry.h"

namespace videobar {

constexpr int kFrameWidth = 3;
constexpr int kBarHeight = 27;        // 30 less the frame
constexpr int kSmallButtonSize = 17;  // play/pause and mute
constexpr int kFullScreenButtonWidth = 16;
constexpr int kThumbSize = 23;
constexpr int kSeekBarHeight = 7;
constexpr int kVolumeFillHeight = 5;
constexpr int kVolumeRestHeight = 3;
constexpr int kBigPlayMaxSide = 144;
constexpr int kVideoPictureSide = 612;  // the cover width the big play picture is drawn for

// left, top, width, height
using Box = frame::Bounds;

// What the bar is laid out from: the view's size, the selection mark's side (it sits in the
// bar's row at the right), the time label's size, and the numbers the bars show.
struct BarInput {
    int viewWidth = 0;
    int viewHeight = 0;
    int markSide = 0;
    int labelWidth = 0;
    int labelHeight = 0;
    double position = 0;  // seconds
    double duration = 0;  // seconds
    double volume = 0;    // 0 to 100
};

struct BarLayout {
    Box playButton;
    Box elapsed;    // seek bar, the part played
    Box remaining;  // seek bar, the rest
    Box seekThumb;
    int seekDragMin = 0;  // the thumb's left edge moves between these
    int seekDragMax = 0;
    Box timeLabel;
    Box muteButton;
    Box volumeFilled;
    Box volumeRest;
    Box volumeThumb;
    int volumeDragMin = 0;
    int volumeDragMax = 0;
    Box fullScreenButton;
    Box leftStrip;  // close the frame beside the bar
    Box bottomStrip;
};

BarLayout layOutBar(const BarInput& input);

// "m:ss" of the whole seconds played, at most 9:59.
std::wstring timeLabelText(double positionSeconds);

// Where a dragged thumb's left edge sends the player: seconds for the seek thumb, 0 to 100
// (rounded) for the volume thumb.
double seekPositionAt(int thumbLeft, int dragMin, int dragMax, double duration);
int volumeAt(int thumbLeft, int dragMin, int dragMax);
// A thumb's left edge moved by the pointer, kept inside its drag range.
int draggedThumbLeft(int thumbLeft, int pointerDelta, int dragMin, int dragMax);

// The player covers the view inside the frame and above the bar.
Box playerBox(int viewWidth, int viewHeight);

// The big play picture on a cover of the given size, scaled as for a 612-pixel cover.
Box bigPlayBox(int pictureWidth, int pictureHeight);

}  // namespace videobar
