#pragma once
// How a picture control fills its area with a picture of another size. Pure logic.

namespace controls {

enum class ImageDrawMode {
    Nothing,  // no picture, or an empty control
    Direct,   // the picture has the control's size: drawn as it is
    Scaled,   // at least as large both ways: scaled down into the cache
    Tiled,    // smaller in a direction: kept at its own size, repeated mirror-wise in the cache
};

ImageDrawMode imageDrawMode(int pictureWidth, int pictureHeight, int width, int height);

}  // namespace controls
