#pragma once
// One GDI+ session for the process, started by the first user and ended by the last one, on any
// thread.
// Decoding of pictures (PNG, JPEG, GIF, BMP) into 32-bit bitmaps.
#include <windows.h>
#include <objidl.h>
#include <string>

namespace gui {

class TBitmap;

class GdiPlusSession {
public:
    GdiPlusSession();
    ~GdiPlusSession();
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;

    bool Started() const { return started_; }

private:
    bool started_ = false;
};

// Decodes a picture file or stream (the first frame of an animation) into target as a 32-bit
// bitmap with premultiplied alpha; HasAlpha is set when any pixel is not fully opaque.
// False (target unchanged) when the data cannot be decoded.
bool DecodePictureFile(const std::wstring& path, TBitmap& target);
bool DecodePictureStream(IStream* stream, TBitmap& target);
// A resource of the module (type "PNG", "GIF", ... or RT_BITMAP's data) decoded the same way.
// Every memory block made for the decoding is freed before it returns.
bool DecodePictureResource(HMODULE module, int id, const wchar_t* type, TBitmap& target);

}  // namespace gui
