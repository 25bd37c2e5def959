#pragma once
// TImage: a windowless control that shows a picture, at its own size, centred or stretched.
// Pictures with alpha are blended over what lies below.
#include "gui/GraphicControl.h"
#include "gui/Picture.h"

namespace gui {

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);

    TPicture* Picture() { return &picture_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Center() const { return center_; }
    void SetCenter(bool center);
    // Never opaque: the parent's background shows where the picture does not cover.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    // The control takes the picture's size.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

protected:
    void Paint() override;

private:
    void pictureChanged();
    RECT destination();

    TPicture picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
};

}  // namespace gui
