#pragma once
// Colours of the class library as opaque GDI+ colours.
#include "gui/Types.h"
#include <objidl.h>
#include <gdiplus.h>

namespace controls {

inline Gdiplus::Color opaqueColor(gui::TColor color) {
    const COLORREF rgb = gui::ColorToRGB(color);
    return Gdiplus::Color(255, GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

}  // namespace controls
