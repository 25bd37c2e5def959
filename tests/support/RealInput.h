#pragma once
// Real mouse and keyboard input for window tests. Only input sent this way reaches thread mouse
// hooks under Wine, so tests of hover, capture and hooks drive the pointer with it.
#include <windows.h>

#include <functional>
#include <string>

namespace testsupport {

// Moves the pointer to a point in screen coordinates.
void moveMouseTo(POINT screen);

// Presses or releases the left (left = true) or right mouse button where the pointer is.
void mouseButton(bool left, bool down);

// Turns the wheel by delta (WHEEL_DELTA per notch) where the pointer is.
void mouseWheel(int delta);

// Presses or releases one key.
void keyStroke(WORD virtualKey, bool down);

// Holds (down) or lets go Shift or Ctrl at the X server, as the keyboard does, and waits until the
// key state shows it; false when it did not. Wine takes these keys' state from the X server with
// pointer input, so one sent with keyStroke may be forgotten once the pointer moves: Shift- and
// Ctrl-clicks need this one.
bool holdModifier(WORD virtualKey, bool down);

// Presses and releases one key.
void pressKey(WORD virtualKey);

// Types the text key by key as a person would, with Shift where the keyboard needs it; characters
// the keyboard has no key for (É, emoji halves) go in as the system's Unicode key packets.
void typeText(const std::wstring& text);

// A left click at a point.
void leftClick(POINT screen);

// Presses the left button at from, moves to to in a few steps and releases it there.
void leftDrag(POINT from, POINT to);

// Waits up to timeoutMs for the condition. Under Wine the pointer's last move can wait in the
// program's queue until more input comes, so a wheel turn of nothing is sent between looks.
bool waitNudging(const std::function<bool()>& condition, int timeoutMs = 15000);

}  // namespace testsupport
