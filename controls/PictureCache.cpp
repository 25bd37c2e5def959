#include "controls/PictureCache.h"

#include "controls/ImageDrawPlan.h"
#include "gui/Canvas.h"

namespace controls {

void PictureCache::Reset() {
    valid_ = false;
}

bool PictureCache::Render(Gdiplus::Bitmap* picture, int width, int height, Fit fit, gui::TBitmap& target,
                          bool& opaque) {
    target.SetSize(width, height);
    uint32_t* first = target.ScanLine(0);
    if (!first)
        return false;
    // GDI+ draws straight into the bitmap's pixels (premultiplied, top-down rows).
    Gdiplus::Bitmap canvas(width, height, width * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(first));
    Gdiplus::Graphics graphics(&canvas);
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
    opaque = true;
    for (int y = 0; y < height && opaque; ++y) {
        const uint32_t* row = target.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            if ((row[x] >> 24) != 0xFF) {
                opaque = false;
                break;
            }
        }
    }
    target.SetHasAlpha(!opaque);
    return true;
}

void PictureCache::Adopt(std::unique_ptr<gui::TBitmap> rendering, bool opaque) {
    valid_ = rendering && !rendering->Empty();
    bitmap_ = std::move(rendering);
    opaque_ = opaque;
}

void PictureCache::Draw(HDC dc, Gdiplus::Bitmap* picture, int width, int height, Fit fit) {
    if (!dc || !picture || width <= 0 || height <= 0)
        return;
    if (!valid_ || bitmap_->Width() != width || bitmap_->Height() != height) {
        if (!bitmap_)
            bitmap_ = std::make_unique<gui::TBitmap>();
        valid_ = Render(picture, width, height, fit, *bitmap_, opaque_);
        if (!valid_)
            return;
        ++renders_;
    }
    DrawCopy(dc, width, height);
}

bool PictureCache::DrawCopy(HDC dc, int width, int height) {
    if (!dc || !valid_ || bitmap_->Width() != width || bitmap_->Height() != height)
        return false;
    // The rendering stays selected in a memory context of its own: selecting it into a shared
    // one and back on every paint costs more under Wine than the copy itself.
    HDC source = bitmap_->Canvas()->Handle();
    if (!source)
        return true;
    if (opaque_) {
        BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
        return true;
    }
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, 0, 0, width, height, source, 0, 0, width, height, blend);
    return true;
}

}  // namespace controls
