#pragma once
// AnimatedGif: plays a "GIF" resource of the program (the busy indicators). Loading splits the
// GIF once into 32-bit ARGB frames with their delays; playing shows one frame after the other on
// the control's own timer, each drawn straight onto the parent's window so that the parent does
// not repaint. A GIF without frame delays (a single picture) stands still.
#include "gui/GdiPlus.h"
#include "gui/PaintBox.h"
#include <objidl.h>
#include <gdiplus.h>
#include <memory>
#include <vector>

namespace gui {
class TTimer;
}

namespace controls {

class AnimatedGif : public gui::TPaintBox {
public:
    explicit AnimatedGif(gui::TComponent* owner);
    ~AnimatedGif() override;

    // Loads the "GIF" resource of the id from the program module and stops. A resource that
    // is missing or does not decode keeps the frames shown so far.
    void setAnimatedGifResourceId(int id);
    // The same from a decoded GIF (the caller keeps it).
    void setAnimatedGif(Gdiplus::Bitmap& gif);

    // Starts at the first frame, when the control is showing and has frames.
    void Play();
    void Stop();
    bool Stopped() const { return stopped_; }

    // The control takes the size of the first frame.
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool autoSize);
    // Frames are laid over what lies under the control instead of filling their box.
    bool Transparent() const { return transparent_; }
    void setTransparent(bool transparent);

    // The first frame's size; 0 without frames.
    int BitmapWidth() const;
    int BitmapHeight() const;

    int FrameCount() const { return static_cast<int>(frames_.size()); }
    int CurrentFrame() const { return static_cast<int>(currentFrame_); }
    // Milliseconds each frame stays.
    const std::vector<unsigned>& Delays() const { return delays_; }
    Gdiplus::Bitmap* Frame(int index) const;
    gui::TTimer* Timer() const { return timer_.get(); }

protected:
    void Paint() override;

private:
    void timerTimer(gui::TObject* sender);
    void drawCurrentBitmap();
    void freeFrames();
    bool playable() const;

    gui::GdiPlusSession gdiPlus_;  // first member: it outlives every GDI+ object below
    std::unique_ptr<gui::TTimer> timer_;
    bool autoSize_ = false;
    bool transparent_ = false;
    bool stopped_ = true;
    std::unique_ptr<Gdiplus::Bitmap> snapshot_;  // what lay under the control when it painted
    std::vector<std::unique_ptr<Gdiplus::Bitmap>> frames_;
    std::vector<unsigned> delays_;
    size_t currentFrame_ = 0;
};

}  // namespace controls
