// The animated picture: splitting GIF resources into frames and delays, playing them on the
// control's timer straight onto the parent's window, single pictures standing still, and what
// loading, hiding, stopping and transparency do to a running animation.
#include "ControlsTestSupport.h"
#include "controls/AnimatedGif.h"
#include "controls/GifFrames.h"
#include "gui/Form.h"
#include "gui/Timer.h"
#include "resources/SkinIds.h"

#include <gtest/gtest.h>
#include <memory>

using controls::AnimatedGif;
using controlstest::Pump;
using controlstest::PumpUntil;

namespace {

// The test GIFs (8 x 8, every frame one colour).
constexpr int kThreeFrames = 20101;  // red 10, green 20, blue 30 hundredths
constexpr int kFiveFrames = 20102;
constexpr int kStill = 20103;      // yellow, no delays
constexpr int kZeroDelay = 20104;  // red 10, green 0, blue 10
constexpr int kHalfClear = 20105;  // left half clear; right half red, then green
constexpr int kMissing = 20199;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kFormColor = RGB(20, 60, 140);

class AnimatedGifTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<gui::TForm>(nullptr);
        form->SetBorderStyle(gui::bsNone);
        form->SetColor(static_cast<gui::TColor>(kFormColor));
        form->SetBounds(120, 120, 120, 80);
        gif = new AnimatedGif(form.get());
        gif->SetBounds(20, 20, 16, 16);
        gif->SetParent(form.get());
        form->Show();
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Pump(30);
    }
    void TearDown() override { form.reset(); }

    // A pixel of the form's window, in its client coordinates.
    COLORREF pixel(int x, int y) const {
        HDC dc = GetDC(form->Handle());
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(form->Handle(), dc);
        return color;
    }
    // The middle of the control, as on the screen now.
    COLORREF shown() const { return pixel(gif->Left() + 8, gif->Top() + 8); }
    bool waitForShown(COLORREF color) {
        return PumpUntil([&] { return shown() == color; });
    }
    // Loads, lets the form paint the first frame, and plays.
    void loadAndPlay(int id) {
        gif->setAnimatedGifResourceId(id);
        form->Update();
        gif->Play();
    }
    void tick() { gif->Timer()->OnTimer()(gif->Timer()); }

    std::unique_ptr<gui::TForm> form;
    AnimatedGif* gif = nullptr;
};

COLORREF colorOf(Gdiplus::Bitmap* frame, int x, int y) {
    Gdiplus::Color color;
    frame->GetPixel(x, y, &color);
    return RGB(color.GetR(), color.GetG(), color.GetB());
}

}  // namespace

TEST(GifFrameDelays, HundredthsBecomeMillisecondsAndMissingOnesRest) {
    EXPECT_EQ(controls::FrameDelays({10, 20, 30}, 3), (std::vector<unsigned>{100, 200, 300}));
    EXPECT_EQ(controls::FrameDelays({}, 1), (std::vector<unsigned>{0}));
    EXPECT_EQ(controls::FrameDelays({7}, 3), (std::vector<unsigned>{70, 0, 0}));
    EXPECT_EQ(controls::FrameDelays({1, 2, 3}, 2), (std::vector<unsigned>{10, 20}));
    EXPECT_EQ(controls::FrameDelays({0xFFFFFFFFu}, 1), (std::vector<unsigned>{0xFFFFFFFFu}));
}

TEST_F(AnimatedGifTest, LoadingSplitsTheGifIntoArgbFramesWithTheirDelays) {
    EXPECT_EQ(gif->Width(), 16);
    gif->setAnimatedGifResourceId(kThreeFrames);
    ASSERT_EQ(gif->FrameCount(), 3);
    EXPECT_EQ(gif->Delays(), (std::vector<unsigned>{100, 200, 300}));
    EXPECT_EQ(gif->BitmapWidth(), 8);
    EXPECT_EQ(gif->BitmapHeight(), 8);
    const COLORREF colors[] = {kRed, kGreen, kBlue};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gif->Frame(i)->GetPixelFormat(), PixelFormat32bppARGB) << i;
        EXPECT_EQ(colorOf(gif->Frame(i), 4, 4), colors[i]) << i;
    }
    EXPECT_TRUE(gif->Stopped());
    EXPECT_FALSE(gif->Timer()->Enabled());

    // A missing resource keeps what was loaded.
    gif->setAnimatedGifResourceId(kMissing);
    EXPECT_EQ(gif->FrameCount(), 3);
    EXPECT_EQ(gif->Delays(), (std::vector<unsigned>{100, 200, 300}));

    // With AutoSize the control takes the first frame's size.
    gif->setAutoSize(true);
    EXPECT_EQ(gif->Width(), 8);
    EXPECT_EQ(gif->Height(), 8);
}

TEST_F(AnimatedGifTest, PlaysEachFrameForItsDelayOnItsTimer) {
    loadAndPlay(kThreeFrames);
    EXPECT_FALSE(gif->Stopped());
    EXPECT_EQ(gif->CurrentFrame(), 0);
    EXPECT_TRUE(gif->Timer()->Enabled());
    EXPECT_EQ(gif->Timer()->Interval(), 100u);
    EXPECT_TRUE(waitForShown(kRed));

    // The real timer moves it on: each frame is drawn and stays for its own delay.
    const struct {
        int frame;
        unsigned interval;
        COLORREF color;
    } expected[] = {{1, 200, kGreen}, {2, 300, kBlue}, {0, 100, kRed}, {1, 200, kGreen}};
    for (const auto& step : expected) {
        ASSERT_TRUE(PumpUntil([&] { return gif->CurrentFrame() == step.frame; }, 3000)) << step.frame;
        EXPECT_EQ(gif->Timer()->Interval(), step.interval) << step.frame;
        EXPECT_TRUE(gif->Timer()->Enabled());
        EXPECT_EQ(shown(), step.color) << "frame " << step.frame << " is drawn on the parent";
    }
    gif->Stop();
    EXPECT_TRUE(gif->Stopped());
    EXPECT_FALSE(gif->Timer()->Enabled());
}

