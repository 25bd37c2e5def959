#include "gui/Shape.h"

namespace gui {

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 65);
    brush_.OnChange = [this] { Invalidate(); };
    pen_.OnChange = [this] { Invalidate(); };
}

void TShape::SetShape(TShapeType shape) {
    if (shape_ == shape)
        return;
    shape_ = shape;
    Invalidate();
}

void TShape::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Pen()->Assign(pen_);
    canvas->Brush()->Assign(brush_);
    // The outline lies inside the bounds: half the pen on each side of the geometric edge.
    const int penWidth = pen_.Width();
    int x = penWidth / 2;
    int y = x;
    int w = Width() - penWidth + 1;
    int h = Height() - penWidth + 1;
    if (penWidth == 0) {
        --w;
        --h;
    }
    if (w < 0 || h < 0)
        return;
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        const int side = w < h ? w : h;
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare:
        canvas->Rectangle(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare: {
        const int corner = (w < h ? w : h) / 4;
        canvas->RoundRect(x, y, x + w, y + h, corner, corner);
        break;
    }
    case stEllipse:
    case stCircle:
        canvas->Ellipse(x, y, x + w, y + h);
        break;
    }
}

}  // namespace gui
