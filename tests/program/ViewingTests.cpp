// Viewing alice's grid in Pixhaul.exe with real input, read back from the screen: the caption
// search typed into its box, selection by clicks, Shift-clicks, the toolbar and Ctrl+A, and the
// mouse wheel over the grid; wide and tall pictures in the full-size view.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "program/InfoMenu.h"
#include "program/MainRoadSupport.h"
#include "program/ViewingGrid.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"
#include "support/TestSupport.h"

namespace {

using testsupport::keyStroke;
using testsupport::pressKey;
using testsupport::waitNudging;
using viewing::numbersOf;
using viewing::readGrid;
using viewing::selectedNumbers;
using viewing::ShownTile;
using Numbers = std::vector<int>;

// Points of the window: the toolbar's middle, its select-all and select-none buttons, the gap
// after them.
constexpr int kToolbarY = 118;
constexpr int kSelectAllX = 116;
constexpr int kUnselectAllX = 257;
constexpr int kToolbarGapX = 370;
// A point of the top panel left of the logo.
constexpr int kRestX = 20;
constexpr int kRestY = 40;

// alice's items with "sun" or "sea" in their captions, in feed order.
const Numbers kSunAndSea{45, 29, 27, 18, 16, 10};
// With "mountains" too (item 30's video mark hides its number).
const Numbers kSunOrMountains{45, 35, 31, -1, 29, 27, 18, 16, 12, 10, 3};

// What count tiles show from the feed's item first on; videos' marks hide their numbers.
Numbers feedFrom(int first, size_t count) {
    Numbers numbers;
    for (int number = first; numbers.size() < count; --number)
        numbers.push_back(number == 44 || number == 30 ? -1 : number);
    return numbers;
}

POINT centreOf(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class Viewing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.startWithAlice());
        window = session.program().mainWindow();
        grid = viewing::gridWindow(window);
        searchEdit = session.searchEdit();
        ASSERT_TRUE(waitForFeedFrom(45)) << ::testing::PrintToString(numbersOf(readGrid(grid)));
        const std::vector<ShownTile> tiles = readGrid(grid);
        while (columns < tiles.size() && tiles[columns].photo.top == tiles[0].photo.top)
            ++columns;
        ASSERT_LT(columns, tiles.size());
        pitch = tiles[columns].photo.top - tiles[0].photo.top;
    }

    // Waits until the grid's tiles show the feed from this item on.
    bool waitForFeedFrom(int first) {
        return waitNudging([&] {
            const Numbers shown = numbersOf(readGrid(grid));
            return !shown.empty() && shown == feedFrom(first, shown.size());
        });
    }

    // Waits until the grid shows these items in this order: the first ones at the top, the last
    // ones once scrolled to the end.
    bool waitForNumbers(const Numbers& expected) {
        size_t shown = 0;
        const bool top = waitNudging([&] {
            const Numbers now = numbersOf(readGrid(grid));
            shown = now.size();
            return shown <= expected.size() && now == Numbers(expected.begin(), expected.begin() + shown) &&
                   (shown > 0 || expected.empty());
        });
        if (!top || shown == expected.size())
            return top;
        const POINT overGrid = centreOf(firstPhoto());
        for (int i = 0; i < 10; ++i)
            notch(overGrid, -WHEEL_DELTA);
        return waitNudging([&] {
            const Numbers now = numbersOf(readGrid(grid));
            return !now.empty() && now.size() <= expected.size() &&
                   now == Numbers(expected.end() - now.size(), expected.end());
        });
    }

    // The first tile's photo as the screen shows it now; empty while none shows (a tile's picture
    // still on its way from the decoder after a scroll).
    RECT firstPhotoNow() {
        const std::vector<ShownTile> tiles = readGrid(grid);
        return tiles.empty() ? RECT{} : tiles[0].photo;
    }

    // The first tile's photo once the grid shows one.
    RECT firstPhoto() {
        RECT photo{};
        waitNudging([&] {
            photo = firstPhotoNow();
            return !IsRectEmpty(&photo);
        });
        return photo;
    }

    bool waitForFirstPhotoAt(const RECT& expected) {
        return waitNudging([&] {
            const RECT now = firstPhotoNow();
            return EqualRect(&now, &expected) != FALSE;
        });
    }

    // A wheel notch with the pointer at a point; the pointer rests elsewhere afterwards.
    void notch(POINT where, int delta) {
        testsupport::moveMouseTo(where);
        testsupport::mouseWheel(delta);
        session.program().waitForInputIdle();
        rest();
    }

    // The pointer on the top panel, where it hovers nothing: a tile left for outside the window at
    // once may keep its hover look.
    void rest() { testsupport::moveMouseTo(programtest::windowPoint(window, kRestX, kRestY)); }

    bool waitForSelected(const Numbers& expected) {
        rest();
        return waitNudging([&] { return selectedNumbers(readGrid(grid)) == expected; });
    }

    // Clicks the selection mark of the grid's n-th tile (from 1), Shift held when asked; Shift is
    // let go once the screen shows the expected selection.
    bool clickMark(int n, bool shift, const Numbers& expectSelected) {
        const size_t at = static_cast<size_t>(n - 1);
        std::vector<ShownTile> tiles;
        if (!waitNudging([&] { return (tiles = readGrid(grid)).size() > at; }))
            return false;
        const RECT photo = tiles[at].photo;
        const POINT mark{photo.right - 20, photo.bottom - 20};
        const RECT markArea{mark.x - 12, mark.y - 12, mark.x + 12, mark.y + 12};
        // Each step waits until the mark shows that the window took it: the window asks where the
        // pointer is now, so input must not run ahead of it. Over the tile the mark shows, over the
        // mark it lights up, pressed it darkens, let go it shows the new state.
        testsupport::moveMouseTo(centreOf(photo));
        waitNudging([&] {
            tiles = readGrid(grid);
            return tiles.size() > at && tiles[at].selected;
        });
        if (shift && !testsupport::holdModifier(VK_SHIFT, true))
            return false;
        for (const auto& step : std::vector<std::function<void()>>{
                 [&] { testsupport::moveMouseTo(mark); }, [] { testsupport::mouseButton(true, true); },
                 [] { testsupport::mouseButton(true, false); }}) {
            const testsupport::ScreenCapture before(markArea);
            step();
            waitNudging([&] { return !testsupport::ScreenCapture(markArea).samePixels(before); });
        }
        const bool shown = waitForSelected(expectSelected);
        if (shift)
            testsupport::holdModifier(VK_SHIFT, false);
        return shown;
    }

    // The item the full-size view shows (its picture is the largest one in the grid's area); -1
    // while none shows.
    int shownFullSize() {
        int number = -1;
        LONG widest = 0;
        for (const ShownTile& tile : readGrid(grid))
            if (tile.photo.right - tile.photo.left > widest) {
                widest = tile.photo.right - tile.photo.left;
                number = tile.number;
            }
        return widest > pitch ? number : -1;
    }

    void press(WORD key) {
        pressKey(key);
        session.program().waitForInputIdle();
    }

    mainroad::MainRoadSession session;
    HWND window = nullptr;
    HWND grid = nullptr;
    HWND searchEdit = nullptr;
    size_t columns = 0;
    int pitch = 0;  // from one row's top to the next
};

