#include "controls/Image.h"

#include "common/PathFunctions.h"
#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"
#include "controls/ImageDrawPlan.h"
#include "controls/ResourceImage.h"

namespace controls {

Image::Image(gui::TComponent* owner) : gui::TPaintBox(owner)
{
    SetControlStyle(ControlStyle() | gui::csOpaque);
    SetBounds(Left(), Top(), 80, 25);
}

Image::~Image()
{
    freePicture();
}

void Image::freePicture()
{
    if (ownsPicture_)
        delete picture_;
    picture_ = nullptr;
    ownsPicture_ = false;
    cache_.reset();
}

void Image::showPicture(Gdiplus::Bitmap* picture, bool owned)
{
    picture_ = picture;
    ownsPicture_ = owned && picture;
    Repaint();
    if (autoSize_ && picture_)
        SetBounds(Left(), Top(), BitmapWidth(), BitmapHeight());
}

void Image::setImageResourceId(int id)
{
    freePicture();
    showPicture(loadSkinPicture(gui::HInstance(), id).release(), true);
}

void Image::setImageFile(const std::wstring& path)
{
    freePicture();
    std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromFile(makeLongPath(path).c_str()));
    if (picture && picture->GetLastStatus() != Gdiplus::Ok)
        picture.reset();
    showPicture(picture.release(), true);
}

void Image::setImageBitmap(Gdiplus::Bitmap* bitmap)
{
    freePicture();
    showPicture(bitmap, false);
}

int Image::BitmapWidth() const
{
    return picture_ ? static_cast<int>(picture_->GetWidth()) : 0;
}

int Image::BitmapHeight() const
{
    return picture_ ? static_cast<int>(picture_->GetHeight()) : 0;
}

void Image::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    if (autoSize_ && picture_)
        SetBounds(Left(), Top(), BitmapWidth(), BitmapHeight());
    Repaint();
}

void Image::setTransparent(bool transparent)
{
    transparent_ = transparent;
    if (transparent_)
        SetControlStyle(ControlStyle() & ~gui::csOpaque);
    else
        SetControlStyle(ControlStyle() | gui::csOpaque);
    Repaint();
}

void Image::Dispatch(gui::TMessage& message)
{
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        if (!hover_.Hovered()) {
            const RECT visible = getVisibleScreenRect(this);
            if (rectContains(visible, ClientToScreen(gui::PointFromLParam(message.LParam))))
                mouseEnter(message);
        }
        gui::TPaintBox::Dispatch(message);
        return;
    case gui::CM_MOUSEENTER:
        mouseEnter(message);
        return;
    case gui::CM_MOUSELEAVE:
        mouseLeave();
        return;
    default:
        gui::TPaintBox::Dispatch(message);
    }
}

void Image::mouseEnter(gui::TMessage& message)
{
    broadcastMouseLeave(this, message);
    if (hover_.Enter() && OnMouseEnter)
        OnMouseEnter(this);
}

void Image::mouseLeave()
{
    if (hover_.Leave() && OnMouseLeave)
        OnMouseLeave(this);
}

void Image::buildCache(int width, int height)
{
    // 32-bit ARGB whatever the picture's format: GDI+ on Windows cannot draw on indexed bitmaps.
    cache_ = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(cache_.get());
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
    const Gdiplus::Rect area(0, 0, width, height);
    if (imageDrawMode(BitmapWidth(), BitmapHeight(), width, height) == ImageDrawMode::Scaled) {
        graphics.DrawImage(picture_, area);
        return;
    }
    // Smaller than the control in a direction: the picture keeps its size and repeats
    // mirror-wise, so its edges meet without seams.
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    graphics.DrawImage(picture_, area, 0, 0, width, height, Gdiplus::UnitPixel, &attributes);
}

void Image::Paint()
{
    HDC dc = Canvas()->Handle();
    const int width = Width();
    const int height = Height();
    const ImageDrawMode mode = imageDrawMode(BitmapWidth(), BitmapHeight(), width, height);
    if (!dc || mode == ImageDrawMode::Nothing)
        return;
    Gdiplus::Graphics graphics(dc);
    if (mode == ImageDrawMode::Direct) {
        graphics.DrawImage(picture_, 0, 0, width, height);
        return;
    }
    if (!cache_ || static_cast<int>(cache_->GetWidth()) != width || static_cast<int>(cache_->GetHeight()) != height)
        buildCache(width, height);
    graphics.DrawImage(cache_.get(), 0, 0, width, height);
}

}  // namespace controls
