#pragma once
// A bitmap the program draws on or with: a 32-bit top-down DIB section when the library makes
// it, or any bitmap handle handed to it. Bitmaps with (premultiplied) alpha are blended when drawn.
#include "gui/Types.h"
#include <cstdint>
#include <functional>
#include <memory>

namespace gui {

class TCanvas;

class TBitmap {
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return !handle_ || width_ <= 0 || height_ <= 0; }

    // A new 32-bit bitmap of that size, all pixels 0 (transparent black); 0 x 0 empties it.
    void SetSize(int width, int height);
    HBITMAP Handle() const { return handle_; }
    // Takes ownership of the handle (its size is read from it).
    void SetHandle(HBITMAP handle, bool hasAlpha = false);
    // Gives up ownership; the bitmap is empty afterwards.
    HBITMAP ReleaseHandle();

    // The pixels carry premultiplied alpha that drawing honours.
    bool HasAlpha() const { return hasAlpha_; }
    void SetHasAlpha(bool hasAlpha) { hasAlpha_ = hasAlpha; }

    // Row y of a 32-bit DIB section (BGRA), or null for other bitmaps.
    uint32_t* ScanLine(int y);

    // Draws into the bitmap.
    TCanvas* Canvas();

    // A BITMAP resource of the module.
    bool LoadFromResourceID(HINSTANCE module, int id);
    // A copy of another bitmap's pixels.
    void Assign(TBitmap* source);

    // Called after the bitmap's handle or size changed.
    std::function<void()> OnChange;

private:
    void setHandleInternal(HBITMAP handle, bool hasAlpha);
    void releaseCanvas();

    HBITMAP handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool hasAlpha_ = false;
    void* bits_ = nullptr;
    int stride_ = 0;
    bool topDown_ = true;
    HDC memoryDC_ = nullptr;
    HGDIOBJ originalBitmap_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace gui