TEST_F(Viewing, TypedSearchesFilterTheGridInFeedOrder) {
    // Enter on the empty box without a filter leaves the grid where it was scrolled to.
    notch(centreOf(firstPhoto()), -WHEEL_DELTA);
    ASSERT_TRUE(waitForFeedFrom(45 - static_cast<int>(columns)));
    const Numbers scrolled = numbersOf(readGrid(grid));
    const RECT scrolledFirst = firstPhoto();
    session.typeSearch(L"");
    session.program().waitForInputIdle();
    EXPECT_TRUE(waitForFirstPhotoAt(scrolledFirst));
    EXPECT_EQ(numbersOf(readGrid(grid)), scrolled);

    session.typeSearch(L"Sun, SEA!");
    EXPECT_TRUE(waitForNumbers(kSunAndSea)) << ::testing::PrintToString(numbersOf(readGrid(grid)));
    session.saveScreenshot(L"viewing-search.png");
    session.typeSearch(L"SUN");
    EXPECT_TRUE(waitForNumbers(kSunAndSea));
    session.typeSearch(L"CAF\u00C9");
    EXPECT_TRUE(waitForNumbers(kSunAndSea));
    session.typeSearch(L"cafe");
    EXPECT_TRUE(waitForNumbers({}));
    session.typeSearch(L"sun mountains");
    EXPECT_TRUE(waitForNumbers(kSunOrMountains)) << ::testing::PrintToString(numbersOf(readGrid(grid)));
    // No caption holds both words.
    ASSERT_TRUE(
        programtest::chooseInfoMenuItem(session.program(), true, programtest::InfoItem::AllWordsMustMatch));
    EXPECT_TRUE(waitForNumbers({}));
    ASSERT_TRUE(
        programtest::chooseInfoMenuItem(session.program(), true, programtest::InfoItem::AnyWordMatches));

    // A long pasted query: the window still answers and the grid shows its result.
    std::wstring longQuery;
    while (longQuery.size() < 5000)
        longQuery += L"sea, ";
    session.typeSearch(longQuery, true);
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
    EXPECT_TRUE(waitForNumbers(kSunAndSea));

    // Blanks clear the filter, and the box shows its grey hint again.
    session.typeSearch(L"   ");
    EXPECT_TRUE(waitForFeedFrom(45)) << ::testing::PrintToString(numbersOf(readGrid(grid)));
    EXPECT_TRUE(waitNudging([&] { return session.textOf(searchEdit) == L"Search..."; }));
    RECT box{};
    GetWindowRect(searchEdit, &box);
    const testsupport::ScreenCapture hint(box);
    const RECT all{0, 0, hint.width(), hint.height()};
    EXPECT_GT(hint.count(all, RGB(0x82, 0x7C, 0x7C), 8), 0);
    EXPECT_EQ(hint.count(all, RGB(0x35, 0x33, 0x30), 8), 0);
}

