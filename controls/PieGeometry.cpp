#include "controls/PieGeometry.h"

namespace controls {

float clampProgress(float value) {
    if (!(value >= 0.0f))
        return 0.0f;
    return value > 1.0f ? 1.0f : value;
}

PieLayout pieLayout(int width, int height, int borderWidth, float progress) {
    const int border = borderWidth;
    const int half = border / 2;
    PieLayout layout;
    layout.hasRing = border > 0;
    layout.disc = PieBox{border, border, width - border - 1, height - border - 1};
    layout.ring = PieBox{half, half, width - border - 1, height - border - 1};
    layout.ringPenWidth = border;
    layout.lineFrom = POINT{width / 2, half};
    layout.lineTo = POINT{width / 2, height / 2};
    layout.slice = layout.ring;
    layout.sweepAngle = clampProgress(progress) * 360.0f;
    return layout;
}

}  // namespace controls
