#include "gui/Image.h"

namespace gui {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
    picture_.OnChange = [this] { pictureChanged(); };
}

void TImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    pictureChanged();
}

void TImage::SetCenter(bool center) {
    center_ = center;
    pictureChanged();
}

void TImage::SetTransparent(bool transparent) {
    transparent_ = transparent;
    pictureChanged();
}

void TImage::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    pictureChanged();
}

void TImage::pictureChanged() {
    if (autoSize_ && !picture_.Empty())
        SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
    // Opaque only when the picture covers every pixel without transparency.
    const bool covers =
        !picture_.Empty() && (stretch_ || (picture_.Width() >= Width() && picture_.Height() >= Height()));
    const bool opaque = !transparent_ && covers && !picture_.Bitmap()->HasAlpha();
    SetOpaque(opaque);
    Invalidate();
}

RECT TImage::destination() {
    if (stretch_)
        return RECT{0, 0, Width(), Height()};
    int x = 0;
    int y = 0;
    if (center_) {
        x = (Width() - picture_.Width()) / 2;
        y = (Height() - picture_.Height()) / 2;
    }
    return RECT{x, y, x + picture_.Width(), y + picture_.Height()};
}

void TImage::Paint() {
    if (picture_.Empty())
        return;
    Canvas()->StretchDraw(destination(), picture_.Bitmap());
}

}  // namespace gui