TEST_F(AnimatedGifTest, SingleFrameGifStandsStill) {
    loadAndPlay(kStill);
    ASSERT_EQ(gif->FrameCount(), 1);
    EXPECT_EQ(gif->Delays(), (std::vector<unsigned>{0}));
    EXPECT_FALSE(gif->Timer()->Enabled());
    EXPECT_TRUE(waitForShown(kYellow));
    Pump(250);
    EXPECT_EQ(gif->CurrentFrame(), 0);
    EXPECT_EQ(shown(), kYellow);
}

TEST_F(AnimatedGifTest, PlayWithoutFramesOrWhileHiddenStaysStopped) {
    gif->Play();
    EXPECT_TRUE(gif->Stopped());
    EXPECT_FALSE(gif->Timer()->Enabled());

    gif->setAnimatedGifResourceId(kThreeFrames);
    gif->Hide();
    gif->Play();
    EXPECT_TRUE(gif->Stopped());
    EXPECT_FALSE(gif->Timer()->Enabled());

    gif->Show();
    form->Hide();
    gif->Play();
    EXPECT_TRUE(gif->Stopped());
    EXPECT_FALSE(gif->Timer()->Enabled());
}

TEST_F(AnimatedGifTest, HidingTheParentEndsTheAnimationAtTheNextTick) {
    loadAndPlay(kThreeFrames);
    form->Hide();
    tick();
    EXPECT_TRUE(gif->Stopped());
    EXPECT_FALSE(gif->Timer()->Enabled());
    EXPECT_EQ(gif->CurrentFrame(), 0);
    // Showing again does not restart it; Play does.
    form->Show();
    tick();
    EXPECT_TRUE(gif->Stopped());
    gif->Play();
    EXPECT_FALSE(gif->Stopped());
}

TEST_F(AnimatedGifTest, NewPictureStartsAtItsFirstFrame) {
    loadAndPlay(kFiveFrames);
    for (int i = 0; i < 4; ++i)
        tick();
    ASSERT_EQ(gif->CurrentFrame(), 4);
    // Three frames now: frame 4 would lie beyond them.
    gif->setAnimatedGifResourceId(kThreeFrames);
    EXPECT_EQ(gif->CurrentFrame(), 0);
    EXPECT_TRUE(gif->Stopped());
    form->Update();
    EXPECT_TRUE(waitForShown(kRed));
}

TEST_F(AnimatedGifTest, FrameWithoutDelayEndsTheAnimationThere) {
    loadAndPlay(kZeroDelay);
    EXPECT_EQ(gif->Delays(), (std::vector<unsigned>{100, 0, 100}));
    tick();
    EXPECT_EQ(gif->CurrentFrame(), 1);
    EXPECT_EQ(gif->Timer()->Interval(), 0u);
    Pump(300);
    EXPECT_EQ(gif->CurrentFrame(), 1);
    EXPECT_EQ(shown(), kGreen);
}

TEST_F(AnimatedGifTest, PlayAfterStopShowsTheFirstFrameAgain) {
    loadAndPlay(kThreeFrames);
    tick();
    EXPECT_TRUE(waitForShown(kGreen));
    gif->Stop();
    // Stopping forgets what lay under the control; playing has it painted again.
    gif->Play();
    EXPECT_TRUE(waitForShown(kRed));
    tick();
    EXPECT_TRUE(waitForShown(kGreen));
}

TEST_F(AnimatedGifTest, TransparentFramesShowTheParentThroughTheirClearPixels) {
    gif->setTransparent(true);
    EXPECT_EQ(gif->ControlStyle() & gui::csOpaque, 0u);
    loadAndPlay(kHalfClear);
    const int left = gif->Left() + 3;
    const int right = gif->Left() + 12;
    const int y = gif->Top() + 8;
    EXPECT_TRUE(PumpUntil([&] { return pixel(right, y) == kRed; }));
    EXPECT_EQ(pixel(left, y), kFormColor);
    tick();
    EXPECT_TRUE(PumpUntil([&] { return pixel(right, y) == kGreen; }));
    EXPECT_EQ(pixel(left, y), kFormColor) << "the frame is laid over what lay under the control";

    gif->setTransparent(false);
    EXPECT_NE(gif->ControlStyle() & gui::csOpaque, 0u);
}

TEST_F(AnimatedGifTest, BusyAnimationsOfTheSkinLoad) {
    for (int id : {skin::loadingBig, skin::loadingSmall}) {
        gif->setAnimatedGifResourceId(id);
        EXPECT_GT(gif->FrameCount(), 1) << id;
        EXPECT_EQ(gif->BitmapWidth(), 32) << id;
        ASSERT_EQ(gif->Delays().size(), static_cast<size_t>(gif->FrameCount()));
        for (unsigned delay : gif->Delays())
            EXPECT_GT(delay, 0u) << id;
    }
}
