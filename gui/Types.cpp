#include "gui/Types.h"

namespace gui {

COLORREF ColorToRGB(TColor color) {
    if (color < 0)
        return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

TShiftState TShiftState::FromMouseKeys(WPARAM keys) {
    unsigned bits = 0;
    if (keys & MK_SHIFT)
        bits |= ssShift;
    if (keys & MK_CONTROL)
        bits |= ssCtrl;
    if (keys & MK_LBUTTON)
        bits |= ssLeft;
    if (keys & MK_RBUTTON)
        bits |= ssRight;
    if (keys & MK_MBUTTON)
        bits |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        bits |= ssAlt;
    return TShiftState(bits);
}

TShiftState TShiftState::FromKeyboard() {
    unsigned bits = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        bits |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        bits |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        bits |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0)
        bits |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0)
        bits |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0)
        bits |= ssMiddle;
    return TShiftState(bits);
}

HINSTANCE HInstance() {
    return GetModuleHandleW(nullptr);
}

}  // namespace gui
