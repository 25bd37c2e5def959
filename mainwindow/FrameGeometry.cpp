#include "mainwindow/FrameGeometry.h"
#include <algorithm>
#include <cmath>

namespace frame {

int roundHalfAwayFromZero(double value) {
    return static_cast<int>(value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5));
}

Bounds startBounds(int screenWidth, int screenHeight, int preferredWidth, int preferredHeight) {
    Bounds b;
    b.width = std::min(preferredWidth, screenWidth);
    b.height = std::min(preferredHeight, screenHeight);
    b.left = std::max(0, roundHalfAwayFromZero((screenWidth - b.width) * 0.5));
    b.top = std::max(0, roundHalfAwayFromZero((screenHeight - b.height) * 0.5));
    return b;
}

Point minimumSize(int screenWidth, int screenHeight, int preferredWidth, int preferredHeight) {
    return Point{std::max(0, std::min(preferredWidth, screenWidth)),
                 std::max(0, std::min(preferredHeight, screenHeight))};
}

Edge hitTestFrame(int x, int y, int w, int h) {
    const int corner = 20;
    if (x < corner && y < corner)
        return Edge::TopLeft;
    if (x >= corner && x <= w - corner && y <= 2)
        return Edge::Top;
    if (x > w - corner && y < corner)
        return Edge::TopRight;
    if (x >= w - 3 && y >= corner && y <= h - corner)
        return Edge::Right;
    if (x > w - corner && y > h - corner)
        return Edge::BottomRight;
    if (x >= corner && x <= w - corner && y >= h - 3)
        return Edge::Bottom;
    if (x < corner && y > h - corner)
        return Edge::BottomLeft;
    if (x <= 2 && y >= corner && y <= h - corner)
        return Edge::Left;
    return Edge::None;
}

int frameCursor(Edge edge) {
    switch (edge) {
    case Edge::TopLeft:
    case Edge::BottomRight:
        return -8;  // north-west to south-east
    case Edge::Top:
    case Edge::Bottom:
        return -7;  // north to south
    case Edge::TopRight:
    case Edge::BottomLeft:
        return -6;  // north-east to south-west
    case Edge::Right:
    case Edge::Left:
        return -9;  // west to east
    case Edge::None:
        break;
    }
    return 0;
}

namespace {

void growRight(DragStep& s, int dx, int minWidth) {
    if (dx == 0)
        return;
    int old = s.bounds.width;
    s.bounds.width = std::max(old + dx, minWidth);
    s.anchor.x += s.bounds.width - old;
}

void growBottom(DragStep& s, int dy, int minHeight) {
    if (dy == 0)
        return;
    int old = s.bounds.height;
    s.bounds.height = std::max(old + dy, minHeight);
    s.anchor.y += s.bounds.height - old;
}

// The right edge stays where it is.
void moveLeftEdge(DragStep& s, int dx, int minWidth) {
    if (dx == 0)
        return;
    int old = s.bounds.width;
    int width = std::max(old - dx, minWidth);
    s.bounds.left += old - width;
    s.bounds.width = width;
    s.anchor.x += old - width;
}

// The bottom edge stays where it is.
void moveTopEdge(DragStep& s, int dy, int minHeight) {
    if (dy == 0)
        return;
    int old = s.bounds.height;
    int height = std::max(old - dy, minHeight);
    s.bounds.top += old - height;
    s.bounds.height = height;
    s.anchor.y += old - height;
}

}  // namespace

DragStep dragFrame(Edge edge, const Bounds& bounds, Point anchor, Point cursor, int minWidth, int minHeight) {
    DragStep s{bounds, anchor};
    int dx = cursor.x - anchor.x;
    int dy = cursor.y - anchor.y;
    switch (edge) {
    case Edge::TopLeft:
        moveLeftEdge(s, dx, minWidth);
        moveTopEdge(s, dy, minHeight);
        break;
    case Edge::Top:
        moveTopEdge(s, dy, minHeight);
        break;
    case Edge::TopRight:
        growRight(s, dx, minWidth);
        moveTopEdge(s, dy, minHeight);
        break;
    case Edge::Right:
        growRight(s, dx, minWidth);
        break;
    case Edge::BottomRight:
        growRight(s, dx, minWidth);
        growBottom(s, dy, minHeight);
        break;
    case Edge::Bottom:
        growBottom(s, dy, minHeight);
        break;
    case Edge::BottomLeft:
        moveLeftEdge(s, dx, minWidth);
        growBottom(s, dy, minHeight);
        break;
    case Edge::Left:
        moveLeftEdge(s, dx, minWidth);
        break;
    case Edge::None:
        break;
    }
    return s;
}

DragStep dragWindow(const Bounds& bounds, Point anchor, Point cursor) {
    DragStep s{bounds, cursor};
    s.bounds.left += cursor.x - anchor.x;
    s.bounds.top += cursor.y - anchor.y;
    return s;
}

int clampSliderKnob(int knobLeft, int trackLeft, int trackWidth, int knobWidth, int inset) {
    int lowest = trackLeft + inset;
    int highest = trackLeft + trackWidth - inset - knobWidth;
    return std::max(lowest, std::min(knobLeft, highest));
}

int sliderThumbnailWidth(int knobLeft, int trackLeft, int trackWidth, int knobWidth, int inset, int smallest,
                         int range) {
    int travel = trackWidth - knobWidth - 2 * inset;
    if (travel <= 0)
        return smallest;
    double fraction = static_cast<double>(knobLeft - trackLeft - inset) / travel;
    return roundHalfAwayFromZero(fraction * range) + smallest;
}

bool usableTaskbar(const Rect& t) {
    return t.right > t.left && t.bottom > t.top;
}

Bounds boundsBesideTaskbar(const Rect& taskbar, int screenWidth, int screenHeight) {
    if (taskbar.right - taskbar.left >= screenWidth)
        return Bounds{0, taskbar.top == 0 ? 1 : 0, screenWidth, screenHeight - 1};
    return Bounds{taskbar.left == 0 ? 1 : 0, 0, screenWidth - 1, screenHeight};
}

bool isDoubleClick(const void* lastPanel, Point lastPoint, uint32_t lastTime, const void* panel, Point point,
                   uint32_t now, uint32_t doubleClickTime) {
    return lastPanel != nullptr && lastPanel == panel && lastPoint == point &&
           static_cast<uint32_t>(now - lastTime) <= doubleClickTime;
}

}  // namespace frame
