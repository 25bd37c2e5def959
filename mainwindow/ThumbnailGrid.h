#pragma once
// The arithmetic of the thumbnail grid: a centred grid of square tiles in the content scroll box,
// virtual in that only the rows in and next to the viewport get a tile, and a scroll anchor that
// keeps the photo at the top of the view in place when the grid's width changes. Positions and
// sizes are pixels of the scroll box's client area; integer division truncates as C++ does.
#include <climits>
#include <cstddef>
#include <vector>

struct GridMetrics {
    int leftMargin = 41;
    int rightMargin = 41;
    int topMargin = 41;
    int bottomMargin = 41;
    int columnGap = 42;
    int rowGap = 42;
    int thumbnailWidth = 150;
    int thumbnailHeight = 150;
};

// The scroll range of a grid without photos.
constexpr int kEmptyGridRange = 40;

// No layout while the client area has no width or no height (a minimized window): nothing would
// be visible, and the scroll position is kept for the restore.
bool canLayOutGrid(int clientWidth, int clientHeight);

// Columns that fit the width; at least 1.
int gridColumns(const GridMetrics& metrics, int clientWidth);

int gridRows(size_t count, int columns);

// The height of the whole grid.
int gridRange(const GridMetrics& metrics, size_t count, int columns);

// x of the first column: the spare width split on both sides. barWidth: the width the scroll
// bar covers at the right edge.
int gridLeft(const GridMetrics& metrics, int clientWidth, int columns, int barWidth);

// The photos that get a tile: the rows in the viewport, one row above and one row below.
struct GridBand {
    size_t first = 0;     // visible-list position of the first photo
    size_t end = 0;       // one past the last
    int firstRowTop = 0;  // top of the first row in the viewport
};

GridBand gridBand(const GridMetrics& metrics, int clientHeight, int position, size_t count, int columns);

struct TileOrigin {
    int left;
    int top;
};

// Where the tile of the photo at this visible-list position goes, in the viewport.
TileOrigin tileOrigin(const GridMetrics& metrics, int left, int position, size_t index, int columns);

// Which tiles of a layout go back to the pool, one mark for each entry of inUse: the visible-list
// positions that have a tile now (SIZE_MAX for a tile whose photo left the list). A tile goes back
// when the new band no longer holds its position, unless the position is keepA or keepB (the
// neighbours of the photo shown full size). The band's photos without a tile get one as placed.
std::vector<bool> tilesToRecycle(const std::vector<size_t>& inUse, const GridBand& band,
                                 size_t keepA = SIZE_MAX, size_t keepB = SIZE_MAX);

// The photo at the top of the view: its visible-list position and the distance from the
// viewport's top to its top, or both -1.
struct ScrollAnchor {
    int index = -1;
    int offset = -1;
};

struct TileTop {
    int index;  // visible-list position
    int top;    // top of the photo in the viewport
};

// The first photo whose top is in the view (the leftmost of its row); when none starts in the
// view, the lowest of those starting above it.
ScrollAnchor findScrollAnchor(const std::vector<TileTop>& tiles);

// The scroll position that puts the anchor photo back at its offset, within 0..range - height.
int anchoredScrollPosition(const GridMetrics& metrics, const ScrollAnchor& anchor, int columns, int range,
                           int clientHeight);

// The thumbnail-size slider's knob for a side of width pixels (kept 150..306): 20 pixels in from
// the track's left end, moving over the track less the knob and 40 pixels.
int thumbnailKnobLeft(int width, int trackLeft, int trackWidth, int knobWidth);
