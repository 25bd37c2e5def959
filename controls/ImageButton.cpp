#include "controls/ImageButton.h"

#include "controls/HoverGeometry.h"
#include "controls/HoverProtocol.h"
#include "controls/ResourceImage.h"

namespace controls {

ImageButton::ImageButton(gui::TComponent* owner) : gui::TPaintBox(owner) {
    SetControlStyle(ControlStyle() | gui::csOpaque);
    SetBounds(Left(), Top(), 80, 25);
}

ImageButton::~ImageButton() = default;

Gdiplus::Bitmap* ImageButton::picture(ButtonFace face) const {
    return pictures_[static_cast<int>(face)].get();
}

void ImageButton::setPicture(ButtonFace face, int id) {
    auto& slot = pictures_[static_cast<int>(face)];
    slot.reset();
    slot = loadSkinPicture(gui::HInstance(), id);
    if (cachedFace_ == face)
        cache_.Reset();
    if (face_.Face() == face)
        Repaint();
    if (autoSize_ && slot)
        SetBounds(Left(), Top(), static_cast<int>(slot->GetWidth()), static_cast<int>(slot->GetHeight()));
}

void ImageButton::setNormalResourceId(int id) {
    setPicture(ButtonFace::Normal, id);
}

void ImageButton::setMouseOverResourceId(int id) {
    setPicture(ButtonFace::MouseOver, id);
}

void ImageButton::setMouseDownResourceId(int id) {
    setPicture(ButtonFace::Pressed, id);
}

void ImageButton::SetMouseHookInfo(ImageButton** pressedButtonHolder, HHOOK* hookHolder,
                                   HOOKPROC hookProcedure, gui::TWinControl* focusTarget) {
    pressedButtonHolder_ = pressedButtonHolder;
    hookHolder_ = hookHolder;
    hookProcedure_ = hookProcedure;
    focusTarget_ = focusTarget;
}

void ImageButton::SetMouseLeave() {
    mouseLeave();
}

void ImageButton::fitToPicture() {
    for (const auto& candidate : pictures_) {
        if (candidate) {
            SetBounds(Left(), Top(), static_cast<int>(candidate->GetWidth()),
                      static_cast<int>(candidate->GetHeight()));
            return;
        }
    }
}

void ImageButton::setAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize_)
        fitToPicture();
    Repaint();
}

void ImageButton::setTransparent(bool transparent) {
    transparent_ = transparent;
    SetOpaque(!transparent_);
}

void ImageButton::Dispatch(gui::TMessage& message) {
    switch (message.Msg) {
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

bool ImageButton::heldByThis() const {
    return pressedButtonHolder_ && *pressedButtonHolder_ == this;
}

bool ImageButton::insideVisiblePart(int x, int y) const {
    return rectContains(getVisibleScreenRect(this), ClientToScreen(POINT{x, y}));
}

void ImageButton::mouseEnter(gui::TMessage& message) {
    broadcastMouseLeave(this, message);
    if (face_.Enter(heldByThis()))
        Repaint();
}

void ImageButton::mouseLeave() {
    if (face_.Leave())
        Repaint();
}

void ImageButton::MouseMove(gui::TShiftState shift, int x, int y) {
    if (!face_.Hovered() && insideVisiblePart(x, y)) {
        // Moves arrive as events: the broadcast needs a message record of its own.
        gui::TMessage record;
        record.Msg = gui::CM_MOUSEENTER;
        mouseEnter(record);
    }
    gui::TPaintBox::MouseMove(shift, x, y);
}

void ImageButton::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    if (focusTarget_) {
        const bool keep = keepFocusedControl_ && keepFocusedControl_->Focused();
        if (!keep && focusTarget_->CanFocus())
            focusTarget_->SetFocus();
    }
    if (button == gui::mbLeft) {
        face_.Press();
        Repaint();
        if (pressedButtonHolder_ && hookHolder_ && hookProcedure_) {
            *pressedButtonHolder_ = this;
            // The hook follows the pointer until the release and is removed by its owner.
            if (!*hookHolder_)
                *hookHolder_ =
                    SetWindowsHookExW(WH_MOUSE, hookProcedure_, gui::HInstance(), GetCurrentThreadId());
        }
    }
    gui::TPaintBox::MouseDown(button, shift, x, y);
    if (OnBtnMouseDown)
        OnBtnMouseDown(this, button, shift, x, y);
}

void ImageButton::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    gui::TPaintBox::MouseUp(button, shift, x, y);
    if (button != gui::mbLeft || !insideVisiblePart(x, y))
        return;
    face_.ReleaseInside();
    Repaint();
    if (OnBtnClick)
        OnBtnClick(this);
}

void ImageButton::Paint() {
    HDC dc = Canvas()->Handle();
    // The face shown is rendered once at the button's size and copied from then on.
    if (cachedFace_ != face_.Face()) {
        cache_.Reset();
        cachedFace_ = face_.Face();
    }
    cache_.Draw(dc, picture(face_.Face()), Width(), Height(), PictureCache::Fit::Stretch);
}

}  // namespace controls
