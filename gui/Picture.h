#pragma once
// A picture loaded from a file, a stream or a resource (PNG, JPEG, GIF, BMP), held as a bitmap.
#include "gui/Bitmap.h"
#include <functional>
#include <string>

namespace gui {

class TPicture {
public:
    TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // The picture as a bitmap; assigning or drawing on it changes the picture.
    TBitmap* Bitmap() { return &bitmap_; }
    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }
    bool Empty() const { return bitmap_.Empty(); }

    // False (picture unchanged) when the source cannot be read or decoded.
    bool LoadFromFile(const std::wstring& path);
    bool LoadFromStream(IStream* stream);
    // A resource of the module: type "PNG" or "GIF", or RT_BITMAP for a bitmap resource.
    bool LoadFromResource(HMODULE module, int id, const wchar_t* type);
    void Clear() { bitmap_.SetSize(0, 0); }

    std::function<void()> OnChange;

private:
    TBitmap bitmap_;
};

}  // namespace gui
