// The borderless frame under real input (SendInput, the only input the program's mouse hook sees):
// the top panel moves the window, the edges and corners resize it down to its minimum width,
// a double click and the maximise button toggle the work-area size, and every drag after an
// unhook still works. One program serves the whole suite; each test starts from the start bounds.
#include <gtest/gtest.h>

#include <algorithm>

#include "ProgramTests.h"
#include "mainwindow/FormLayout.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"

namespace {

using programtest::Bounds;
using programtest::boundsOf;
using programtest::windowPoint;
namespace L = formlayout;

const Bounds kStart{69, 80, 1143, 865};
// The work area under Wine on Xvfb: a 1-px auto-hidden taskbar along the bottom stays free.
const Bounds kMaximised{0, 0, 1280, 1023};

class Frame : public ::testing::Test {
protected:
    static void SetUpTestSuite() { program_ = programtest::launch().release(); }
    static void TearDownTestSuite() {
        delete program_;
        program_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(program_ && program_->running()) << "the program is not running";
        window_ = program_->mainWindow();
        programtest::parkPointer();
        if (!(boundsOf(window_) == kStart)) {
            SetWindowPos(window_, nullptr, kStart.left, kStart.top, kStart.width, kStart.height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            ASSERT_TRUE(programtest::waitForBounds(window_, kStart)) << boundsOf(window_);
        }
    }

    // A drag from a point of the window (relative to its top left corner) by (dx, dy); after each
    // step the window is expected at expectedAt(distance so far). Its result: whether the window
    // ended where expected.
    template <class Expected>
    bool drag(int x, int y, int dx, int dy, Expected expectedAt) {
        const POINT from = windowPoint(window_, x, y);
        program_->drag(from, POINT{from.x + dx, from.y + dy},
                       [&](int sx, int sy) { return boundsOf(window_) == expectedAt(sx, sy); });
        return waitFor(expectedAt(dx, dy));
    }
    // A drag that moves the window with the pointer.
    bool move(POINT at, int dx, int dy) {
        const Bounds start = boundsOf(window_);
        return drag(at.x, at.y, dx, dy, [&](int sx, int sy) {
            return Bounds{start.left + sx, start.top + sy, start.width, start.height};
        });
    }
    // A point of the top panel clear of the logo, the user-name box and the buttons.
    POINT topPanelSpot() const {
        return POINT{boundsOf(window_).width / 2, L::kFrame + L::kTopPanelHeight - 10};
    }
    void doubleClickTopPanel() {
        const POINT at = topPanelSpot();
        testsupport::leftClick(windowPoint(window_, at.x, at.y));
        testsupport::leftClick(windowPoint(window_, at.x, at.y));
    }
    void clickMaximiseButton() {
        const int right = boundsOf(window_).width - 2 * L::kFrame;  // the top panel's width
        const POINT at{L::kFrame + right - L::kMaximizeFromRight + L::kWindowButtonWidth / 2,
                       L::kFrame + L::kWindowButtonHeight / 2};
        testsupport::leftClick(windowPoint(window_, at.x, at.y));
        programtest::parkPointer();
    }
    bool waitFor(const Bounds& expected) { return programtest::waitForBounds(window_, expected); }

    static testsupport::ProgramUnderTest* program_;
    HWND window_ = nullptr;
};

testsupport::ProgramUnderTest* Frame::program_ = nullptr;

TEST_F(Frame, DraggingTheTopPanelMovesTheWindowExactly) {
    const POINT at = topPanelSpot();
    EXPECT_TRUE(move(at, 50, 30)) << boundsOf(window_);
    // The hook went with the release: a second drag starts afresh.
    EXPECT_TRUE(move(at, -20, 10)) << boundsOf(window_);
    EXPECT_EQ(boundsOf(window_), (Bounds{kStart.left + 30, kStart.top + 40, kStart.width, kStart.height}));
}

// The drags pull the edges inwards: the pointer stays over the window, as it does for a person
// whose window keeps up (moves outside it reach the program late under Wine).
TEST_F(Frame, EdgesAndACornerResize) {
    const Bounds s = kStart;
    EXPECT_TRUE(drag(s.width - 2, s.height / 2, -40, 0,
                     [&](int dx, int) {
                         return Bounds{s.left, s.top, s.width + dx, s.height};
                     }))
        << "right edge " << boundsOf(window_);
    EXPECT_TRUE(drag(s.width / 2, s.height - 2, 0, -30,
                     [&](int, int dy) {
                         return Bounds{s.left, s.top, s.width - 40, s.height + dy};
                     }))
        << "bottom edge " << boundsOf(window_);
    // The top-left corner: the bottom-right corner stays.
    EXPECT_TRUE(drag(1, 1, 20, 30,
                     [&](int dx, int dy) {
                         return Bounds{s.left + dx, s.top + dy, s.width - 40 - dx, s.height - 30 - dy};
                     }))
        << "top-left corner " << boundsOf(window_);
}

TEST_F(Frame, TheLeftEdgeStopsAtTheMinimumWidthWithTheRightEdgeFixed) {
    const Bounds s = kStart;
    const int right = s.left + s.width;
    EXPECT_TRUE(drag(1, s.height / 2, 300, 0, [&](int dx, int) {
        const int width = std::max(s.width - dx, static_cast<int>(L::kMinWidth));
        return Bounds{right - width, s.top, width, s.height};
    })) << boundsOf(window_);
    EXPECT_EQ(boundsOf(window_), (Bounds{right - L::kMinWidth, s.top, L::kMinWidth, s.height}));
}

TEST_F(Frame, ADoubleClickOnTheTopPanelTogglesTheWorkAreaAndTheMaximisedWindowStaysPut) {
    doubleClickTopPanel();
    ASSERT_TRUE(waitFor(kMaximised)) << boundsOf(window_);

    // A drag of the maximised window; then the pointer rests on the close button, whose face
    // changes once the program has handled every move before it.
    const POINT at = topPanelSpot();
    const POINT close{kMaximised.width - L::kCloseFromRight + L::kWindowButtonWidth / 2,
                      L::kWindowButtonHeight / 2};
    const RECT face{close.x - 4, close.y - 4, close.x + 4, close.y + 4};
    const testsupport::ScreenCapture before(face);
    drag(at.x, at.y, 50, 30, [](int, int) { return kMaximised; });
    testsupport::moveMouseTo(close);
    EXPECT_TRUE(
        testsupport::waitUntil([&] { return !testsupport::ScreenCapture(face).samePixels(before); }, 5000))
        << "the close button did not show the pointer over it";
    EXPECT_EQ(boundsOf(window_), kMaximised);

    doubleClickTopPanel();
    EXPECT_TRUE(waitFor(kStart)) << boundsOf(window_);
    // The double click unhooked: the next drag moves the window.
    EXPECT_TRUE(move(at, 50, 30)) << boundsOf(window_);
}

TEST_F(Frame, TheMaximiseButtonTogglesTheWorkAreaAndADragStillWorksAfterIt) {
    clickMaximiseButton();
    ASSERT_TRUE(waitFor(kMaximised)) << boundsOf(window_);
    EXPECT_TRUE(testsupport::ScreenCapture::ofWindow(window_).saveArtifact(L"maximised.png"));
    clickMaximiseButton();
    EXPECT_TRUE(waitFor(kStart)) << boundsOf(window_);
    EXPECT_TRUE(move(topPanelSpot(), 50, 30)) << boundsOf(window_);
}

}  // namespace
