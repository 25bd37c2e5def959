#pragma once
// A windowless control that draws one icon resource of the program at the control's size.
#include "gui/GraphicControl.h"

namespace gallery {

class IconView : public gui::TGraphicControl {
public:
    IconView(gui::TComponent* owner, int id);
    ~IconView() override;

protected:
    void Paint() override;

private:
    int id_;
    HICON icon_ = nullptr;
    int loadedSize_ = 0;
};

}  // namespace gallery
