#pragma once
// TCustomControl: a windowed control that draws itself on a canvas in Paint.
#include "gui/Canvas.h"
#include "gui/WinControl.h"

namespace gui {

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);

    // Valid while the control paints.
    TCanvas* Canvas() { return &canvas_; }

protected:
    virtual void Paint();
    void PaintWindow(HDC dc) override;

private:
    TCanvas canvas_;
};

}  // namespace gui
