#include "gui/Screen.h"

namespace gui {

namespace {
TScreen screenInstance;
}

TScreen* const Screen = &screenInstance;

int TScreen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN);
}

int TScreen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

RECT TScreen::WorkAreaRect() const {
    RECT r{0, 0, Width(), Height()};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

void TScreen::SetCursor(TCursor cursor) {
    if (cursor_ == cursor)
        return;
    cursor_ = cursor;
    if (cursor_ != crDefault) {
        ::SetCursor(CursorHandle(cursor_));
    } else {
        POINT p{};
        GetCursorPos(&p);
        SetCursorPos(p.x, p.y);  // the window under the pointer picks its cursor again
    }
}

HCURSOR CursorHandle(TCursor cursor) {
    const wchar_t* id = IDC_ARROW;
    switch (cursor) {
    case crNone:
        return nullptr;
    case crCross:
        id = IDC_CROSS;
        break;
    case crIBeam:
        id = IDC_IBEAM;
        break;
    case crSizeNESW:
        id = IDC_SIZENESW;
        break;
    case crSizeNS:
        id = IDC_SIZENS;
        break;
    case crSizeNWSE:
        id = IDC_SIZENWSE;
        break;
    case crSizeWE:
        id = IDC_SIZEWE;
        break;
    case crUpArrow:
        id = IDC_UPARROW;
        break;
    case crHourGlass:
        id = IDC_WAIT;
        break;
    case crNo:
        id = IDC_NO;
        break;
    case crAppStart:
        id = IDC_APPSTARTING;
        break;
    case crHelp:
        id = IDC_HELP;
        break;
    case crHandPoint:
        id = IDC_HAND;
        break;
    case crSizeAll:
        id = IDC_SIZEALL;
        break;
    default:
        id = IDC_ARROW;
        break;
    }
    return LoadCursorW(nullptr, id);
}

}  // namespace gui
