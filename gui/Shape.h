#pragma once
// TShape: a rectangle, rounded rectangle or ellipse outlined with its pen and filled with its
// brush (which may be a bitmap pattern).
#include "gui/GraphicControl.h"

namespace gui {

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* owner);

    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType shape);
    TBrush* Brush() { return &brush_; }
    TPen* Pen() { return &pen_; }

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    TBrush brush_;
    TPen pen_;
};

}  // namespace gui
