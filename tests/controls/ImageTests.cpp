// The picture control: scaled, tiled and direct drawing, the cache across resizes, pictures from
// resources, files and the caller, and its properties.
#include "ControlsTestSupport.h"
#include "controls/Image.h"
#include "controls/PictureCache.h"
#include "resources/SkinIds.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>

using controls::Image;
using controlstest::closeTo;
using controlstest::PaintedPixels;

namespace {

constexpr COLORREF kRed = RGB(220, 30, 30);
constexpr COLORREF kBlue = RGB(30, 30, 220);
constexpr COLORREF kGreen = RGB(30, 200, 30);

// A picture whose left half is red and right half blue, with a green square in its top-left
// corner of a tenth of its width.
std::unique_ptr<Gdiplus::Bitmap> markedPicture(int width, int height) {
    auto picture = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics g(picture.get());
    Gdiplus::SolidBrush red(Gdiplus::Color(255, 220, 30, 30));
    Gdiplus::SolidBrush blue(Gdiplus::Color(255, 30, 30, 220));
    Gdiplus::SolidBrush green(Gdiplus::Color(255, 30, 200, 30));
    g.FillRectangle(&red, 0, 0, width / 2, height);
    g.FillRectangle(&blue, width / 2, 0, width - width / 2, height);
    g.FillRectangle(&green, 0, 0, width / 10, width / 10);
    return picture;
}

class ImageTest : public ::testing::Test {
protected:
    std::unique_ptr<PaintedPixels> painted(Image& image) {
        auto pixels = std::make_unique<PaintedPixels>(image.Width(), image.Height(), RGB(255, 0, 255));
        controlstest::paintControl(&image, *pixels);
        return pixels;
    }
    gui::GdiPlusSession gdiPlus;
};

}  // namespace

TEST_F(ImageTest, ALargerPictureIsDrawnScaledDownAndFollowsResizes) {
    auto picture = markedPicture(200, 100);
    Image image(nullptr);
    image.SetBounds(0, 0, 100, 50);
    image.setImageBitmap(picture.get());
    auto half = painted(image);
    EXPECT_TRUE(closeTo(half->at(4, 4), kGreen, 40));  // the 20-px square is 10 px now
    EXPECT_TRUE(closeTo(half->at(14, 14), kRed, 40));
    EXPECT_TRUE(closeTo(half->at(25, 40), kRed, 40));
    EXPECT_TRUE(closeTo(half->at(75, 40), kBlue, 40));

    image.SetBounds(0, 0, 50, 25);
    auto quarter = painted(image);
    EXPECT_TRUE(closeTo(quarter->at(2, 2), kGreen, 40));
    EXPECT_TRUE(closeTo(quarter->at(8, 8), kRed, 40));
    EXPECT_TRUE(closeTo(quarter->at(40, 20), kBlue, 40));
}

TEST_F(ImageTest, ASmallerPictureKeepsItsSizeAndRepeatsMirrorWise) {
    auto picture = markedPicture(10, 10);  // x 0..4 red, 5..9 blue
    Image image(nullptr);
    image.SetBounds(0, 0, 30, 10);
    image.setImageBitmap(picture.get());
    auto pixels = painted(image);
    EXPECT_TRUE(closeTo(pixels->at(2, 5), kRed, 40));
    EXPECT_TRUE(closeTo(pixels->at(7, 5), kBlue, 40));
    EXPECT_TRUE(closeTo(pixels->at(12, 5), kBlue, 40));  // mirrored: blue meets blue
    EXPECT_TRUE(closeTo(pixels->at(17, 5), kRed, 40));
    EXPECT_TRUE(closeTo(pixels->at(22, 5), kRed, 40));
    EXPECT_TRUE(closeTo(pixels->at(27, 5), kBlue, 40));
}

TEST_F(ImageTest, APictureOfTheControlsSizeIsDrawnAsItIs) {
    auto picture = markedPicture(40, 20);
    Image image(nullptr);
    image.SetBounds(0, 0, 40, 20);
    image.setImageBitmap(picture.get());
    auto pixels = painted(image);
    EXPECT_TRUE(closeTo(pixels->at(3, 3), kGreen, 4));
    EXPECT_TRUE(closeTo(pixels->at(19, 15), kRed, 4));
    EXPECT_TRUE(closeTo(pixels->at(20, 15), kBlue, 4));
}

