#pragma once
// Where the progress pie draws its ring, disc, line and slice. Pure arithmetic.
#include <windows.h>

namespace controls {

// Progress kept within 0..1; below 0 and not-a-number give 0.
float clampProgress(float value);

// An ellipse or slice box as x, y, width, height.
struct PieBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct PieLayout {
    bool hasRing = false;  // ring and remaining-colour disc are drawn (border width above 0)
    PieBox disc;           // filled with the remaining colour
    PieBox ring;           // outlined with the progress colour, pen as wide as the border
    int ringPenWidth = 0;
    POINT lineFrom{};  // from twelve o'clock on the ring ...
    POINT lineTo{};    // ... to the centre, width 1
    PieBox slice;
    float startAngle = -90.0f;  // degrees, clockwise from three o'clock: twelve o'clock
    float sweepAngle = 0.0f;    // progress x 360 degrees, clockwise
};

PieLayout pieLayout(int width, int height, int borderWidth, float progress);

}  // namespace controls
