#pragma once
// The rules of stepping through the full-size view and of the slideshow: where the grid scrolls so
// that the tile of the item stepped to is seen whole, the slideshow's speeds and button faces, and
// the overlay levels that dim the grid behind the view.
#include <windows.h>

#include <vector>

// The distance from the viewport's top at which the grid puts a photo that is not seen whole,
// photoTop being its top in the viewport; -1 when it is seen whole and the grid need not move.
// Where there is room it keeps half a row gap from the edge it was cut by (the top when it starts
// above the view, else the bottom); where there is not, it is centred, or put at the top.
int steppedPhotoOffset(int clientHeight, int photoTop, int photoHeight, int rowGap);

enum class SlideshowSpeed { slow, moderate, fast };

// The speed of the checked menu items: slow or fast when checked, moderate otherwise.
SlideshowSpeed slideshowSpeed(bool slowChecked, bool fastChecked);
UINT slideshowInterval(SlideshowSpeed speed);
// The normal face of the slideshow button; its pointer-over and pressed faces are the next two.
int slideshowButtonFace(bool running, SlideshowSpeed speed);

// The dimming behind the full-size view at one level, from 0 (transparent) to 11 (black): a
// picture of black at that alpha, stretched over the grid, and the colour of the content bar's
// track while the view is open.
struct OverlayLevel {
    int pictureId;
    BYTE alpha;
    COLORREF trackColor;
};

constexpr int kOverlayLevels = 12;
constexpr int kBlackOverlayLevel = kOverlayLevels - 1;

// The level of the first checked item, from transparent to black; black when none is checked.
int checkedOverlayLevel(const std::vector<bool>& checked);
// level is 0 .. kBlackOverlayLevel.
const OverlayLevel& overlayLevel(int level);