TEST_F(Viewing, ClicksShiftClicksCtrlAAndTheWheelSelectAndScroll) {
    ASSERT_TRUE(clickMark(3, false, {43}));
    ASSERT_TRUE(clickMark(7, true, {43, 42, 41, 40, 39}));
    // The next range runs from the last clicked item: 5 unselects itself, 6 and 7.
    ASSERT_TRUE(clickMark(5, true, {43, 42}));
    // After select none no anchor is left: a Shift-click marks only its own tile, and anchors.
    testsupport::leftClick(programtest::windowPoint(window, kUnselectAllX, kToolbarY));
    ASSERT_TRUE(waitForSelected({}));
    ASSERT_TRUE(clickMark(6, true, {40}));
    ASSERT_TRUE(clickMark(8, true, {40, 39, 38}));
    testsupport::leftClick(programtest::windowPoint(window, kSelectAllX, kToolbarY));
    ASSERT_TRUE(waitForSelected(numbersOf(readGrid(grid))));
    testsupport::leftClick(programtest::windowPoint(window, kUnselectAllX, kToolbarY));
    ASSERT_TRUE(waitForSelected({}));

    // Ctrl+A selects nothing while an edit has the focus, everything from the top panel.
    auto pressCtrlA = [&] {
        keyStroke(VK_CONTROL, true);
        pressKey('A');
        keyStroke(VK_CONTROL, false);
        session.program().waitForInputIdle();
    };
    session.replaceText(searchEdit, L"sun");
    pressCtrlA();
    session.typeUserName(L"alice", false);
    pressCtrlA();
    EXPECT_TRUE(waitForSelected({}));
    // So does a press on the toolbar, the grid's background or the bottom panel: the search box's
    // hint comes back, and Ctrl+A is the window's again.
    RECT gridArea{};
    GetWindowRect(grid, &gridArea);
    RECT frame{};
    GetWindowRect(window, &frame);
    for (const POINT at : {programtest::windowPoint(window, kToolbarGapX, kToolbarY),
                           POINT{gridArea.left + 2, (gridArea.top + gridArea.bottom) / 2},
                           POINT{frame.left + 20, frame.bottom - 20}}) {
        session.replaceText(searchEdit, L"sun");
        testsupport::leftClick(at);
        EXPECT_TRUE(waitNudging([&] { return session.textOf(searchEdit) == L"Search..."; }))
            << at.x << " " << at.y;
    }
    pressCtrlA();
    EXPECT_TRUE(waitForSelected(numbersOf(readGrid(grid))));
    testsupport::leftClick(programtest::windowPoint(window, kRestX, kRestY));
    pressCtrlA();
    const Numbers shown = numbersOf(readGrid(grid));
    EXPECT_TRUE(waitForSelected(shown));

    // The wheel over the grid moves it a step per notch, up to its end and no further.
    RECT area{};
    GetClientRect(grid, &area);
    const int step = (area.bottom * 9 / 10) / 10;
    const RECT first = firstPhoto();
    const POINT overGrid = centreOf(first);
    notch(overGrid, -WHEEL_DELTA);
    // The first row went up by the step: the second row's top tells.
    EXPECT_TRUE(waitNudging([&] {
        const std::vector<ShownTile> tiles = readGrid(grid);
        return !tiles.empty() && tiles[0].photo.top == first.top + pitch - step &&
               tiles[0].number == 45 - static_cast<int>(columns);
    }));
    notch(overGrid, WHEEL_DELTA);
    EXPECT_TRUE(waitForFirstPhotoAt(first));
    // Over the toolbar the wheel does nothing.
    notch(programtest::windowPoint(window, kToolbarGapX, kToolbarY), -WHEEL_DELTA);
    EXPECT_TRUE(waitForFirstPhotoAt(first));
    // Nor while the full-size view is open.
    testsupport::leftClick(overGrid);
    EXPECT_TRUE(waitNudging([&] { return shownFullSize() == 45; }));
    notch(overGrid, -WHEEL_DELTA);
    press(VK_ESCAPE);
    EXPECT_TRUE(waitNudging([&] { return shownFullSize() == -1; }));
    EXPECT_TRUE(waitForFirstPhotoAt(first));

    // Enough notches to pass the end.
    const int rows = static_cast<int>((45 + columns - 1) / columns);
    for (int i = 0; i < rows * pitch / step + 2; ++i)
        notch(overGrid, -WHEEL_DELTA);
    RECT gridRect{};
    GetWindowRect(grid, &gridRect);
    // At the end the last row rests a margin above the grid's bottom; all its photos selected.
    EXPECT_TRUE(waitNudging([&] {
        const std::vector<ShownTile> tiles = readGrid(grid);
        return !tiles.empty() && tiles.back().number == 1 &&
               tiles.back().photo.bottom == gridRect.top + area.bottom - 41;
    }));
    const std::vector<ShownTile> last = readGrid(grid);
    EXPECT_EQ(selectedNumbers(last), numbersOf(last));
    session.saveScreenshot(L"viewing-selected-end.png");
}

