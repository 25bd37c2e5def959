#include "controls/ImageDrawPlan.h"

namespace controls {

ImageDrawMode imageDrawMode(int pictureWidth, int pictureHeight, int width, int height) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || width <= 0 || height <= 0)
        return ImageDrawMode::Nothing;
    if (pictureWidth == width && pictureHeight == height)
        return ImageDrawMode::Direct;
    if (pictureWidth >= width && pictureHeight >= height)
        return ImageDrawMode::Scaled;
    return ImageDrawMode::Tiled;
}

}  // namespace controls
