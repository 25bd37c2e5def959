#pragma once
// Pictures from the program's embedded resources as GDI+ bitmaps. GDI+ must be started (every
// control that draws holds a gui::GdiPlusSession).
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <memory>

namespace controls {

// Decodes resource id of the type ("PNG" or "GIF") of module. On success out receives a bitmap
// the caller owns and deletes, and the result is true. A resource that is missing or empty leaves
// out unchanged; one that does not decode sets out to null. Either gives false.
// The memory block holding the resource's bytes belongs to the bitmap's stream and is freed with
// it (or at once on failure): loading never leaks it.
bool loadImageResource(HMODULE module, int id, const wchar_t* type, Gdiplus::Bitmap*& out);

// A skin picture of the program: the "PNG" resource of the id, else the bitmap resource of the
// same id; null when neither exists or decodes.
std::unique_ptr<Gdiplus::Bitmap> loadSkinPicture(HMODULE module, int id);

}  // namespace controls