TEST_F(Viewing, KeysStepThroughASearchInTheView) {
    session.typeSearch(L"Sun, SEA!");
    ASSERT_TRUE(waitForNumbers(kSunAndSea));
    testsupport::leftClick(centreOf(firstPhoto()));
    ASSERT_TRUE(waitNudging([&] { return shownFullSize() == 45; }));
    rest();
    // The arrows step through the search's items only.
    press(VK_RIGHT);
    EXPECT_TRUE(waitNudging([&] { return shownFullSize() == 29; }));
    press(VK_RIGHT);
    EXPECT_TRUE(waitNudging([&] { return shownFullSize() == 27; }));
    press(VK_LEFT);
    EXPECT_TRUE(waitNudging([&] { return shownFullSize() == 29; }));

    // Under a message box (Download with nothing selected) the keys are the box's.
    RECT frame{};
    GetWindowRect(window, &frame);
    testsupport::leftClick({(frame.left + frame.right) / 2 - 201, frame.bottom - 46});
    HWND box = session.program().waitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_NE(testsupport::ProgramUnderTest::messageBoxText(box).find(L"Please select"), std::wstring::npos);
    // Enter closes the box: the arrow before it reaches the box first, however late Wine delivers it.
    press(VK_RIGHT);
    press(VK_RETURN);
    EXPECT_TRUE(waitNudging([&] { return !IsWindowVisible(box); }));
    EXPECT_TRUE(waitNudging([&] { return shownFullSize() == 29; }));

    // Space marks the item shown, in the view and on its tile; Escape closes the view.
    press(VK_SPACE);
    press(VK_ESCAPE);
    EXPECT_TRUE(
        waitNudging([&] { return shownFullSize() == -1 && selectedNumbers(readGrid(grid)) == Numbers{29}; }));
}

// The full-size view shows a wide and a tall picture whole, with their proportions.
TEST(ViewingShapes, WideAndTallPicturesKeepTheirProportions) {
    mainroad::MainRoadSession session;
    ASSERT_TRUE(session.start());
    session.typeUserName(L"shapes");
    ASSERT_TRUE(session.waitForUserNameText(L"shapes", 60000) && session.waitForThumbnailCount(2, 10000));
    const HWND grid = viewing::gridWindow(session.program().mainWindow());
    std::vector<ShownTile> tiles;
    ASSERT_TRUE(waitNudging([&] { return (tiles = readGrid(grid)).size() == 2; }));
    const LONG tileSide = tiles[0].photo.right - tiles[0].photo.left;
    testsupport::leftClick(centreOf(tiles[0].photo));
    // 960 x 540, then (the right arrow) 540 x 960.
    for (const bool wide : {true, false}) {
        RECT drawn{};
        // The view's picture is larger than a tile; measured from a point clear of its number
        // and its selection mark.
        const auto shape = [&] {
            for (const ShownTile& tile : readGrid(grid)) {
                const LONG width = tile.photo.right - tile.photo.left,
                           height = tile.photo.bottom - tile.photo.top;
                if (std::max(width, height) > 3 * tileSide / 2) {
                    drawn = viewing::pictureAround(
                        grid, POINT{tile.photo.left + width / 4, tile.photo.top + height / 4});
                    return (drawn.right - drawn.left < drawn.bottom - drawn.top) != wide;
                }
            }
            return false;
        };
        const bool shown = waitNudging(shape);
        session.saveScreenshot(wide ? L"viewing-wide.png" : L"viewing-tall.png");
        ASSERT_TRUE(shown) << wide;
        const double ratio = static_cast<double>(drawn.right - drawn.left) / (drawn.bottom - drawn.top);
        EXPECT_NEAR(ratio / (wide ? 960.0 / 540 : 540.0 / 960), 1.0, 0.03) << wide;
        testsupport::moveMouseTo(programtest::windowPoint(session.program().mainWindow(), kRestX, kRestY));
        pressKey(VK_RIGHT);
    }
}

}  // namespace
