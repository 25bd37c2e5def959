#pragma once
// Real mouse and keyboard input for window tests. Only input sent this way reaches thread mouse
// hooks under Wine, so tests of hover, capture and hooks drive the pointer with it.
#include <windows.h>

namespace testsupport {

// Moves the pointer to a point in screen coordinates.
void moveMouseTo(POINT screen);

// Presses or releases the left (left = true) or right mouse button where the pointer is.
void mouseButton(bool left, bool down);

// Turns the wheel by delta (WHEEL_DELTA per notch) where the pointer is.
void mouseWheel(int delta);

// Presses or releases one key.
void keyStroke(WORD virtualKey, bool down);

// A left click at a point.
void leftClick(POINT screen);

// Presses the left button at from, moves to to in a few steps and releases it there.
void leftDrag(POINT from, POINT to);

}  // namespace testsupport
