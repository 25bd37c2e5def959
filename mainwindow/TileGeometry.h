#pragma once
// Where the parts of one thumbnail tile go around its photo, how its border looks, how big its
// video mark is drawn, and the text of its tooltip. Pure functions of the photo's bounds and state.
#include <windows.h>

#include <array>
#include <string>

// The photo's rectangle as left, top, width and height.
struct TileBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The border: 3 pixels in the highlight colour while the tile is selected or hovered, else 1
// pixel of grey.
struct TileBorder {
    COLORREF colour;
    int width;
};
TileBorder tileBorder(bool selected, bool hovered);

// The fourteen parts around the photo, in the order they are made and stacked.
enum TilePart {
    shadowTopLeft,
    shadowLeft,
    shadowBottomLeft,
    shadowBottom,
    shadowBottomRight,
    shadowRight,
    shadowTopRight,
    borderLeft,
    borderTop,
    borderRight,
    borderBottom,
    openFullSizeButton,
    openPageButton,
    selectionMark,
    tilePartCount
};

struct ButtonSizes {
    SIZE openFullSize;
    SIZE openPage;
    SIZE selectionMark;
};

// The bounds of every part for a photo with these bounds and a border of this width.
std::array<TileBounds, tilePartCount> placeTileParts(const TileBounds& photo, int borderWidth,
                                                     const ButtonSizes& buttons);

// The video mark over a photo of this size: at most 72 pixels, scaled with the photo's side
// against 306, centred.
TileBounds videoMarkBounds(int width, int height);

// "<date> - <caption>", or whichever of the two is not empty.
std::wstring tileTooltipText(const std::wstring& dateText, const std::wstring& caption);
