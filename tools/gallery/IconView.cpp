#include "IconView.h"

namespace gallery {

IconView::IconView(gui::TComponent* owner, int id) : gui::TGraphicControl(owner), id_(id) {}

IconView::~IconView() {
    if (icon_)
        DestroyIcon(icon_);
}

void IconView::Paint() {
    const int size = Width() < Height() ? Width() : Height();
    if (!icon_ || loadedSize_ != size) {
        if (icon_)
            DestroyIcon(icon_);
        icon_ = static_cast<HICON>(
            LoadImageW(gui::HInstance(), MAKEINTRESOURCEW(id_), IMAGE_ICON, size, size, 0));
        loadedSize_ = size;
    }
    if (icon_)
        DrawIconEx(Canvas()->Handle(), 0, 0, icon_, size, size, 0, nullptr, DI_NORMAL);
}

}  // namespace gallery
