// alice's video in the full-size view of Pixhaul.exe: its cover with the big play picture and the
// control bar; under Wine the player has no codec, so play ends in the codec prompt once per round
// of opens, and a view closed mid-round asks nothing later.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "program/MainRoadSupport.h"
#include "program/ViewingGrid.h"
#include "support/OpenedLinks.h"
#include "support/RealInput.h"
#include "support/ScreenCapture.h"

namespace {

using testsupport::ScreenCapture;
using testsupport::waitUntil;

// Three opens 10 s apart, and room for a loaded machine.
constexpr int kRoundMs = 50000;
constexpr COLORREF kBarFill = RGB(0x00, 0x9E, 0xDE);  // the volume bar's filled part

// The video view: a visible window 27 pixels (its control bar) higher than wide.
BOOL CALLBACK findVideoView(HWND child, LPARAM found) {
    RECT r{};
    GetWindowRect(child, &r);
    const bool isView =
        IsWindowVisible(child) && r.right - r.left >= 200 && r.bottom - r.top == r.right - r.left + 27;
    if (isView)
        *reinterpret_cast<HWND*>(found) = child;
    return !isView;
}

// The middle of the cover (inside the 3-pixel frame, above the 30-pixel bar), where the big play
// picture lies.
POINT coverCentre(HWND view) {
    RECT r{};
    GetWindowRect(view, &r);
    return POINT{(r.left + r.right) / 2, (r.top + 3 + r.bottom - 30) / 2};
}

ScreenCapture coverMiddle(HWND view) {
    const POINT c = coverCentre(view);
    return ScreenCapture(RECT{c.x - 40, c.y - 40, c.x + 40, c.y + 40});
}

// The cover's colours, not the black of a view still loading.
bool coverShown(HWND view) {
    const ScreenCapture middle = coverMiddle(view);
    return middle.count(RECT{0, 0, middle.width(), middle.height()}, RGB(0, 0, 0), 16) <
           middle.width() * middle.height() / 2;
}

void answer(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }, 5000));
}

class Video : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.startWithAlice()); }

    // A message box of the program within the time, or null; the main window answers meanwhile.
    HWND waitForBox(int timeoutMs) {
        HWND box = nullptr;
        bool answered = true;
        waitUntil(
            [&] {
                DWORD_PTR result = 0;
                answered = answered && SendMessageTimeoutW(session.program().mainWindow(), WM_NULL, 0, 0,
                                                           SMTO_ABORTIFHUNG, 1000, &result) != 0;
                return (box = session.program().waitForMessageBox(0)) != nullptr;
            },
            timeoutMs);
        EXPECT_TRUE(answered) << "the window did not answer";
        return box;
    }

    // Presses the big play picture and waits for the codec prompt: the box (or null) and how long
    // it took from when the opening animation took the big play picture's place.
    HWND playUntilPrompt(HWND view, int* waitedMs) {
        const ScreenCapture before = coverMiddle(view);
        testsupport::leftClick(coverCentre(view));
        programtest::parkPointer();
        EXPECT_TRUE(waitUntil([&] { return !coverMiddle(view).samePixels(before); }, 5000));
        const auto start = std::chrono::steady_clock::now();
        HWND box = waitForBox(kRoundMs);
        *waitedMs = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                .count());
        return box;
    }

    mainroad::MainRoadSession session;
};

TEST_F(Video, TheCoverShowsWithItsBarAndPlayEndsInTheCodecPromptOncePerRound) {
    testsupport::OpenedLinks links;
    // Item 44, the second tile, opens with a click on its picture.
    const std::vector<viewing::ShownTile> tiles =
        viewing::readGrid(viewing::gridWindow(session.program().mainWindow()));
    ASSERT_GE(tiles.size(), 2u);
    const RECT& tile = tiles[1].photo;
    testsupport::leftClick(POINT{(tile.left + tile.right) / 2, (tile.top + tile.bottom) / 2});
    programtest::parkPointer();
    HWND view = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            return EnumChildWindows(session.program().mainWindow(), findVideoView,
                                    reinterpret_cast<LPARAM>(&view)),
                   view;
        },
        20000))
        << "no video view";
    RECT r{};
    GetWindowRect(view, &r);
    const RECT bar{0, r.bottom - r.top - 30, r.right - r.left, r.bottom - r.top};
    EXPECT_TRUE(waitUntil([&] { return ScreenCapture::ofWindow(view).count(bar, kBarFill, 8) > 0; }, 20000))
        << "no control bar";
    ASSERT_TRUE(waitUntil([&] { return coverShown(view); }, 20000)) << session.site().logText();
    EXPECT_EQ(session.countRequests("/cdn/alice/s/1001_44"), 1u);
    session.saveScreenshot(L"video-cover.png");
    const ScreenCapture cover = coverMiddle(view);

    // No: the cover and its big play picture stay.
    int waited = 0;
    HWND box = playUntilPrompt(view, &waited);
    ASSERT_NE(box, nullptr) << "no codec prompt";
    wchar_t caption[32] = L"";
    GetWindowTextW(box, caption, 32);
    EXPECT_EQ(std::wstring(caption), L"Pixhaul");
    EXPECT_EQ(
        testsupport::ProgramUnderTest::messageBoxText(box),
        L"Windows Media Player needs codec to play Instagram video (MP4 video). You need to download and "
        L"install the required codec for Windows Media Player.\r\nDo you want to download and install the "
        L"required free codec (K-Lite / Basic Pack) now?");
    answer(box, IDNO);
    EXPECT_TRUE(waitUntil([&] { return coverMiddle(view).samePixels(cover); }, 5000));
    EXPECT_TRUE(links.log().empty());

    // Play again: a new round, and Yes opens the codec page on the maker's site.
    box = playUntilPrompt(view, &waited);
    ASSERT_NE(box, nullptr) << "no codec prompt in the second round";
    // Wine's player fetches nothing: the time tells that the address was opened three times, 10 s apart.
    EXPECT_GE(waited, 25000) << "the prompt came before the player was given its three opens";
    answer(box, IDYES);
    EXPECT_EQ(links.waitForLog(), "http://127.0.0.1:" + std::to_string(session.site().makerPort()) +
                                      "/k_lite_codec_pack_download.htm\n");

    // Closed with Escape mid-round, the view asks nothing later.
    testsupport::leftClick(coverCentre(view));
    programtest::parkPointer();
    testsupport::keyStroke(VK_ESCAPE, true);
    testsupport::keyStroke(VK_ESCAPE, false);
    ASSERT_TRUE(waitUntil([&] { return !IsWindowVisible(view); }, 5000));
    EXPECT_EQ(waitForBox(35000), nullptr);  // longer than the round would have lasted
}

}  // namespace
