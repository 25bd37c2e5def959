#pragma once
// TProgressPie: a small round progress indicator. A ring and a disc of the remaining colour, a
// line from twelve o'clock to the centre, and a slice of the progress colour that grows
// clockwise from twelve o'clock.
#include "gui/GdiPlus.h"
#include "gui/GraphicControl.h"

namespace controls {

class TProgressPie : public gui::TGraphicControl {
public:
    explicit TProgressPie(gui::TComponent* owner);

    float Progress() const { return progress_; }
    // Kept within 0..1 (not-a-number gives 0).
    void FSetProgress(float value);
    gui::TColor ProgressColor() const { return progressColor_; }
    void FSetProgressColor(gui::TColor color);
    gui::TColor RemainingColor() const { return remainingColor_; }
    void FSetRemainingColor(gui::TColor color);
    int BorderWidth() const { return borderWidth_; }
    void FSetBorderWidth(int width);

protected:
    void Paint() override;

private:
    gui::GdiPlusSession gdiPlus_;
    float progress_ = 0.0f;
    gui::TColor progressColor_ = 0xFF0000;
    gui::TColor remainingColor_ = 0xFFFFFF;
    int borderWidth_ = 2;
};

}  // namespace controls
