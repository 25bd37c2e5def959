// The progress pie: its properties and the pixels of the ring, the disc, the line and the slice.
#include "ControlsTestSupport.h"
#include "controls/ProgressPie.h"

#include <gtest/gtest.h>
#include <limits>
#include <memory>

using controls::TProgressPie;
using controlstest::closeTo;
using controlstest::PaintedPixels;

namespace {

constexpr COLORREF kBackground = RGB(40, 40, 40);
constexpr COLORREF kAccent = 0xEFAE00;
constexpr COLORREF kRemaining = 0xFFFFFF;
constexpr int kTolerance = 24;

class ProgressPieTest : public ::testing::Test {
protected:
    void SetUp() override {
        pie = std::make_unique<TProgressPie>(nullptr);
        pie->FSetProgressColor(kAccent);
        pie->SetBounds(0, 0, 41, 41);
    }
    std::unique_ptr<PaintedPixels> painted() {
        auto pixels = std::make_unique<PaintedPixels>(pie->Width(), pie->Height(), kBackground);
        controlstest::paintControl(pie.get(), *pixels);
        return pixels;
    }

    std::unique_ptr<TProgressPie> pie;
};

}  // namespace

TEST_F(ProgressPieTest, DefaultsAndClampedProgress) {
    TProgressPie fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 25);
    EXPECT_EQ(fresh.Height(), 25);
    EXPECT_EQ(fresh.Progress(), 0.0f);
    EXPECT_EQ(fresh.ProgressColor(), 0xFF0000);
    EXPECT_EQ(fresh.RemainingColor(), 0xFFFFFF);
    EXPECT_EQ(fresh.BorderWidth(), 2);

    fresh.FSetProgress(1.5f);
    EXPECT_EQ(fresh.Progress(), 1.0f);
    fresh.FSetProgress(-0.2f);
    EXPECT_EQ(fresh.Progress(), 0.0f);
    fresh.FSetProgress(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(fresh.Progress(), 0.0f);
    fresh.FSetProgress(0.4f);
    EXPECT_FLOAT_EQ(fresh.Progress(), 0.4f);
}

TEST_F(ProgressPieTest, NoProgressShowsRingDiscAndTheLineOnly) {
    pie->FSetProgress(0.0f);
    auto pixels = painted();
    EXPECT_TRUE(closeTo(pixels->at(20, 1), kAccent, kTolerance));      // ring at twelve o'clock
    EXPECT_TRUE(closeTo(pixels->at(1, 20), kAccent, kTolerance));      // ring at nine o'clock
    EXPECT_TRUE(closeTo(pixels->at(20, 10), kAccent, kTolerance));     // the line
    EXPECT_TRUE(closeTo(pixels->at(28, 12), kRemaining, kTolerance));  // disc, upper right
    EXPECT_TRUE(closeTo(pixels->at(12, 28), kRemaining, kTolerance));  // disc, lower left
    EXPECT_TRUE(closeTo(pixels->at(0, 0), kBackground, kTolerance));   // corner outside the ring
}

TEST_F(ProgressPieTest, TheSliceGrowsClockwiseFromTwelve) {
    pie->FSetProgress(0.25f);
    auto quarter = painted();
    EXPECT_TRUE(closeTo(quarter->at(28, 12), kAccent, kTolerance));  // upper right: done
    EXPECT_TRUE(closeTo(quarter->at(28, 28), kRemaining, kTolerance));
    EXPECT_TRUE(closeTo(quarter->at(12, 28), kRemaining, kTolerance));
    EXPECT_TRUE(closeTo(quarter->at(12, 12), kRemaining, kTolerance));

    pie->FSetProgress(0.5f);
    auto half = painted();
    EXPECT_TRUE(closeTo(half->at(28, 28), kAccent, kTolerance));     // lower right: done
    EXPECT_TRUE(closeTo(half->at(12, 28), kRemaining, kTolerance));  // left half: to come
    EXPECT_TRUE(closeTo(half->at(12, 12), kRemaining, kTolerance));

    pie->FSetProgress(0.75f);
    auto threeQuarters = painted();
    EXPECT_TRUE(closeTo(threeQuarters->at(12, 28), kAccent, kTolerance));
    EXPECT_TRUE(closeTo(threeQuarters->at(12, 12), kRemaining, kTolerance));

    pie->FSetProgress(1.0f);
    auto full = painted();
    EXPECT_TRUE(closeTo(full->at(20, 20), kAccent, kTolerance));
    EXPECT_TRUE(closeTo(full->at(12, 12), kAccent, kTolerance));
    EXPECT_EQ(full->count(RECT{8, 8, 33, 33}, kRemaining, kTolerance), 0);
}

TEST_F(ProgressPieTest, WithoutABorderNoRingAndNoDisc) {
    pie->FSetBorderWidth(0);
    pie->FSetProgress(0.25f);
    auto pixels = painted();
    EXPECT_TRUE(closeTo(pixels->at(28, 12), kAccent, kTolerance));      // the slice is drawn
    EXPECT_TRUE(closeTo(pixels->at(20, 10), kAccent, kTolerance));      // and the line
    EXPECT_TRUE(closeTo(pixels->at(12, 28), kBackground, kTolerance));  // no remaining-colour disc
    EXPECT_EQ(pixels->count(RECT{0, 0, 41, 41}, kRemaining, kTolerance), 0);
}

TEST_F(ProgressPieTest, PaintsAtItsPlaceInTheParentAndNowhereElse) {
    gui::TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 120, 80);
    TProgressPie* placed = new TProgressPie(&parent);
    placed->SetParent(&parent);
    placed->SetBounds(60, 30, 25, 25);
    placed->FSetProgressColor(kAccent);
    placed->FSetProgress(1.0f);
    placed->FSetBorderWidth(6);
    PaintedPixels pixels(120, 80, kBackground);
    controlstest::paintChildren(&parent, pixels);
    EXPECT_TRUE(closeTo(pixels.at(72, 42), kAccent, kTolerance));
    // Everything outside its bounds keeps the background.
    int outside = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            if ((x < 60 || x >= 85 || y < 30 || y >= 55) && !closeTo(pixels.at(x, y), kBackground, 0))
                ++outside;
    EXPECT_EQ(outside, 0);
}
