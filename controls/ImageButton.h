#pragma once
// ImageButton: the skin's push button. It shows one of three pictures (normal, pointer over,
// pressed) stretched to its size, takes part in the hover protocol, and reports a click only
// when the left button is released over its visible part. A press can install the main
// window's thread mouse hook, which follows the pointer until the button is let go.
#include "controls/HoverState.h"
#include "controls/PictureCache.h"
#include "gui/GdiPlus.h"
#include "gui/PaintBox.h"
#include "gui/WinControl.h"
#include <objidl.h>
#include <gdiplus.h>
#include <memory>

namespace controls {

class ImageButton : public gui::TPaintBox {
public:
    explicit ImageButton(gui::TComponent* owner);
    ~ImageButton() override;

    // The picture of a face: the "PNG" resource of the id in the program module, else its
    // bitmap resource; a missing one leaves the face without a picture.
    void setNormalResourceId(int id);
    void setMouseOverResourceId(int id);
    void setMouseDownResourceId(int id);

    // The main window's holders: the button being held down, the installed hook, the hook
    // procedure, and the control that takes the focus on a press.
    void SetMouseHookInfo(ImageButton** pressedButtonHolder, HHOOK* hookHolder, HOOKPROC hookProcedure,
                          gui::TWinControl* focusTarget);
    // Shows the normal face as if the pointer had gone (before modal work).
    void SetMouseLeave();

    // The control takes the size of its first picture (normal, pointer over, pressed).
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);
    // While this control has the focus, a press leaves the focus where it is.
    gui::TWinControl* KeepFocusedControl() const { return keepFocusedControl_; }
    void setKeepFocusedControl(gui::TWinControl* control) { keepFocusedControl_ = control; }

    ButtonFace Face() const { return face_.Face(); }
    bool Hovered() const { return face_.Hovered(); }

    gui::TNotifyEvent OnBtnClick;
    gui::TMouseEvent OnBtnMouseDown;

    void Dispatch(gui::TMessage& message) override;

protected:
    void Paint() override;
    void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
    void MouseMove(gui::TShiftState shift, int x, int y) override;
    void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;

private:
    void setPicture(ButtonFace face, int id);
    Gdiplus::Bitmap* picture(ButtonFace face) const;
    bool insideVisiblePart(int x, int y) const;
    bool heldByThis() const;
    void mouseEnter(gui::TMessage& message);
    void mouseLeave();
    void fitToPicture();

    gui::GdiPlusSession gdiPlus_;
    ButtonFaceState face_;
    bool autoSize_ = false;
    bool transparent_ = false;
    std::unique_ptr<Gdiplus::Bitmap> pictures_[3];
    PictureCache cache_;
    ButtonFace cachedFace_ = ButtonFace::Normal;
    ImageButton** pressedButtonHolder_ = nullptr;
    HHOOK* hookHolder_ = nullptr;
    HOOKPROC hookProcedure_ = nullptr;
    gui::TWinControl* focusTarget_ = nullptr;
    gui::TWinControl* keepFocusedControl_ = nullptr;
};

}  // namespace controls
