#include "controls/ProgressPie.h"

#include "controls/GdiPlusColor.h"
#include "controls/PieGeometry.h"

namespace controls {

TProgressPie::TProgressPie(gui::TComponent* owner) : gui::TGraphicControl(owner) {
    SetBounds(Left(), Top(), 25, 25);
}

void TProgressPie::FSetProgress(float value) {
    progress_ = clampProgress(value);
    Repaint();
}

void TProgressPie::FSetProgressColor(gui::TColor color) {
    progressColor_ = color;
    Repaint();
}

void TProgressPie::FSetRemainingColor(gui::TColor color) {
    remainingColor_ = color;
    Repaint();
}

void TProgressPie::FSetBorderWidth(int width) {
    borderWidth_ = width;
    Repaint();
}

void TProgressPie::Paint() {
    HDC dc = Canvas()->Handle();
    if (!dc || !gdiPlus_.Started())
        return;
    const PieLayout layout = pieLayout(Width(), Height(), borderWidth_, progress_);
    const Gdiplus::Color progressColor = opaqueColor(progressColor_);

    // Failed drawing calls leave their status on the object; the pie is simply not drawn then.
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    if (layout.hasRing) {
        Gdiplus::SolidBrush remaining(opaqueColor(remainingColor_));
        graphics.FillEllipse(&remaining, layout.disc.x, layout.disc.y, layout.disc.width, layout.disc.height);
        Gdiplus::Pen ring(progressColor, static_cast<Gdiplus::REAL>(layout.ringPenWidth));
        graphics.DrawEllipse(&ring, layout.ring.x, layout.ring.y, layout.ring.width, layout.ring.height);
    }
    Gdiplus::Pen line(progressColor, 1.0f);
    graphics.DrawLine(&line, static_cast<INT>(layout.lineFrom.x), static_cast<INT>(layout.lineFrom.y),
                      static_cast<INT>(layout.lineTo.x), static_cast<INT>(layout.lineTo.y));
    Gdiplus::SolidBrush slice(progressColor);
    graphics.FillPie(&slice, layout.slice.x, layout.slice.y, layout.slice.width, layout.slice.height,
                     layout.startAngle, layout.sweepAngle);
}

}  // namespace controls