TEST_F(ImageTest, TheCallersBitmapOutlivesTheControl) {
    auto picture = markedPicture(60, 30);
    {
        Image image(nullptr);
        image.setImageBitmap(picture.get());
        EXPECT_EQ(image.BitmapWidth(), 60);
        EXPECT_EQ(image.BitmapHeight(), 30);
        image.setImageResourceId(skin::aboutLogo);  // the caller's bitmap is let go, not deleted
        EXPECT_EQ(image.BitmapWidth(), 48);
        image.setImageBitmap(picture.get());
    }
    EXPECT_EQ(picture->GetWidth(), 60u);
    Gdiplus::Color c;
    ASSERT_EQ(picture->GetPixel(50, 20, &c), Gdiplus::Ok);
    EXPECT_EQ(c.GetB(), 220);
}

TEST_F(ImageTest, PicturesFromResourcesAndFiles) {
    Image image(nullptr);
    EXPECT_EQ(image.Width(), 80);
    EXPECT_EQ(image.Height(), 25);
    EXPECT_EQ(image.BitmapWidth(), 0);
    EXPECT_EQ(image.BitmapHeight(), 0);

    image.setAutoSize(true);
    image.setImageResourceId(skin::videoMark);
    EXPECT_EQ(image.BitmapWidth(), 72);
    EXPECT_EQ(image.Width(), 72);
    EXPECT_EQ(image.Height(), 72);

    image.setImageResourceId(20002);  // only a bitmap resource
    EXPECT_EQ(image.BitmapWidth(), 8);
    image.setImageResourceId(14999);
    EXPECT_EQ(image.BitmapWidth(), 0);

    image.setImageFile(testsupport::binaryPath(L"resources\\pictures\\15094-logoSmall.png"));
    EXPECT_EQ(image.BitmapWidth(), 170);
    EXPECT_EQ(image.Height(), 43);
    image.setImageFile(testsupport::binaryPath(L"resources\\pictures\\no-such-file.png"));
    EXPECT_EQ(image.BitmapWidth(), 0);
    auto pixels = painted(image);  // nothing to draw
    EXPECT_EQ(pixels->count(RECT{0, 0, image.Width(), image.Height()}, RGB(255, 0, 255)),
              image.Width() * image.Height());
}

TEST_F(ImageTest, TransparencyIsTheOpaqueStyleTurnedAround) {
    Image image(nullptr);
    EXPECT_TRUE(image.ControlStyle() & gui::csOpaque);
    image.setTransparent(true);
    EXPECT_FALSE(image.ControlStyle() & gui::csOpaque);
    image.setTransparent(false);
    EXPECT_TRUE(image.ControlStyle() & gui::csOpaque);
    EXPECT_TRUE(image.CanShowHint());
    image.setCanShowHint(false);
    EXPECT_FALSE(image.CanShowHint());
}

TEST_F(ImageTest, TheRenderingIsMadeOncePerSize) {
    auto picture = markedPicture(200, 100);
    controls::PictureCache cache;
    PaintedPixels pixels(100, 50, RGB(255, 0, 255));
    cache.Draw(pixels.dc(), picture.get(), 100, 50, controls::PictureCache::Fit::ScaleOrTile);
    cache.Draw(pixels.dc(), picture.get(), 100, 50, controls::PictureCache::Fit::ScaleOrTile);
    EXPECT_EQ(cache.Renders(), 1);
    cache.Draw(pixels.dc(), picture.get(), 50, 25, controls::PictureCache::Fit::ScaleOrTile);
    cache.Draw(pixels.dc(), picture.get(), 50, 25, controls::PictureCache::Fit::ScaleOrTile);
    EXPECT_EQ(cache.Renders(), 2);
    cache.Reset();
    cache.Draw(pixels.dc(), picture.get(), 50, 25, controls::PictureCache::Fit::ScaleOrTile);
    EXPECT_EQ(cache.Renders(), 3);
    cache.Draw(pixels.dc(), nullptr, 50, 25, controls::PictureCache::Fit::ScaleOrTile);
    EXPECT_EQ(cache.Renders(), 3);
}

TEST_F(ImageTest, PicturesWithAlphaAreBlendedOverWhatLiesBelow) {
    auto picture = std::make_unique<Gdiplus::Bitmap>(20, 20, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(picture.get());
        g.Clear(Gdiplus::Color(0, 0, 0, 0));
        Gdiplus::SolidBrush half(Gdiplus::Color(128, 0, 0, 255));
        g.FillRectangle(&half, 0, 0, 10, 20);
    }
    Image image(nullptr);
    image.SetBounds(0, 0, 20, 20);
    image.setTransparent(true);
    image.setImageBitmap(picture.get());
    PaintedPixels pixels(20, 20, RGB(255, 0, 0));
    controlstest::paintControl(&image, pixels);
    EXPECT_TRUE(closeTo(pixels.at(15, 10), RGB(255, 0, 0), 0));   // clear: the background stays
    EXPECT_TRUE(closeTo(pixels.at(5, 10), RGB(127, 0, 128), 3));  // half blue over red
}
