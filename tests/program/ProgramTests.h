#pragma once
// What the program's tests share: one fixture site and the registered Pxhl.dll for the whole test
// program, launches of Pixhaul.exe against them, and points of the main window.
#include <windows.h>

#include <memory>
#include <ostream>
#include <string>

#include "support/FixtureSite.h"
#include "support/ProgramUnderTest.h"

namespace programtest {

// The site started for this test program (null when it could not start: the environment failed).
testsupport::FixtureSite& site();

// Options that point the program at the site; the rest as the harness defaults them.
testsupport::ProgramOptions siteOptions();

// A started program whose main window shows, or null (with a failure added to the test).
std::unique_ptr<testsupport::ProgramUnderTest> launch(testsupport::ProgramOptions options = siteOptions());

// A window's place as the program sets it: left, top, width, height.
struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Bounds& other) const {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};
std::ostream& operator<<(std::ostream& out, const Bounds& bounds);
Bounds boundsOf(HWND window);

// A point of the window, from its top left corner.
POINT windowPoint(HWND window, int x, int y);

// Waits until the window has the expected bounds; true when it came.
bool waitForBounds(HWND window, const Bounds& expected, int timeoutMs = 5000);

// The pointer where it enters no control of the program.
void parkPointer();

// Waits for the program's message box, expects its caption "Pixhaul", saves it as an artifact when
// a name is given, and presses button (IDOK, IDYES ...). The box's text; "" when none came.
std::wstring answerBox(const testsupport::ProgramUnderTest& program, int button,
                       const wchar_t* screenshot = nullptr);

// A visible top-level window of the program with that title, once it shows; null when none did.
HWND waitForWindowTitled(const testsupport::ProgramUnderTest& program, const std::wstring& title,
                         int timeoutMs = 10000);
// A child window (at any depth) whose text is text; null when there is none.
HWND childWithText(HWND parent, const std::wstring& text);
// A real left click. Under Wine the release can wait in the program's queue until more input
// comes: a wheel turn of nothing follows it and lets it through.
void click(POINT screen);
// A real left click in the middle of a window.
void clickCentre(HWND window);

}  // namespace programtest
