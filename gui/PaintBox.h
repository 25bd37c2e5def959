#pragma once
// TPaintBox: a windowless area the program draws on in OnPaint (or in an overridden Paint).
#include "gui/GraphicControl.h"

namespace gui {

class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* owner);

    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

}  // namespace gui
