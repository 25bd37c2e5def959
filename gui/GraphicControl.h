#pragma once
// TGraphicControl: a control without a window. Its parent paints it (WM_PAINT arrives with the
// parent's device context, origin moved to the control's top-left corner and clipped to it) and
// hands it the mouse messages that fall on it.
#include "gui/Canvas.h"
#include "gui/Control.h"

namespace gui {

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);

    // Valid while the control paints.
    TCanvas* Canvas() { return &canvas_; }

    void Dispatch(TMessage& message) override;

protected:
    virtual void Paint();

private:
    TCanvas canvas_;
};

}  // namespace gui
