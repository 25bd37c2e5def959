#include "support/RealInput.h"

namespace testsupport {

void moveMouseTo(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // Absolute coordinates run from 0 to 65535 over the screen, and the system maps them back
    // rounding down: the smallest value that maps onto the pixel itself.
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height - 1) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void mouseButton(bool left, bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (left)
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    else
        input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    SendInput(1, &input, sizeof(input));
}

void mouseWheel(int delta) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.mouseData = static_cast<DWORD>(delta);
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    SendInput(1, &input, sizeof(input));
}

void keyStroke(WORD virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

void leftClick(POINT screen) {
    moveMouseTo(screen);
    mouseButton(true, true);
    mouseButton(true, false);
}

void leftDrag(POINT from, POINT to) {
    moveMouseTo(from);
    mouseButton(true, true);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        moveMouseTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    mouseButton(true, false);
}

}  // namespace testsupport
