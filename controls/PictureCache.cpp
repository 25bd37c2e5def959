#include "controls/PictureCache.h"

#include "controls/ImageDrawPlan.h"
#include "gui/Canvas.h"

namespace controls {

void PictureCache::Reset() {
    valid_ = false;
}

bool PictureCache::render(Gdiplus::Bitmap* picture, int width, int height, Fit fit) {
    bitmap_.SetSize(width, height);
    uint32_t* first = bitmap_.ScanLine(0);
    if (!first)
        return false;
    ++renders_;
    // GDI+ draws straight into the bitmap's pixels (premultiplied, top-down rows).
    Gdiplus::Bitmap target(width, height, width * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(first));
    Gdiplus::Graphics graphics(&target);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
    const Gdiplus::Rect area(0, 0, width, height);
    const ImageDrawMode mode = fit == Fit::Stretch
                                   ? ImageDrawMode::Scaled
                                   : imageDrawMode(static_cast<int>(picture->GetWidth()),
                                                   static_cast<int>(picture->GetHeight()), width, height);
    switch (mode) {
    case ImageDrawMode::Nothing:
        break;
    case ImageDrawMode::Direct:
    case ImageDrawMode::Scaled:
        graphics.DrawImage(picture, area);
        break;
    case ImageDrawMode::Tiled: {
        // Smaller than the area in a direction: the picture keeps its size and repeats
        // mirror-wise, so that its edges meet without seams.
        Gdiplus::ImageAttributes attributes;
        attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
        graphics.DrawImage(picture, area, 0, 0, width, height, Gdiplus::UnitPixel, &attributes);
        break;
    }
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
    // Wholly opaque renderings are copied plainly, which is much cheaper than blending.
    opaque_ = true;
    for (int y = 0; y < height && opaque_; ++y) {
        const uint32_t* row = bitmap_.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            if ((row[x] >> 24) != 0xFF) {
                opaque_ = false;
                break;
            }
        }
    }
    bitmap_.SetHasAlpha(!opaque_);
    return true;
}

void PictureCache::Draw(HDC dc, Gdiplus::Bitmap* picture, int width, int height, Fit fit) {
    if (!dc || !picture || width <= 0 || height <= 0)
        return;
    if (!valid_ || bitmap_.Width() != width || bitmap_.Height() != height) {
        valid_ = render(picture, width, height, fit);
        if (!valid_)
            return;
    }
    // The rendering stays selected in a memory context of its own: selecting it into a shared
    // one and back on every paint costs more under Wine than the copy itself.
    HDC source = bitmap_.Canvas()->Handle();
    if (!source)
        return;
    if (opaque_) {
        BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
        return;
    }
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, 0, 0, width, height, source, 0, 0, width, height, blend);
}

}  // namespace controls
