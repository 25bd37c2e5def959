#include "controls/AnimatedGif.h"
#include "controls/GifFrames.h"
#include "controls/ResourceImage.h"
#include "gui/Timer.h"
#include "gui/Types.h"
#include "gui/Win32Handles.h"
#include "gui/WinControl.h"
#include <algorithm>
#include <cstring>

namespace controls {

namespace {

// What lies in dc's rectangle (0, 0, width, height) as an opaque 32-bit ARGB bitmap, or null.
std::unique_ptr<Gdiplus::Bitmap> captureArea(HDC dc, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    gui::GdiObject<HBITMAP> section(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    gui::MemoryDC memory(dc);
    if (!section || !bits || !memory.get())
        return nullptr;
    {
        gui::SelectedObject selected(memory.get(), section.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, dc, 0, 0, SRCCOPY))
            return nullptr;
        GdiFlush();
    }
    auto snapshot = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    Gdiplus::Rect area(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (snapshot->GetLastStatus() != Gdiplus::Ok ||
        snapshot->LockBits(&area, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return nullptr;
    const auto* source = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < width; ++x)
            row[x] = source[y * width + x] | 0xFF000000u;  // the screen has no alpha: opaque
    }
    snapshot->UnlockBits(&data);
    return snapshot;
}

// Smoothing 4 (anti-alias) and interpolation 1 (low quality), as every frame is drawn.
void prepare(Gdiplus::Graphics& graphics) {
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeLowQuality);
}

}  // namespace

AnimatedGif::AnimatedGif(gui::TComponent* owner) : gui::TPaintBox(owner), timer_(new gui::TTimer(nullptr)) {
    timer_->SetEnabled(false);
    timer_->SetOnTimer([this](gui::TObject* sender) { timerTimer(sender); });
    SetBounds(Left(), Top(), 30, 30);
    SetControlStyle(ControlStyle() | gui::csOpaque);
}

AnimatedGif::~AnimatedGif() {
    stopped_ = true;
    timer_->SetEnabled(false);
    timer_.reset();
    snapshot_.reset();
    freeFrames();
}

void AnimatedGif::freeFrames() {
    frames_.clear();
    delays_.clear();
    currentFrame_ = 0;
}

// ---- loading

void AnimatedGif::setAnimatedGifResourceId(int id) {
    stopped_ = true;
    timer_->SetEnabled(false);
    Gdiplus::Bitmap* loaded = nullptr;
    const bool decoded = loadImageResource(gui::HInstance(), id, L"GIF", loaded);
    std::unique_ptr<Gdiplus::Bitmap> gif(loaded);
    if (!decoded || !gif) {
        Repaint();
        return;
    }
    setAnimatedGif(*gif);
}

void AnimatedGif::setAnimatedGif(Gdiplus::Bitmap& gif) {
    stopped_ = true;
    timer_->SetEnabled(false);
    GifFrames split;
    if (!SplitGifFrames(gif, split)) {
        Repaint();
        return;
    }
    snapshot_.reset();
    freeFrames();
    frames_ = std::move(split.Frames);
    delays_ = std::move(split.Delays);
    // A new picture starts at its first frame: the old index may lie beyond its frames.
    currentFrame_ = 0;
    if (autoSize_ && !frames_.empty())
        SetBounds(Left(), Top(), BitmapWidth(), BitmapHeight());
    Repaint();
}

// ---- properties

int AnimatedGif::BitmapWidth() const {
    return frames_.empty() ? 0 : static_cast<int>(frames_.front()->GetWidth());
}

int AnimatedGif::BitmapHeight() const {
    return frames_.empty() ? 0 : static_cast<int>(frames_.front()->GetHeight());
}

Gdiplus::Bitmap* AnimatedGif::Frame(int index) const {
    if (index < 0 || index >= FrameCount())
        return nullptr;
    return frames_[static_cast<size_t>(index)].get();
}

void AnimatedGif::setAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize_ && !frames_.empty())
        SetBounds(Left(), Top(), BitmapWidth(), BitmapHeight());
    Repaint();
}

void AnimatedGif::setTransparent(bool transparent) {
    transparent_ = transparent;
    SetOpaque(!transparent_);
    Repaint();
}

// ---- playing

bool AnimatedGif::playable() const {
    return Showing() && !frames_.empty();
}

void AnimatedGif::Play() {
    stopped_ = true;
    timer_->SetEnabled(false);
    if (!playable())
        return;
    currentFrame_ = 0;
    if (snapshot_)
        drawCurrentBitmap();
    else
        Invalidate();  // not painted since it was loaded or stopped: painting shows the frame
    // One frame has nothing to move on to: it stands still.
    if (frames_.size() > 1) {
        timer_->SetInterval(delays_[0]);
        timer_->SetEnabled(true);
    }
    stopped_ = false;
}

void AnimatedGif::Stop() {
    stopped_ = true;
    timer_->SetEnabled(false);
    snapshot_.reset();
}

void AnimatedGif::timerTimer(gui::TObject*) {
    timer_->SetEnabled(false);
    if (stopped_ || !playable()) {
        stopped_ = true;
        return;
    }
    currentFrame_ = (currentFrame_ + 1) % frames_.size();
    drawCurrentBitmap();
    // An interval of 0 never fires: a frame without a delay ends the animation there.
    timer_->SetInterval(delays_[currentFrame_]);
    timer_->SetEnabled(true);
}

// ---- drawing

void AnimatedGif::Paint() {
    snapshot_.reset();
    if (frames_.empty())
        return;
    HDC dc = Canvas()->Handle();
    const int width = Width();
    const int height = Height();
    if (!dc || width <= 0 || height <= 0)
        return;
    // The canvas has its origin at the control: the area under it starts at (0, 0).
    snapshot_ = captureArea(dc, width, height);
    Gdiplus::Graphics graphics(dc);
    prepare(graphics);
    graphics.DrawImage(frames_[std::min(currentFrame_, frames_.size() - 1)].get(),
                       Gdiplus::Rect(0, 0, width, height));
}

void AnimatedGif::drawCurrentBitmap() {
    if (!snapshot_ || frames_.empty() || !Parent())
        return;
    Gdiplus::Bitmap* frame = frames_[std::min(currentFrame_, frames_.size() - 1)].get();
    std::unique_ptr<Gdiplus::Bitmap> composed;
    if (transparent_) {
        // The frame over what lay under the control, so that its clear pixels show that.
        const INT width = static_cast<INT>(snapshot_->GetWidth());
        const INT height = static_cast<INT>(snapshot_->GetHeight());
        composed.reset(snapshot_->Clone(0, 0, width, height, PixelFormat32bppARGB));
        if (!composed || composed->GetLastStatus() != Gdiplus::Ok)
            return;
        Gdiplus::Graphics over(composed.get());
        prepare(over);
        over.DrawImage(frame, Gdiplus::Rect(0, 0, width, height));
    }
    gui::WindowDC dc(Parent()->Handle());
    if (!dc.get())
        return;
    Gdiplus::Graphics graphics(dc.get());
    prepare(graphics);
    graphics.DrawImage(composed ? composed.get() : frame, Gdiplus::Rect(Left(), Top(), Width(), Height()));
}

}  // namespace controls
