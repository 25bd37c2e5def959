#include "controls/Image.h"

#include "common/PathFunctions.h"
#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"
#include "controls/ResourceImage.h"

namespace controls {

Image::Image(gui::TComponent* owner) : gui::TPaintBox(owner) {
    SetControlStyle(ControlStyle() | gui::csOpaque);
    SetBounds(Left(), Top(), 80, 25);
}

Image::~Image() {
    freePicture();
}

void Image::freePicture() {
    if (ownsPicture_)
        delete picture_;
    picture_ = nullptr;
    ownsPicture_ = false;
    cache_.Reset();
}

void Image::showPicture(Gdiplus::Bitmap* picture, bool owned) {
    picture_ = picture;
    ownsPicture_ = owned && picture;
    Repaint();
    if (autoSize_ && picture_)
        SetBounds(Left(), Top(), BitmapWidth(), BitmapHeight());
}

void Image::setImageResourceId(int id) {
    freePicture();
    showPicture(loadSkinPicture(gui::HInstance(), id).release(), true);
}

void Image::setImageFile(const std::wstring& path) {
    freePicture();
    std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromFile(makeLongPath(path).c_str()));
    if (picture && picture->GetLastStatus() != Gdiplus::Ok)
        picture.reset();
    showPicture(picture.release(), true);
}

void Image::setImageBitmap(Gdiplus::Bitmap* bitmap) {
    freePicture();
    showPicture(bitmap, false);
}

int Image::BitmapWidth() const {
    return picture_ ? static_cast<int>(picture_->GetWidth()) : 0;
}

int Image::BitmapHeight() const {
    return picture_ ? static_cast<int>(picture_->GetHeight()) : 0;
}

void Image::setAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize_ && picture_)
        SetBounds(Left(), Top(), BitmapWidth(), BitmapHeight());
    Repaint();
}

void Image::setStretch(bool stretch) {
    fit_ = stretch ? PictureCache::Fit::Stretch : PictureCache::Fit::ScaleOrTile;
    cache_.Reset();
    Repaint();
}

void Image::setTransparent(bool transparent) {
    transparent_ = transparent;
    SetOpaque(!transparent_);
    Repaint();
}

void Image::Dispatch(gui::TMessage& message) {
    // Only the part of the picture within its parent counts as under the pointer.
    const auto onVisiblePart = [this](LPARAM point) {
        return rectContains(getVisibleScreenRect(this), ClientToScreen(gui::PointFromLParam(point)));
    };
    if (!dispatchHover(this, message, hover_, onVisiblePart, &OnMouseEnter, &OnMouseLeave))
        gui::TPaintBox::Dispatch(message);
}

void Image::Paint() {
    // Through a rendering of the control's size (made again when the size changes); its pixels
    // are 32-bit with alpha whatever the picture's format.
    cache_.Draw(Canvas()->Handle(), picture_, Width(), Height(), fit_);
}

}  // namespace controls
