#pragma once
// Helpers of the skinned controls' tests: the application object, message pumping, real mouse
// input through SendInput (support/RealInput), and painting windowless controls into memory bitmaps.
#include "gui/Application.h"
#include "gui/WinControl.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include <functional>
#include <vector>

namespace controlstest {

// Handles waiting messages until the predicate holds or the time is up; returns the predicate.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 2000);
void Pump(int milliseconds);

// A 32-bit picture of what something painted, read back pixel by pixel (RGB, no alpha).
class PaintedPixels {
public:
    PaintedPixels(int width, int height, COLORREF background);
    ~PaintedPixels();
    PaintedPixels(const PaintedPixels&) = delete;
    PaintedPixels& operator=(const PaintedPixels&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF at(int x, int y) const;
    // How many pixels of a rectangle are (within tolerance per channel) of a colour.
    int count(const RECT& r, COLORREF color, int tolerance = 0) const;

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// Paints the windowless children of parent, as its window would, into a picture of its size.
void paintChildren(gui::TWinControl* parent, PaintedPixels& target);
// Paints one windowless control at the picture's origin.
void paintControl(gui::TControl* control, PaintedPixels& target);

using testsupport::closeTo;

}  // namespace controlstest
