#include "support/RealInput.h"

#include <cstdlib>
#include <optional>

#include "support/TestSupport.h"

namespace testsupport {

namespace {

// Where the test last put the pointer; nullopt before its first move.
std::optional<POINT> intendedPointer;

// Mouse input at the test's pointer position. A program that lags behind may turn an older pointer
// move of the X server into input after a newer one, so that a button sent alone would land where
// the pointer was before: every event carries its own place.
void sendPointerInput(DWORD flags, DWORD mouseData = 0) {
    POINT at{};
    if (intendedPointer)
        at = *intendedPointer;
    else
        GetCursorPos(&at);
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // Absolute coordinates run from 0 to 65535 over the screen, and the system maps them back
    // rounding down: the smallest value that maps onto the pixel itself.
    input.mi.dx = static_cast<LONG>((at.x * 65536LL + width - 1) / width);
    input.mi.dy = static_cast<LONG>((at.y * 65536LL + height - 1) / height);
    input.mi.mouseData = mouseData;
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

}  // namespace

void moveMouseTo(POINT screen) {
    intendedPointer = screen;
    sendPointerInput(0);
}

void mouseButton(bool left, bool down) {
    if (left)
        sendPointerInput(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    else
        sendPointerInput(down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP);
}

void mouseWheel(int delta) {
    sendPointerInput(MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta));
}

namespace {

// A keyboard has a left and a right Shift, Ctrl and Alt: with the generic code and no scan code
// Wine's key state as GetAsyncKeyState reads it never sees the key held.
WORD physicalKey(WORD virtualKey) {
    switch (virtualKey) {
    case VK_SHIFT:
        return VK_LSHIFT;
    case VK_CONTROL:
        return VK_LCONTROL;
    case VK_MENU:
        return VK_LMENU;
    default:
        return virtualKey;
    }
}

}  // namespace

void keyStroke(WORD virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = physicalKey(virtualKey);
    if (input.ki.wVk != virtualKey)
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

bool holdModifier(WORD virtualKey, bool down) {
    const char* source = std::getenv("PIXHAUL_SOURCE_DIR");
    const wchar_t* keysym = virtualKey == VK_SHIFT     ? L"Shift_L"
                            : virtualKey == VK_CONTROL ? L"Control_L"
                                                       : nullptr;
    if (!source || !keysym)
        return false;
    // python3 is a Unix program: it takes the script's Unix path. Started from here, Wine hands it
    // the descriptors behind this process's standard handles and this process loses its standard
    // output (and the test its report): start.exe starts it and waits for it instead.
    const std::string script = std::string(source) + "/tests/support/xkey.py";
    std::wstring command = L"start.exe /wait /unix /usr/bin/python3 " +
                           std::wstring(script.begin(), script.end()) + L" " + keysym +
                           (down ? L" down" : L" up");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waitUntil([=] { return ((GetAsyncKeyState(virtualKey) & 0x8000) != 0) == down; }, 5000);
}

void pressKey(WORD virtualKey) {
    keyStroke(virtualKey, true);
    keyStroke(virtualKey, false);
}

void typeText(const std::wstring& text) {
    for (wchar_t c : text) {
        const SHORT code = VkKeyScanW(c);
        if (code == -1) {
            INPUT packet[2]{};
            for (int i = 0; i < 2; ++i) {
                packet[i].type = INPUT_KEYBOARD;
                packet[i].ki.wScan = c;
                packet[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
            }
            SendInput(2, packet, sizeof(INPUT));
            continue;
        }
        const bool shift = (code & 0x100) != 0;
        if (shift)
            keyStroke(VK_SHIFT, true);
        pressKey(static_cast<WORD>(code & 0xFF));
        if (shift)
            keyStroke(VK_SHIFT, false);
    }
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

bool waitNudging(const std::function<bool()>& condition, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 250) {
        if (waitUntil(condition, 250))
            return true;
        mouseWheel(0);
    }
    return false;
}

}  // namespace testsupport
