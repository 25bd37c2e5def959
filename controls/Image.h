#pragma once
// Image: a windowless control that draws a GDI+ picture at its size (scaled down, or tiled
// mirror-wise when the picture is smaller), takes part in the hover protocol and tells about it
// through OnMouseEnter and OnMouseLeave. The picture comes from a resource, a file, or the
// caller (who keeps that one alive and deletes it).
#include "controls/HoverState.h"
#include "controls/PictureCache.h"
#include "gui/GdiPlus.h"
#include "gui/PaintBox.h"
#include <objidl.h>
#include <gdiplus.h>
#include <memory>
#include <string>

namespace controls {

class Image : public gui::TPaintBox {
public:
    explicit Image(gui::TComponent* owner);
    ~Image() override;

    // The "PNG" resource of the id in the program module, else its bitmap resource.
    void setImageResourceId(int id);
    void setImageFile(const std::wstring& path);
    // Shows the caller's bitmap; the control never deletes it.
    void setImageBitmap(Gdiplus::Bitmap* bitmap);

    // The picture's size; 0 without a picture.
    int BitmapWidth() const;
    int BitmapHeight() const;

    // The control takes the picture's size.
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    // A transparent control lets its parent paint the background under it (pictures with alpha).
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    // The whole picture stretched to the control, also when it is smaller (a photo, not a pattern).
    bool Stretch() const { return fit_ == PictureCache::Fit::Stretch; }
    void setStretch(bool stretch);
    // Read by the program's hint handling.
    bool CanShowHint() const { return canShowHint_; }
    void setCanShowHint(bool canShowHint) { canShowHint_ = canShowHint; }

    bool Hovered() const { return hover_.Hovered(); }

    gui::TNotifyEvent OnMouseEnter;
    gui::TNotifyEvent OnMouseLeave;

    void Dispatch(gui::TMessage& message) override;

protected:
    void Paint() override;

private:
    void freePicture();
    void showPicture(Gdiplus::Bitmap* picture, bool owned);

    gui::GdiPlusSession gdiPlus_;
    Gdiplus::Bitmap* picture_ = nullptr;
    PictureCache cache_;
    bool ownsPicture_ = false;
    PictureCache::Fit fit_ = PictureCache::Fit::ScaleOrTile;
    bool autoSize_ = false;
    bool transparent_ = false;
    bool canShowHint_ = true;
    HoverFlag hover_;
};

}  // namespace controls
