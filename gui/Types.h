#pragma once
// Basic value types shared by every part of the class library: the message record, colours,
// shift state, mouse buttons, cursors and the library's own message numbers.
#include <windows.h>
#include <cstdint>

namespace gui {

// A window message as the controls handle it; handlers may change every field and reuse the
// record (for instance to broadcast it under another number).
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// The library's own messages. They lie above the program's worker messages (WM_APP + 0 .. + 7)
// and are only ever sent to our own controls, never posted to a foreign window.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;  // the pointer moved onto the control
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;  // the pointer moved off the control
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;   // Enter, Escape offered to the buttons of a form
constexpr UINT CM_RELEASE =
    CM_BASE + 0x21;  // frees the forms that asked for it (posted to the application window)
// Notifications reflected from a parent window to the child control they concern.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;

// Colours: a COLORREF, or a system colour when the top bit is set (index in the low byte).
using TColor = int32_t;
constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clGray = 0x808080;
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour (system colours resolved now).
COLORREF ColorToRGB(TColor color);

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Keys and buttons held during an input event.
enum TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};

class TShiftState {
public:
    constexpr TShiftState() = default;
    constexpr TShiftState(unsigned bits) : bits_(bits) {}
    constexpr bool Contains(TShiftFlag flag) const { return (bits_ & flag) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr unsigned Bits() const { return bits_; }
    TShiftState& operator<<(TShiftFlag flag) {
        bits_ |= flag;
        return *this;
    }
    TShiftState& operator>>(TShiftFlag flag) {
        bits_ &= ~static_cast<unsigned>(flag);
        return *this;
    }
    constexpr bool operator==(TShiftState other) const { return bits_ == other.bits_; }
    constexpr bool operator!=(TShiftState other) const { return bits_ != other.bits_; }

    // From the MK_ flags of a mouse message, with Alt read from the keyboard state.
    static TShiftState FromMouseKeys(WPARAM keys);
    // From the keyboard state of the message being handled.
    static TShiftState FromKeyboard();

private:
    unsigned bits_ = 0;
};

// Cursor identifiers; 0 means "inherit" (the parent's cursor, then the window class cursor).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// Results of a modal form.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// Borders of forms; other controls take bsNone or bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

// Signed client coordinates of a mouse message.
inline POINT PointFromLParam(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
inline LPARAM LParamFromPoint(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)), static_cast<WORD>(static_cast<short>(p.y)));
}

// The instance handle of the program module.
HINSTANCE HInstance();

}  // namespace gui
