#include "controls/Image.h"

#include "common/PathFunctions.h"
#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"
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
    cache_.Reset();
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

void Image::Paint()
{
    // Through a rendering of the control's size (made again when the size changes); its pixels
    // are 32-bit with alpha whatever the picture's format.
    cache_.Draw(Canvas()->Handle(), picture_, Width(), Height(), PictureCache::Fit::ScaleOrTile);
}

}  // namespace controls
