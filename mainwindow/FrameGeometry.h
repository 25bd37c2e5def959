#pragma once
// The arithmetic of the borderless frame, free of windows so tests can call it directly: the
// start bounds, which edge a press grabs, how a drag changes the bounds, the thumbnail-size
// slider, and the maximised bounds beside an auto-hidden taskbar.
#include <cstdint>

namespace frame {

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Bounds& other) const {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point& other) const { return x == other.x && y == other.y; }
};

// Halves go away from zero.
int roundHalfAwayFromZero(double value);

// The window at start: the preferred size, no larger than the screen, centred, never off its
// top-left corner.
Bounds startBounds(int screenWidth, int screenHeight, int preferredWidth, int preferredHeight);

// The smallest window: the preferred minimum, but never wider or taller than the screen.
Point minimumSize(int screenWidth, int screenHeight, int preferredWidth, int preferredHeight);

// Which part of the frame a press at client point (x, y) of a window width x height grabs.
enum class Edge {
    None = 0,
    TopLeft = 1,
    Top = 2,
    TopRight = 3,
    Right = 4,
    BottomRight = 5,
    Bottom = 6,
    BottomLeft = 7,
    Left = 8,
};
Edge hitTestFrame(int x, int y, int width, int height);

// The cursor a frame part shows, as the class library's cursor number (0: the default).
int frameCursor(Edge edge);

// One step of a frame drag: the bounds after the cursor moved from the anchor, and the anchor
// that keeps the cursor on the grabbed edge. Left and top edges stop at the minimum size with the
// opposite edge fixed.
struct DragStep {
    Bounds bounds;
    Point anchor;
};
DragStep dragFrame(Edge edge, const Bounds& bounds, Point anchor, Point cursor, int minWidth, int minHeight);

// A move of the whole window: the bounds follow the cursor.
DragStep dragWindow(const Bounds& bounds, Point anchor, Point cursor);

// The thumbnail-size slider: the knob's left stays inset px inside both ends of the track.
int clampSliderKnob(int knobLeft, int trackLeft, int trackWidth, int knobWidth, int inset);
// The thumbnail width for a knob position: smallest at the left end, smallest + range at the right.
int sliderThumbnailWidth(int knobLeft, int trackLeft, int trackWidth, int knobWidth, int inset, int smallest,
                         int range);

// Maximised bounds that leave one pixel free on the side of an auto-hidden taskbar. A taskbar as
// wide as the screen lies along the top or the bottom; any other along the left or the right.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
Bounds boundsBesideTaskbar(const Rect& taskbar, int screenWidth, int screenHeight);
// A taskbar rectangle worth adjusting for (not empty).
bool usableTaskbar(const Rect& taskbar);

// Two releases on the top panel at the same screen point within the double-click time make a
// double click; the earlier release is described by its panel, point and tick count (which wrap
// at 2^32).
bool isDoubleClick(const void* lastPanel, Point lastPoint, uint32_t lastTime, const void* panel, Point point,
                   uint32_t now, uint32_t doubleClickTime);

}  // namespace frame
