#include "program/InfoMenu.h"

#include "mainwindow/FormLayout.h"
#include "program/ProgramTests.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

namespace programtest {
namespace {

namespace L = formlayout;

void pressKey(WORD key) {
    testsupport::keyStroke(key, true);
    testsupport::keyStroke(key, false);
}

// The visible menu windows of the program, oldest (the info menu) first.
std::vector<HWND> menuWindows(const testsupport::ProgramUnderTest& program) {
    std::vector<HWND> menus;
    for (const auto& [window, className] : testsupport::visibleWindowsOf(program.processId()))
        if (className == L"#32768")
            menus.insert(menus.begin(), window);
    return menus;
}

// The rows of the menu window painted in the highlight colour: top and bottom (excluded); -1 when none.
std::pair<int, int> highlightedRows(const testsupport::ScreenCapture& shot) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    int top = -1, bottom = -1;
    for (int y = 0; y < shot.height(); ++y) {
        if (shot.at(shot.width() / 2, y) == highlight) {
            if (top < 0)
                top = y;
            bottom = y + 1;
        }
    }
    return {top, bottom};
}

// Waits until the highlight stands on a row other than the last one read, and reads whether that
// row shows a mark left of its text; -1 when no new highlighted row showed.
int highlightedRowChecked(HWND menu, int& lastTop) {
    std::pair<int, int> rows{-1, -1};
    testsupport::ScreenCapture shot(RECT{});
    testsupport::waitUntil(
        [&] {
            shot = testsupport::ScreenCapture::ofWindow(menu);
            rows = highlightedRows(shot);
            return rows.first >= 0 && rows.first != lastTop;
        },
        3000);
    if (rows.first < 0 || rows.first == lastTop)
        return -1;
    lastTop = rows.first;
    // The mark stands between the menu's 3-pixel edge and its text.
    const RECT markColumn{3, rows.first, 3 + GetSystemMetrics(SM_CXMENUCHECK), rows.second};
    return shot.count(markColumn, GetSysColor(COLOR_HIGHLIGHTTEXT), 0) > 0 ? 1 : 0;
}

bool openOverlayLevels(const testsupport::ProgramUnderTest& program) {
    pressKey(VK_RIGHT);
    return testsupport::waitUntil([&] { return menuWindows(program).size() == 2; }, 3000);
}

}  // namespace

HWND openInfoMenu(const testsupport::ProgramUnderTest& program, bool userShown) {
    RECT client{};
    GetClientRect(program.mainWindow(), &client);
    POINT origin{0, 0};
    ClientToScreen(program.mainWindow(), &origin);
    const int bottomTop = origin.y + client.bottom - L::kFrame - L::kBottomPanelHeight;
    const int innerWidth = client.right - 2 * L::kFrame;
    POINT button{};
    if (userShown)
        button = POINT{origin.x + L::kFrame + innerWidth - L::kInfoButtonRightSpace - L::kInfoButtonSize / 2,
                       bottomTop + L::kInfoButtonTop + L::kInfoButtonSize / 2};
    else
        button = POINT{origin.x + L::kFrame + innerWidth / 2, bottomTop + L::kBottomPanelHeight / 2};
    // Right after a modal window closed the main window may not be active yet, and a click may then
    // only activate it: wait for it, and click until the menu opens.
    testsupport::waitUntil([&] { return GetForegroundWindow() == program.mainWindow(); }, 3000);
    for (int attempt = 0; attempt < 3; ++attempt) {
        programtest::click(button);
        // Open once it shows its items.
        if (testsupport::waitUntil(
                [&] {
                    const std::vector<HWND> menus = menuWindows(program);
                    return !menus.empty() &&
                           testsupport::ScreenCapture::ofWindow(menus.front()).distinctColours() > 2;
                },
                3000))
            return menuWindows(program).front();
    }
    return nullptr;
}

bool chooseInfoMenuItem(const testsupport::ProgramUnderTest& program, bool userShown, InfoItem item,
                        int overlayLevel) {
    // A menu that an activation closed before the choice is opened again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!openInfoMenu(program, userShown))
            return false;
        for (int i = 0; i <= static_cast<int>(item); ++i)
            pressKey(VK_DOWN);
        if (item == InfoItem::SlideshowOverlay) {
            // Opening the levels highlights the first one.
            openOverlayLevels(program);
            for (int i = 0; i < overlayLevel; ++i)
                pressKey(VK_DOWN);
        }
        program.waitForInputIdle();
        if (menuWindows(program).empty())
            continue;
        pressKey(VK_RETURN);
        return testsupport::waitUntil([&] { return menuWindows(program).empty(); }, 5000);
    }
    return false;
}

namespace {

// One reading of the open menu's marks; false when a row could not be read.
bool readMarks(const testsupport::ProgramUnderTest& program, HWND menu, std::vector<bool>& checks) {
    std::vector<bool> levels;
    int lastTop = -1;
    for (int i = 0; i < kInfoItemCount; ++i) {
        pressKey(VK_DOWN);
        const int mark = highlightedRowChecked(menu, lastTop);
        if (mark < 0)
            return false;
        checks.push_back(mark == 1);
        if (i != static_cast<int>(InfoItem::SlideshowOverlay))
            continue;
        if (!openOverlayLevels(program))
            return false;
        // Opening the levels highlights the first one.
        const HWND submenu = menuWindows(program).back();
        int levelTop = -1;
        for (int level = 0; level < kOverlayLevelCount; ++level) {
            if (level > 0)
                pressKey(VK_DOWN);
            const int levelMark = highlightedRowChecked(submenu, levelTop);
            if (levelMark < 0)
                return false;
            levels.push_back(levelMark == 1);
        }
        pressKey(VK_LEFT);
        testsupport::waitUntil([&] { return menuWindows(program).size() == 1; }, 3000);
    }
    checks.insert(checks.end(), levels.begin(), levels.end());
    return true;
}

}  // namespace

std::vector<bool> infoMenuChecks(const testsupport::ProgramUnderTest& program, bool userShown) {
    // Under Wine a menu opened in the first moments after the start can end up below the main
    // window, where its rows cannot be read: it is then closed and read again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const HWND menu = openInfoMenu(program, userShown);
        if (!menu)
            return {};
        std::vector<bool> checks;
        const bool read = readMarks(program, menu, checks);
        for (int level = 0; level < 2 && !menuWindows(program).empty(); ++level) {
            pressKey(VK_ESCAPE);
            testsupport::waitUntil([&] { return menuWindows(program).empty(); }, 1000);
        }
        if (read)
            return checks;
    }
    return {};
}

}  // namespace programtest
