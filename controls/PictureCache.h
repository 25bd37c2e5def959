#pragma once
// A picture rendered once at a control's size into a 32-bit bitmap with premultiplied alpha,
// then copied with GDI's alpha blending on every paint. GDI+ drawing on a window's context is
// slow, and it would scale the picture anew on every paint.
#include "gui/Bitmap.h"
#include <objidl.h>
#include <gdiplus.h>
#include <memory>

namespace controls {

class PictureCache {
public:
    enum class Fit {
        Stretch,      // the whole picture stretched to the size (picture buttons)
        ScaleOrTile,  // the picture control's rule: as it is, scaled down, or tiled mirror-wise
    };

    // Draws picture at (0, 0, width, height) on dc, rendering it first when there is no
    // rendering of that size yet. Nothing is drawn without a picture or an area.
    void Draw(HDC dc, Gdiplus::Bitmap* picture, int width, int height, Fit fit);
    // The picture or the way it is fitted changed: the next Draw renders anew.
    void Reset();
    // How many times a picture was rendered.
    int Renders() const { return renders_; }

    // Renders picture at width x height into target, made anew; opaque tells whether every
    // pixel is fully opaque. It touches nothing but its arguments, so a worker thread may render
    // its own pictures ahead of the paint.
    static bool Render(Gdiplus::Bitmap* picture, int width, int height, Fit fit, gui::TBitmap& target,
                       bool& opaque);
    // Takes such a rendering of the picture: a Draw at its size copies it without rendering.
    void Adopt(std::unique_ptr<gui::TBitmap> rendering, bool opaque);
    // Draws the rendering there is, without its picture; false when there is none of that size.
    bool DrawCopy(HDC dc, int width, int height);

private:
    std::unique_ptr<gui::TBitmap> bitmap_;
    bool valid_ = false;
    bool opaque_ = false;
    int renders_ = 0;
};

}  // namespace controls
