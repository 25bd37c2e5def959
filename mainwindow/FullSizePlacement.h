#pragma once
// Where the full-size view and its three side panels (previous, next, close) go in the grid's
// scroll box. Pure arithmetic of sizes; no window.
#include <windows.h>

// The scroll box as the view sees it.
struct FullSizeArea {
    int clientWidth = 0;
    int clientHeight = 0;
    // The client width less the system's vertical bar width when the box's own bar is hidden
    // (our drawn bar lies over the box's right edge then).
    int availableWidth = 0;
    int leftPanelWidth = 0;
    int rightPanelWidth = 0;
};

struct FullSizeBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The frame around the picture, and the defaults the view takes without a picture of its own.
constexpr int kFullSizeFrame = 3;
constexpr int kFullSizeControlBarHeight = 27;
constexpr int kFullSizePhotoSide = 646;
constexpr int kFullSizeVideoWidth = 618;
constexpr int kFullSizeVideoHeight = 645;

// The largest height the view takes: 646, the box's height, or the width between the side panels.
int fullSizeUsable(const FullSizeArea& area);

// The view for a picture of width x height (frame included); isVideo: the height includes the
// control bar; videoMode: the view shows a video now (it decides the default size). A picture
// under 100 pixels either way gets the default size. A photo keeps its proportions and shrinks to
// fit the usable square; a video's view is square at the shorter side and no taller than usable.
// The view is centred in the box.
FullSizeBounds fullSizeBounds(const FullSizeArea& area, int width, int height, bool isVideo, bool videoMode);

// The side panels beside the view: previous on the left, next on the right (kept inside the box),
// close at its top-right corner.
struct FullSizePanelPlaces {
    POINT previous;
    POINT next;
    POINT close;
};
FullSizePanelPlaces fullSizePanelPlaces(const FullSizeArea& area, const FullSizeBounds& view,
                                        int previousHeight, int nextHeight);
