#pragma once
// The frames of a GIF as separate 32-bit ARGB bitmaps, with how long each one stays.
// GDI+ must be started.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <cstdint>
#include <memory>
#include <vector>

namespace controls {

// Milliseconds for frameCount frames from the GIF's frame-delay values (hundredths of a second,
// one per frame). Frames without a value, as in a GIF that has no delays at all, get 0: they
// stay until something else moves the animation on.
std::vector<unsigned> FrameDelays(const std::vector<uint32_t>& hundredths, size_t frameCount);

struct GifFrames {
    std::vector<std::unique_ptr<Gdiplus::Bitmap>> Frames;
    std::vector<unsigned> Delays;  // milliseconds, one per frame
};

// Splits gif into its frames, each drawn whole at the GIF's size. False, with out untouched,
// when the picture has no size or GDI+ fails on a frame. The GIF is left on its first frame.
bool SplitGifFrames(Gdiplus::Bitmap& gif, GifFrames& out);

}  // namespace controls
