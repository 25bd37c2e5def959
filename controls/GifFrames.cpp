#include "controls/GifFrames.h"
#include <algorithm>
#include <limits>

namespace controls {

namespace {

// The GIF's frame-delay property: one 32-bit value per frame; empty when there is none.
std::vector<uint32_t> readDelayProperty(Gdiplus::Bitmap& gif) {
    const UINT size = gif.GetPropertyItemSize(PropertyTagFrameDelay);
    if (size < sizeof(Gdiplus::PropertyItem))
        return {};
    std::vector<uint8_t> buffer(size);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
    if (gif.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok || !item->value)
        return {};
    const size_t available = size - sizeof(Gdiplus::PropertyItem);
    const size_t count = std::min<size_t>(item->length, available) / sizeof(uint32_t);
    std::vector<uint32_t> values(count);
    std::copy_n(static_cast<const uint32_t*>(item->value), count, values.begin());
    return values;
}

}  // namespace

std::vector<unsigned> FrameDelays(const std::vector<uint32_t>& hundredths, size_t frameCount) {
    std::vector<unsigned> delays(frameCount, 0);
    const size_t known = std::min(frameCount, hundredths.size());
    for (size_t i = 0; i < known; ++i) {
        const uint64_t milliseconds = uint64_t{hundredths[i]} * 10;
        delays[i] =
            static_cast<unsigned>(std::min<uint64_t>(milliseconds, std::numeric_limits<unsigned>::max()));
    }
    return delays;
}

bool SplitGifFrames(Gdiplus::Bitmap& gif, GifFrames& out) {
    const UINT width = gif.GetWidth();
    const UINT height = gif.GetHeight();
    if (width == 0 || height == 0)
        return false;
    // A picture without a time dimension is one frame.
    UINT frameCount = 1;
    if (gif.GetFrameDimensionsCount() > 0) {
        const UINT counted = gif.GetFrameCount(&Gdiplus::FrameDimensionTime);
        if (counted > 0)
            frameCount = counted;
    }

    GifFrames split;
    split.Delays = FrameDelays(readDelayProperty(gif), frameCount);
    bool whole = true;
    for (UINT i = 0; i < frameCount; ++i) {
        if (frameCount > 1 && gif.SelectActiveFrame(&Gdiplus::FrameDimensionTime, i) != Gdiplus::Ok) {
            whole = false;
            break;
        }
        // 32-bit ARGB whatever the GIF's own format: GDI+ cannot draw into an indexed bitmap.
        auto frame = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(width), static_cast<INT>(height),
                                                       PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(frame.get());
        if (frame->GetLastStatus() != Gdiplus::Ok ||
            graphics.DrawImage(&gif, 0, 0, static_cast<INT>(width), static_cast<INT>(height)) !=
                Gdiplus::Ok) {
            whole = false;
            break;
        }
        split.Frames.push_back(std::move(frame));
    }
    if (frameCount > 1)
        gif.SelectActiveFrame(&Gdiplus::FrameDimensionTime, 0);
    if (!whole)
        return false;
    out = std::move(split);
    return true;
}

}  // namespace controls
